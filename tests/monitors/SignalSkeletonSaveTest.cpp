// The CAN monitor saves the signals its frames suggest as a skeleton DBC:
// a recording opened through the hunt window, saved, read back.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <fstream>

#include "CanFrameLog.h"
#include "CanMonitorWindow.h"
#include "Parse.h"

namespace {

// 0x3B4 every 10 ms for 6 s: a counter in byte 0's low nibble and a
// big-endian 16-bit value rising, a reading with its noise, through bytes
// 2 and 3.
std::string Sweep(const std::string& folder) {
    std::string path = folder + "/sweep.log";
    std::ofstream log(path);
    CanRecord frame;
    frame.id = 0x3B4;
    frame.dlc = 8;
    uint32_t noise = 3;
    for (int i = 0; i < 600; ++i) {
        noise = noise * 1664525u + 1013904223u;
        unsigned value = unsigned(i) * 100u + (noise >> 8) % 200u;
        frame.data[0] = uint8_t(i & 0x0F);
        frame.data[2] = uint8_t(value >> 8);
        frame.data[3] = uint8_t(value);
        log << k57::CandumpLine(frame, 1'700'000'000'000'000 + int64_t(i) * 10'000) << "\n";
    }
    return path;
}

using SignalSkeletonSaveTest = k57::test::CanMonitorWindow;

TEST_F(SignalSkeletonSaveTest, TheFramesHeldAreSavedAsASkeletonTheReaderTakes) {
    ASSERT_TRUE(OpenRecording(Sweep(dir.path()), 600));
    std::string path = dir.path() + "/signals.dbc";
    dialogs.files.push_back(QString::fromStdString(path));
    form->SaveSignalsDbc();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(dialogs.filters.back(), "DBC | *.dbc");

    k57::dbc::ParseResult parsed = k57::dbc::ParseFile(path, k57::dbc::Encoding::Utf8);
    EXPECT_EQ(parsed.ErrorCount(), 0);
    const k57::dbc::Message* message = parsed.database.Find(0x3B4, false);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->name, "ID_3B4");
    bool counter = false, value = false;
    for (const k57::dbc::Signal& s : message->signalList) {
        // Within a byte the message's order: the top bit of the four names it.
        counter = counter || (s.comment == "counter" && s.startBit == 3 && s.length == 4 &&
                              s.byteOrder == k57::dbc::ByteOrder::Motorola);
        value = value || (s.comment == "value" && s.startBit == 23 && s.length == 16 &&
                          s.byteOrder == k57::dbc::ByteOrder::Motorola);
    }
    EXPECT_TRUE(counter);
    EXPECT_TRUE(value);
}

TEST_F(SignalSkeletonSaveTest, AFileThatCannotBeWrittenIsToldAndNothingIsLeft) {
    ASSERT_TRUE(OpenRecording(Sweep(dir.path()), 600));
    std::string path = dir.path() + "/no such folder/signals.dbc";
    dialogs.files.push_back(QString::fromStdString(path));
    form->SaveSignalsDbc();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("signals.dbc")) << dialogs.errors[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));

    dialogs.errors.clear();
    form->SaveSignalsDbc();  // cancelled: no file, nothing said
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

}  // namespace
