#include <gtest/gtest.h>

#include "MessageFactory.h"
#include "Messages.h"

using namespace orvan::tms::messages;

namespace {

// An output stream with a scripted amount of free space that keeps what it
// is given, for watching how a frame is handed out piece by piece.
class WindowStream : public orvan::io::OutputStream {
  public:
    explicit WindowStream(int window) : window(window) {}
    bool isOpen() override { return true; }
    void close() override {}
    bool open() override { return true; }
    int available() override { return window; }
    bool isEmpty() override { return true; }
    int write(const void* buffer, int length) override {
        auto* p = static_cast<const uint8_t*>(buffer);
        written.insert(written.end(), p, p + length);
        largestWrite = std::max(largestWrite, length);
        return length;
    }

    int window;
    int largestWrite = 0;
    Bytes written;
};

Bytes Frame(AbstractMessage& message) {
    WindowStream out(64 * 1024);
    EXPECT_TRUE(message.writeTo(out));
    return out.written;
}

TEST(MessageCodec, EncodesTheWorkedFramesByteForByte) {
    ReqVersionMessage version;
    EXPECT_EQ(Frame(version), (Bytes{0x0E, 0, 0, 0, 0, 0, 0, 0}));
    IdInfoMessage id(1000);
    EXPECT_EQ(Frame(id), (Bytes{0x0B, 0, 4, 0, 0xE8, 3, 0, 0, 0, 0, 0, 0}));
    IdSetMessage set(1000);
    EXPECT_EQ(Frame(set), (Bytes{0x0D, 0, 4, 0, 0xE8, 3, 0, 0, 0, 0, 0, 0}));
    TextMessage text("ab");
    EXPECT_EQ(Frame(text), (Bytes{0x96, 0, 4, 0, 2, 0, 'a', 'b', 0, 0, 0, 0}));
    SettingsMessage settings;
    settings.setText("A=1");
    EXPECT_EQ(Frame(settings), (Bytes{0xC9, 0, 4, 0, 'A', '=', '1', 0, 0, 0, 0, 0}));
    DataFragmentMessage fragment;
    fragment.setOffset(0x400);
    fragment.setData({1, 2, 3});
    EXPECT_EQ(Frame(fragment), (Bytes{0xC0, 0, 9, 0, 0, 4, 0, 0, 3, 0, 1, 2, 3, 0, 0, 0, 0}));
    CommitUpdateMessage commit;
    commit.setSize(256);
    commit.setChecksum(0xCA6598D0);
    EXPECT_EQ(Frame(commit),
              (Bytes{0xBE, 0, 8, 0, 0, 1, 0, 0, 0xD0, 0x98, 0x65, 0xCA, 0, 0, 0, 0}));
}

TEST(MessageCodec, PayloadLessMessagesAreCodeAndZeros) {
    for (int code : {10, 14, 15, 100, 191, 193, 194, 195, 196, 200}) {
        auto message = createMessage(uint16_t(code), nullptr, 0);
        ASSERT_TRUE(message) << code;
        EXPECT_EQ(Frame(*message), (Bytes{uint8_t(code), 0, 0, 0, 0, 0, 0, 0})) << code;
    }
}

TEST(MessageCodec, FlagTravelsInBitFifteen) {
    const uint8_t payload[] = {0xFF, 0xFF, 0xFF, 0xFF};
    auto message = createMessage(0x800B, payload, 4);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->getType(), kIdInfo);
    EXPECT_TRUE(message->getFlag());
    EXPECT_EQ(static_cast<IdInfoMessage&>(*message).getValue(), 4294967295u);
    EXPECT_EQ(Frame(*message)[1], 0x80);
}

TEST(MessageCodec, FactoryRejectsPayloadsThatDoNotFitTheirCode) {
    const uint8_t bytes[16] = {2, 0, 'a', 'b', 'c'};
    EXPECT_FALSE(createMessage(kIdInfo, bytes, 3));
    EXPECT_FALSE(createMessage(kIdInfo, bytes, 5));
    EXPECT_FALSE(createMessage(kText, bytes, 5));  // text length 2 but N = 5
    EXPECT_FALSE(createMessage(kText, bytes, 1));
    EXPECT_FALSE(createMessage(kCommitUpdate, bytes, 7));
    EXPECT_FALSE(createMessage(kDataFragment, bytes, 5));
    EXPECT_FALSE(createMessage(12, bytes, 0));
    EXPECT_FALSE(createMessage(0x7FFF, bytes, 0));
    // Payload-less codes take any N.
    EXPECT_TRUE(createMessage(kBeginUpdateAck, bytes, 16));
}

