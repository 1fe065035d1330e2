// The owner's PIN and phone numbers in the tool's trace: masked in every
// settings text that crosses the link, both in the lines a sink writes and
// in the ring a window reads, unless the trace is asked to reveal them.

#include <gtest/gtest.h>

#include <mutex>

#include "QuickSessions.h"
#include "SimulatedUnits.h"
#include "Trace.h"
#include "TraceDump.h"

namespace sim = k57::sim;
using k57::test::DumpedBytes;
using k57::test::Joined;

namespace {

// After the frame's 4-byte header the PIN's line fills the first dump line,
// so the first number runs from one dump line into the next.
const std::string kPrivate =
    "PinCod=5291\nUserNumber1=+79161234567\nUserNumber4=+79037654321\nMicLevel=10\n";

// The digits that must never show, also as the frame's bytes (a phone
// number keeps its last two digits when masked).
const char* const kSecrets[] = {"5291", "791612345", "790376543"};

std::string Hex(const std::string& bytes) {
    std::string hex;
    for (unsigned char b : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%s%02X", hex.empty() ? "" : " ", b);
        hex += two;
    }
    return hex;
}

class TracePrivacyTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        trace.Clear();
        trace.SetOn(true);
        sink_ = trace.AddSink([this](const std::vector<std::string>& lines) {
            std::lock_guard<std::mutex> lock(mutex_);
            sunk_ += Joined(lines);
        });
    }
    void TearDown() override {
        trace.RemoveSink(sink_);
        trace.SetRevealPrivate(false);
        trace.SetOn(false);
        trace.Clear();
    }

    // Reads the unit's settings and writes them back, as a technician's
    // edit does: the text crosses the link in a reply and in a request.
    void ReadAndWrite() {
        sim::UnitOptions options;
        options.settings = kPrivate;
        sim::Unit& unit = Plug(5, options);
        auto device = k57::test::QuickSession();
        device->SetPortName(unit.devicePath().c_str());
        std::string text;
        ASSERT_EQ(device->ReadSettings(text), 1);
        ASSERT_EQ(text, kPrivate);
        ASSERT_EQ(device->WriteSettings(text), 1);
    }

    std::string Sunk() {
        std::lock_guard<std::mutex> lock(mutex_);
        return sunk_;
    }

    k57::Trace& trace = k57::Trace::Global();

  private:
    std::mutex mutex_;
    std::string sunk_;
    int sink_ = 0;
};

TEST_F(TracePrivacyTest, SettingsReadAndWrittenShowNeitherThePinNorTheNumbers) {
    ReadAndWrite();
    const std::string ring = Joined(trace.Lines());
    ASSERT_NE(ring.find("TX  SettingsMessage (201)"), std::string::npos) << ring;
    ASSERT_NE(ring.find("RX  SettingsMessage (201)"), std::string::npos) << ring;
    for (const std::string& seen : {Sunk(), ring}) {
        const std::string bytes = DumpedBytes(seen);
        for (const char* secret : kSecrets) {
            EXPECT_EQ(seen.find(secret), std::string::npos) << secret << " in\n" << seen;
            EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " in\n" << seen;
        }
        // Both frames keep the rest of the text, and the masks keep its layout.
        const std::string masked =
            "PinCod=****\nUserNumber1=**********67\nUserNumber4=**********21\nMicLevel=10\n";
        size_t first = bytes.find(masked);
        ASSERT_NE(first, std::string::npos) << seen;
        EXPECT_NE(bytes.find(masked, first + 1), std::string::npos) << seen;
    }
}

TEST_F(TracePrivacyTest, AskedToRevealTheTraceShowsThemInClear) {
    trace.SetRevealPrivate(true);
    ReadAndWrite();
    const std::string seen = Sunk();
    const std::string bytes = DumpedBytes(seen);
    EXPECT_NE(bytes.find(kPrivate), std::string::npos) << seen;
    EXPECT_NE(bytes.find(kPrivate, bytes.find(kPrivate) + 1), std::string::npos) << seen;
    // The number crosses dump lines: only the bytes put together find it.
    EXPECT_EQ(seen.find(Hex("+79161234567")), std::string::npos) << seen;
    EXPECT_EQ(Joined(trace.Lines()), seen);
}

TEST_F(TracePrivacyTest, ASettingsReplyCutShortIsMaskedToo) {
    sim::UnitOptions options;
    options.settings = kPrivate;
    options.dribbleBytes = 30;
    options.dribblePauseMs = 600;  // the quick session gives up after 400 ms
    sim::Unit& unit = Plug(5, options);
    auto device = k57::test::QuickSession();
    device->SetPortName(unit.devicePath().c_str());
    std::string text;
    ASSERT_EQ(device->ReadSettings(text), -2);
    const std::string seen = Sunk();
    ASSERT_NE(seen.find("RX  partial frame: SettingsMessage (201)"), std::string::npos) << seen;
    EXPECT_NE(DumpedBytes(seen).find("PinCod=****\nUserNumber1=*"), std::string::npos) << seen;
    EXPECT_EQ(DumpedBytes(seen).find("5291"), std::string::npos) << seen;
    EXPECT_EQ(DumpedBytes(seen).find("+79"), std::string::npos) << seen;
}

}  // namespace
