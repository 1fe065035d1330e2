// The simulated unit's protocol core and fault stage, without a port.

#include <gtest/gtest.h>

#include <cstring>

#include "Crc32.h"
#include "FaultStage.h"
#include "Messages.h"
#include "UnitCore.h"

using namespace orvan::tms::messages;

namespace {

using k57::sim::Bytes;
using k57::sim::Outgoing;

Bytes Frame(AbstractMessage&& message) {
    Bytes frame = message.encode();
    frame.insert(frame.end(), 4, 0);
    return frame;
}

std::vector<Outgoing> Send(k57::sim::UnitCore& core, const Bytes& bytes, uint64_t nowUs = 0) {
    return core.Receive(bytes.data(), bytes.size(), nowUs);
}

std::string Text(const std::vector<Outgoing>& out) {
    std::string text;
    for (const Outgoing& o : out) {
        EXPECT_FALSE(o.framed);
        text.append(o.bytes.begin(), o.bytes.end());
    }
    return text;
}

TEST(UnitCoreTest, AnswersFramedRequestsAndWaitsForAWholeFrame) {
    k57::sim::UnitOptions options;
    options.serial = 42;
    k57::sim::UnitCore core(options);
    Bytes request = Frame(ReqIdInfoMessage());
    EXPECT_TRUE(Send(core, Bytes(request.begin(), request.begin() + 5)).empty());
    auto out = Send(core, Bytes(request.begin() + 5, request.end()));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0].framed);
    EXPECT_EQ(out[0].code, kReqIdInfo);
    EXPECT_EQ(out[0].bytes, Frame(IdInfoMessage(42)));

    // A partial frame the tool gave up on is forgotten after a second.
    Send(core, Bytes(request.begin(), request.begin() + 3), 1'000'000);
    out = Send(core, request, 2'000'001);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(core.requests(), (std::vector<int>{kReqIdInfo, kReqIdInfo}));
}

TEST(UnitCoreTest, TheCanChannelAndDiagnosticModeAreTextUntilAFramedRequest) {
    k57::sim::UnitCore core({});
    EXPECT_EQ(Text(Send(core, {'V', '\r', 'v', '\r', 'S', '6', '\r', 'O', '\r'})),
              "V1010\rvK57SIM\r\r\r");
    EXPECT_TRUE(core.canOpen());
    EXPECT_EQ(core.Stream(10'000'000).substr(0, 1), "t");
    EXPECT_EQ(Text(Send(core, {'S', '9', '\r'})), "\a");

    EXPECT_TRUE(Send(core, Frame(DiagnosticModeEnableMessage())).empty());
    EXPECT_FALSE(core.canOpen());
    EXPECT_TRUE(core.diagnosticMode());
    EXPECT_EQ(core.Stream(20'000'000).substr(0, 9), "\r\n$AccD:\t");
    Send(core, Frame(ReqVersionMessage()));
    EXPECT_FALSE(core.diagnosticMode());
}

Bytes Ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(UnitCoreTest, TheCanChannelSpeaksAsSerialCanAdaptersDo) {
    k57::sim::UnitCore core({});
    // The serial number, bit timing, and BELL for what the unit does not do.
    EXPECT_EQ(Text(Send(core, Ascii("N\rs031C\rF\rZ1\rL\rX\r"))), "NK057\r\r\a\a\a\a");
    // Sending needs an open channel; CR LF ends a command as CR does.
    EXPECT_EQ(Text(Send(core, Ascii("t1232AABB\r"))), "\a");
    EXPECT_EQ(Text(Send(core, Ascii("S6\r\nO\r\n"))), "\r\r");
    EXPECT_EQ(Text(Send(core, Ascii("t1232AABB\rT123456781CC\rr1230\rR123456780\r"))),
              "z\rZ\rz\rZ\r");
    // A second open does not start the traffic over; a stray byte does not
    // leave the CAN mode, only a framed request does.
    std::string first = core.Stream(1'010'000);
    EXPECT_EQ(Text(Send(core, Ascii("O\r"), 1'020'000)), "\r");
    EXPECT_EQ(Text(Send(core, {0x0D, 0xFF, 0x0A}, 1'030'000)), "");
    EXPECT_TRUE(core.canOpen());
    EXPECT_NE(core.Stream(1'040'000).substr(0, 5), first.substr(0, 5));
    EXPECT_EQ(Text(Send(core, Ascii("S5\r"))), "\a");  // not while open
    Send(core, Frame(ReqVersionMessage()));
    EXPECT_FALSE(core.canOpen());
    EXPECT_EQ(core.requests(), std::vector<int>{kReqVersion});
}

