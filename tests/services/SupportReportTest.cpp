// The support report: every section, and the owner's PIN and phone numbers
// nowhere in clear, wherever they passed (frames, partial frames, noise,
// the log, the journal).

#include <gtest/gtest.h>

#include "DamagedJournal.h"
#include "FrameTrace.h"
#include "JournalTestSupport.h"
#include "SupportReport.h"
#include "Trace.h"
#include "TraceFormat.h"

namespace {

using namespace k57;

const std::string kPrivate = "PinCod=7395\nUserNumber1=+79165550142\nMicLevel=5\n";

// What a trace holds after settings went both ways, one frame cut short and
// the rest of a frame left on the line.
std::vector<TraceEntry> TraceWithSettings() {
    Trace trace;
    trace.SetOn(true);
    trace.SetRevealPrivate(true);  // as the window's trace when asked: the report still masks
    std::vector<uint8_t> frame = {0xC9, 0x00, uint8_t(kPrivate.size() + 1), 0x00};
    frame.insert(frame.end(), kPrivate.begin(), kPrivate.end());
    frame.insert(frame.end(), 5, 0);  // the NUL, then the trailer
    frametrace::SentFrame(frame.data(), frame.size(), {}, trace);
    frametrace::Received(frame.data(), frame.size(), 1, {}, trace);
    frametrace::Partial(TraceEntry::Direction::In, frame.data(), 20, "the rest never came", trace);
    const std::string rest = "9+79165550142\nUserNumber2=+79165550199\n";
    frametrace::Bytes(TraceEntry::Direction::In, "noise", reinterpret_cast<const uint8_t*>(rest.data()),
                      rest.size(), trace);
    frametrace::Note("no reply within 4000 ms", -2, trace);
    return trace.Entries();
}

void ExpectNothingPrivate(const std::string& report) {
    for (const char* secret : {"7395", "916555", "37 33 39 35", "39 31 36 35 35 35"}) {
        EXPECT_EQ(report.find(secret), std::string::npos) << secret << " in\n" << report;
    }
}

TEST(SupportReportTest, HoldsEverySectionAndNoPinOrPhoneInClear) {
    test::JournalFolder folder;
    Journal journal(folder.path());
    JournalEntry backup = test::Operation(777, JournalOperation::Backup);
    backup.before = kPrivate;
    ASSERT_GT(journal.Record(backup), 0);
    JournalEntry write = test::Operation(777, JournalOperation::WriteSettings, JournalResult::NoReply);
    write.after = kPrivate;
    ASSERT_GT(journal.Record(write), 0);
    ASSERT_GT(journal.Record(test::Operation(778, JournalOperation::Restart)), 0);

    SupportReportInput input;
    input.program = "k57tool";
    input.port = "COM5";
    input.portSettings = "9600 bit/s, 8 data bits, no parity, 1 stop bit";
    input.unit.serial = 777;
    input.unit.versionText = "K57BT\n000.008\nMay 12 2017 09:30:00";
    input.trace = TraceWithSettings();
    input.log = {"2026-12-07 16:50:03  COM5: нет ответа за 4 с",
                 "2026-12-07 16:50:04  строка 3, UserNumber1: +79165550142 - не номер телефона",
                 "2026-12-07 16:50:05  строка 4, PinCod: 7395 - не то"};
    input.journal = &journal;
    std::string report = BuildSupportReport(input);

    for (const char* part :
         {"== Tool ==", "k57tool ", "Operating system: ", "Qt: ", "== Port ==",
          "COM5, 9600 bit/s, 8 data bits", "== Unit as last read ==", "Serial number: 777",
          "Version: K57BT 000.008 May 12 2017 09:30:00", "== Trace (5 entries) ==",
          "TX  SettingsMessage (201)", "RX  SettingsMessage (201)  ", "ReplyOk (1)",
          "RX  partial frame: SettingsMessage (201)", "RX  noise", "no reply within 4000 ms",
          "== Log ==", "COM5: нет ответа за 4 с", "== Service journal ==", "  backup  ok  COM5",
          "  write settings  no reply  COM5"}) {
        EXPECT_NE(report.find(part), std::string::npos) << part << " missing from\n" << report;
    }
    // Masked, not dropped: the keys and the other values are still there,
    // and a phone number keeps its last two digits.
    // (The dump's text column, 16 bytes a line.)
    EXPECT_NE(report.find("..1.PinCod=****."), std::string::npos);
    EXPECT_NE(report.find("******42.MicLeve"), std::string::npos);
    EXPECT_NE(report.find("l=5......"), std::string::npos);
    EXPECT_EQ(report.find("restart"), std::string::npos);  // another unit's entry
    ExpectNothingPrivate(report);
}

TEST(SupportReportTest, SaysWhatItCouldNotKnow) {
    SupportReportInput input;
    input.program = "k57tool";
    std::string report = BuildSupportReport(input);
    EXPECT_NE(report.find("Serial number: (not read)"), std::string::npos);
    EXPECT_NE(report.find("Version: (not read)"), std::string::npos);
    EXPECT_NE(report.find("(no service journal on this computer)"), std::string::npos);
    EXPECT_NE(report.find("== Trace (0 entries) =="), std::string::npos);

    // A journal found damaged is no unit without entries.
    test::JournalFolder folder;
    test::DamageTheMiddle(folder.path());
    Journal damaged(folder.path());
    input.journal = &damaged;
    input.unit.serial = 4000000001u;
    report = BuildSupportReport(input);
    EXPECT_EQ(report.find("(nothing about unit"), std::string::npos) << report;
    EXPECT_NE(report.find("(the journal could not be read: "), std::string::npos) << report;
}

TEST(SupportReportTest, MaskedTraceKeepsEachFramesLengthAndLayout) {
    std::vector<TraceEntry> entries = TraceWithSettings();
    std::vector<std::string> masked = MaskedTraceLines(entries);
    size_t lines = 0;
    for (const TraceEntry& entry : entries) {
        lines += TraceLineCount(entry.bytes.size());
    }
    EXPECT_EQ(masked.size(), lines);
    // The frame's header is untouched: "C9 00 31 00".
    EXPECT_NE(masked[1].find("0000  C9 00 31 00 50 69 6E 43  6F 64 3D 2A 2A 2A 2A 0A"),
              std::string::npos)
        << masked[1];
}

}  // namespace