TEST(MessageCodec, TextsAreDecodedWithTheirLengthAndContent) {
    const uint8_t empty[] = {0, 0};
    auto text = createMessage(kText, empty, 2);
    ASSERT_TRUE(text);
    EXPECT_STREQ(static_cast<TextMessage&>(*text).getText(), "");

    const uint8_t lines[] = {5, 0, 'T', '\n', 'V', '\n', 'X'};
    text = createMessage(kText, lines, 7);
    ASSERT_TRUE(text);
    EXPECT_EQ(static_cast<TextMessage&>(*text).text(), "T\nV\nX");
}

TEST(MessageCodec, ReceivedSettingsEndAtNulOrAtTheirLength) {
    const uint8_t withNul[] = {'a', '=', '1', 0, 'z', 'z'};
    auto settings = createMessage(kSettings, withNul, 6);
    ASSERT_TRUE(settings);
    EXPECT_EQ(static_cast<SettingsMessage&>(*settings).text(), "a=1");

    const uint8_t noNul[] = {'a', '=', '1', 'z', 'z', 'z'};
    settings = createMessage(kSettings, noNul, 4);
    ASSERT_TRUE(settings);
    EXPECT_EQ(static_cast<SettingsMessage&>(*settings).text(), "a=1z");
}

TEST(MessageCodec, EmptySettingsCarryOneNul) {
    SettingsMessage settings;
    EXPECT_EQ(settings.payloadLength(), 1);
    EXPECT_EQ(Frame(settings), (Bytes{0xC9, 0, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(MessageCodec, TheSimpleWriterWritesAllOrNothing) {
    IdInfoMessage id(7);
    WindowStream narrow(11);
    EXPECT_FALSE(id.writeTo(narrow));
    EXPECT_TRUE(narrow.written.empty());
    narrow.window = 12;
    EXPECT_TRUE(id.writeTo(narrow));
    EXPECT_EQ(narrow.written.size(), 12u);
}

TEST(MessageCodec, LongMessagesGoOutInPiecesIdenticalToOneWrite) {
    SettingsMessage settings;
    settings.setText(std::string(900, 'k') + "=v");
    Bytes whole = Frame(settings);

    WindowStream window(0);
    int calls = 0;
    for (int room : {0, 3, 4, 64, 0, 17, 64}) {
        window.window = room;
        EXPECT_FALSE(settings.writeTo(window));
        ++calls;
    }
    window.window = 64;
    while (!settings.writeTo(window)) {
        ASSERT_LT(++calls, 100);
    }
    EXPECT_LE(window.largestWrite, 64);
    EXPECT_EQ(window.written, whole);

    // The writer starts afresh for the next whole frame.
    EXPECT_EQ(Frame(settings), whole);
}

TEST(MessageCodec, DataFragmentHeaderWaitsForItsTenBytes) {
    DataFragmentMessage fragment;
    fragment.setOffset(93184);
    fragment.setData(Bytes(968, 0x5A));
    WindowStream window(9);
    EXPECT_FALSE(fragment.writeTo(window));
    EXPECT_TRUE(window.written.empty());
    window.window = 64;
    while (!fragment.writeTo(window)) {
    }
    EXPECT_EQ(window.written.size(), 968u + 6 + 8);
    EXPECT_EQ(window.written, Frame(fragment));
}

TEST(MessageCodec, WritingIsBoundedWhenTheOutputNeverDrains) {
    SettingsMessage settings;
    settings.setText("PinCod=1234");
    WindowStream stuck(0);
    EXPECT_FALSE(k57::WriteWithin(settings, stuck, 50));
    stuck.window = 64;
    EXPECT_TRUE(k57::WriteWithin(settings, stuck, 50));
}

}  // namespace