TEST(UnitCoreTest, CommitsAreCheckedAgainstTheImageReceived) {
    k57::sim::UnitCore core({});
    Send(core, Frame(BeginFirmwareUpdateMessage()));
    DataFragmentMessage fragment;
    fragment.setOffset(0);
    fragment.setData({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'});
    Send(core, Frame(std::move(fragment)));
    CommitUpdateMessage wrong, right;
    wrong.setSize(3);
    wrong.setChecksum(1);
    right.setSize(3);
    right.setChecksum(0xCA6598D0);  // "abc"
    EXPECT_TRUE(Send(core, Frame(std::move(wrong))).empty());
    EXPECT_EQ(Send(core, Frame(std::move(right))).size(), 1u);
    ASSERT_EQ(core.commits().size(), 2u);
    EXPECT_FALSE(core.commits()[0].accepted);
    EXPECT_TRUE(core.commits()[1].accepted);
}

TEST(FaultStageTest, FaultsChangeOrSwallowReplies) {
    using Fault = k57::sim::UnitOptions::Fault;
    Outgoing id{true, kReqIdInfo, Frame(IdInfoMessage(7))};
    Outgoing version{true, kReqVersion, Frame(TextMessage("K57BT"))};
    k57::sim::UnitOptions options;
    k57::sim::FaultStage stage;

    options.fault = Fault::Silent;
    options.faultCodes = {kReqVersion};
    EXPECT_EQ(stage.Plan(id, 0, options).size(), 1u);
    EXPECT_TRUE(stage.Plan(version, 0, options).empty());

    options.faultCodes.clear();
    options.fault = Fault::WrongType;
    EXPECT_EQ(stage.Plan(id, 0, options)[0].bytes, Frame(TextMessage("K57BT")));
    EXPECT_EQ(stage.Plan(version, 0, options)[0].bytes, Frame(IdInfoMessage(1)));
    options.fault = Fault::Oversize;
    EXPECT_EQ(stage.Plan(id, 0, options)[0].bytes.size(), 4u + 1017 + 4);

    options.fault = Fault::None;
    options.refuseCommits = true;
    EXPECT_TRUE(
        stage.Plan({true, kCommitUpdate, Frame(CommitUpdateAckMessage())}, 0, options).empty());
}

TEST(FaultStageTest, AHungUpUnitStaysSilentAfterItsFragments) {
    k57::sim::UnitOptions options;
    options.hangUpAfterFragments = 2;
    k57::sim::FaultStage stage;
    Outgoing ack{true, kDataFragment, Frame(DataFragmentAckMessage())};
    EXPECT_EQ(stage.Plan(ack, 0, options).size(), 1u);
    EXPECT_EQ(stage.Plan(ack, 0, options).size(), 1u);
    EXPECT_TRUE(stage.Plan(ack, 0, options).empty());
    EXPECT_TRUE(stage.Plan({true, kReqIdInfo, Frame(IdInfoMessage(1))}, 0, options).empty());
}

TEST(FaultStageTest, DribbledAndPacedRepliesAreTimedPieces) {
    k57::sim::UnitOptions options;
    options.dribbleBytes = 4;
    options.dribblePauseMs = 10;
    k57::sim::FaultStage stage;
    Bytes frame = Frame(IdInfoMessage(7));  // 12 bytes
    auto pieces = stage.Plan({true, kReqIdInfo, frame}, 1'000, options);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].atUs, 1'000u);
    EXPECT_EQ(pieces[2].atUs, 21'000u);
    Bytes joined;
    for (auto& p : pieces) {
        joined.insert(joined.end(), p.bytes.begin(), p.bytes.end());
    }
    EXPECT_EQ(joined, frame);

    // 1000 bytes a second: the 8-byte request arrives over 8 ms, then the
    // 12-byte reply takes 12 ms on the wire.
    k57::sim::UnitOptions paced;
    paced.byteRate = 1000;
    k57::sim::FaultStage line;
    line.NoteInput(8, 0, paced);
    pieces = line.Plan({true, kReqIdInfo, frame}, 0, paced);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].atUs, 20'000u);
}

}  // namespace

namespace {

CommitUpdateMessage Commit(uint32_t size, const uint8_t* data) {
    CommitUpdateMessage commit;
    commit.setSize(size);
    commit.setChecksum(data ? Crc32(data, size) : 0);
    return commit;
}

// Sends `payload` as one update of the kind `begin` starts, the way the
// tool does: the begin, fragments of up to 1 KB, and the commit.
void Update(k57::sim::UnitCore& core, AbstractMessage&& begin, const Bytes& payload) {
    Send(core, Frame(std::move(begin)));
    for (size_t at = 0; at < payload.size(); at += 1024) {
        DataFragmentMessage fragment;
        fragment.setOffset(uint32_t(at));
        fragment.setData(Bytes(payload.begin() + long(at),
                               payload.begin() + long(std::min(payload.size(), at + 1024))));
        Send(core, Frame(std::move(fragment)));
    }
    Send(core, Frame(Commit(uint32_t(payload.size() - 8), payload.data() + 8)));
}

}  // namespace

TEST(UnitCoreTest, AnAcceptedUpdateTakesEffect) {
    k57::sim::UnitOptions options;
    options.settings = "MicLevel=10\n";
    options.resetSettingsOnFirmware = true;
    k57::sim::UnitCore core(options);

    // Firmware: the 0xFF prefix, then an image whose information block
    // 256 bytes in names type, version and build.
    Bytes firmware(8 + 2000, 0xFF);
    auto put = [&](size_t at, const char* text) {
        std::copy(text, text + std::strlen(text) + 1, firmware.begin() + long(8 + 256 + at));
    };
    put(0, "K57BT");
    put(48, "000.010");
    put(64, "Dec  1 2026 10:00:00");
    Update(core, BeginFirmwareUpdateMessage(), firmware);
    EXPECT_EQ(core.options().versionText, "K57BT\n000.010\nDec  1 2026 10:00:00");
    EXPECT_EQ(core.options().settings, "");

    // Sound: the package's own header, then its data; the firmware stays.
    Bytes sound(8 + 3000, 0x5A);
    Update(core, BeginWaveUpdateMessage(), sound);
    EXPECT_EQ(core.sound().size, 3000u);
    EXPECT_EQ(core.sound().checksum, Crc32(sound.data() + 8, 3000));
    EXPECT_EQ(core.options().versionText, "K57BT\n000.010\nDec  1 2026 10:00:00");

    // A commit that does not match changes nothing.
    firmware[8 + 256 + 48 + 6] = '9';
    Send(core, Frame(BeginFirmwareUpdateMessage()));
    Send(core, Frame(Commit(5, nullptr)));
    EXPECT_EQ(core.options().versionText, "K57BT\n000.010\nDec  1 2026 10:00:00");
}
