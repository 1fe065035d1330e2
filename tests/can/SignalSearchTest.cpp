// The search by value: which field moved as the marks say.

#include <gtest/gtest.h>

#include "SignalSearch.h"

namespace {

// 0x010 every 100 ms for 10 s: byte 0 noise in every frame, byte 1 a level
// that goes up 300 ms after the mark at 2 s, holds at 4 s, and goes down
// after 6 s; 0x020 never changes.
std::vector<k57::LoggedFrame> BusFrames() {
    std::vector<k57::LoggedFrame> frames;
    uint32_t random = 1;
    for (int tick = 0; tick < 100; ++tick) {
        random = random * 1103515245u + 12345u;
        int64_t us = tick * 100'000;
        uint8_t level = us >= 6'300'000 ? 0x11 : us >= 2'300'000 ? 0xEE : 0x11;
        frames.push_back({us, 0x010, false, false, 2, {uint8_t(random >> 16), level}});
        frames.push_back({us + 10, 0x020, false, false, 8, {1, 2, 3, 4, 5, 6, 7, 8}});
    }
    return frames;
}

TEST(SignalSearch, TheFieldThatMovedAsEveryMarkSaysComesFirstAndNoiseDoesNot) {
    std::vector<k57::CanMark> marks = {{2'000'000, "on", k57::CanMove::Up},
                                       {4'000'000, "", k57::CanMove::Same},
                                       {6'000'000, "off", k57::CanMove::Down},
                                       {8'000'000, "no move", k57::CanMove::None}};
    std::vector<k57::SignalSearch::Candidate> ranking =
        k57::SignalSearch::Rank(BusFrames(), marks, {});
    ASSERT_FALSE(ranking.empty());
    const k57::SignalSearch::Candidate& best = ranking[0];
    EXPECT_EQ(best.Text().substr(0, 56), "010 start 8 length 8 little unsigned  score 1.00  3/3 ma")
        << best.Text();
    const uint8_t data[8] = {0x05, 0xEE};
    EXPECT_EQ(best.Value(data), 0xEE);
    for (const k57::SignalSearch::Candidate& c : ranking) {
        EXPECT_NE(c.id, 0x020u) << "a constant identifier is no candidate";
        if (c.start < 8 && !c.bigEndian) {  // the noise's bits: "same" fails
            EXPECT_LT(c.score, 1.0) << c.Text();
        }
        EXPECT_LE(c.start + (c.bigEndian ? 0 : c.length), 16) << "beyond the frames' 2 bytes";
    }
    // Signed, the level's top bit turns its rise into a fall.
    auto sign = std::find_if(ranking.begin(), ranking.end(), [](const auto& c) {
        return c.start == 8 && c.length == 8 && c.isSigned;
    });
    if (sign != ranking.end()) {
        EXPECT_LT(sign->score, 1.0);
    }

    // Marks that say no move, or that lie before every frame, find nothing.
    EXPECT_TRUE(
        k57::SignalSearch::Rank(BusFrames(), {{2'000'000, "", k57::CanMove::None}}, {}).empty());
    std::vector<k57::SignalSearch::Candidate> early =
        k57::SignalSearch::Rank(BusFrames(), {{-5'000'000, "", k57::CanMove::Up}}, {});
    EXPECT_TRUE(early.empty());
}

}  // namespace
