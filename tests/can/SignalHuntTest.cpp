#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

#include "CanMarks.h"
#include "SignalHunt.h"

namespace {

// A busy bus: `identifiers` identifiers every 100 ms for 60 s, random bits
// flipping now and then; 0x3A5 byte 2 bit 5 flips 300 ms after each of five
// marks, 0x3A6 byte 0 bit 0 flips as often at other times, and 0x3A7 byte 1
// steps by one after each mark.
struct Bus {
    std::vector<k57::LoggedFrame> frames;
    std::vector<int64_t> marks;

    explicit Bus(int identifiers) {
        for (int m = 0; m < 5; ++m) {
            marks.push_back(5'000'000 + m * 10'000'000);
        }
        std::vector<std::array<uint8_t, 8>> state(static_cast<size_t>(identifiers));
        uint32_t random = 1;
        for (int64_t tick = 0; tick < 600; ++tick) {
            int64_t base = tick * 100'000;
            for (int k = 0; k < identifiers; ++k) {
                k57::LoggedFrame f{base + k * 100'000 / identifiers, 0, false, false, 8, {}};
                f.id = k < 2000 ? uint32_t(0x100 + k) % 0x800 : uint32_t(0x18DA0000 + k);
                f.extended = k >= 2000;
                random = random * 1103515245u + 12345u;
                if ((random >> 16) % 64 == 0) {
                    unsigned bit = (random >> 8) % 64;
                    state[size_t(k)][bit / 8] ^= uint8_t(1u << (bit % 8));
                }
                for (int64_t mark : marks) {
                    bool justAfter = f.us >= mark + 300'000 && f.us < mark + 400'000;
                    bool elsewhere = f.us >= mark + 5'300'000 && f.us < mark + 5'400'000;
                    if (f.id == 0x3A5 && justAfter) {
                        state[size_t(k)][2] ^= 0x20;
                    }
                    if (f.id == 0x3A6 && elsewhere) {
                        state[size_t(k)][0] ^= 0x01;
                    }
                    if (f.id == 0x3A7 && justAfter) {
                        state[size_t(k)][1] = uint8_t(state[size_t(k)][1] + 1);
                    }
                }
                std::copy(state[size_t(k)].begin(), state[size_t(k)].end(), f.data);
                frames.push_back(f);
            }
        }
    }
};

TEST(SignalHunt, TheBitThatFlipsAfterEveryMarkRanksFirstAmongThousands) {
    Bus bus(3000);
    k57::SignalHunt hunt(bus.marks);
    for (const k57::LoggedFrame& f : bus.frames) {
        hunt.Add(f);
    }
    std::vector<k57::SignalHunt::Candidate> ranking = hunt.Ranking();
    ASSERT_FALSE(ranking.empty());
    const k57::SignalHunt::Candidate& best = ranking[0];
    EXPECT_EQ(best.id, 0x3A5u);
    EXPECT_FALSE(best.extended);
    EXPECT_EQ(best.byte, 2);
    EXPECT_EQ(best.bit, 5);
    EXPECT_EQ(best.marksHit, 5);
    EXPECT_EQ(best.before, 0);
    EXPECT_EQ(best.after, 1);
    EXPECT_GT(best.score, 0.8);
    EXPECT_EQ(best.Text(5).substr(0, 23), "3A5 byte 2 bit 5  0 -> ");

    // The decoy changes as often, at other times: below, if there at all.
    for (size_t i = 1; i < ranking.size(); ++i) {
        EXPECT_LT(ranking[i].score, best.score);
        if (ranking[i].id == 0x3A6) {
            EXPECT_LT(ranking[i].score, 0.3);
        }
    }
    // The stepping byte is a candidate of its own, whole.
    auto stepping = std::find_if(ranking.begin(), ranking.end(), [](const auto& c) {
        return c.id == 0x3A7 && c.byte == 1 && c.bit == -1;
    });
    ASSERT_NE(stepping, ranking.end());
    EXPECT_EQ(stepping->marksHit, 5);
    EXPECT_EQ(stepping->after, uint8_t(stepping->before + 1));
    EXPECT_NE(stepping->Text(5).find(" -> "), std::string::npos);
}

TEST(SignalHunt, NoMarksNoRankingAndTheWindowBounds) {
    k57::SignalHunt none({});
    none.Add({0, 1, false, false, 1, {0}});
    none.Add({1, 1, false, false, 1, {1}});
    EXPECT_TRUE(none.Ranking().empty());

    k57::SignalHunt::Options options;
    options.leadUs = 100'000;
    options.afterUs = 500'000;
    k57::SignalHunt hunt({1'000'000, 3'000'000}, options);
    hunt.Add({0, 7, false, false, 1, {0}});
    hunt.Add({950'000, 7, false, false, 1, {1}});    // just before the first mark: counts
    hunt.Add({3'600'000, 7, false, false, 1, {0}});  // past the second's window
    std::vector<k57::SignalHunt::Candidate> ranking = hunt.Ranking();
    ASSERT_EQ(ranking.size(), 1u);
    EXPECT_EQ(ranking[0].bit, 0);
    EXPECT_EQ(ranking[0].marksHit, 1);
    EXPECT_EQ(ranking[0].changes, 2u);
    EXPECT_DOUBLE_EQ(ranking[0].score, 0.5 * 0.5);
}

TEST(CanMarks, AMarksFileReadsBackWithLabelsCommentsAndProblems) {
    std::istringstream in(
        "# door, five times\n"
        "1700000005.25 дверь\n"
        "\n"
        "1700000001.5   # the first\n"
        "soon\n"
        "1700000009,5\n");
    std::vector<k57::CanMarks::Problem> problems;
    k57::CanMarks marks = k57::CanMarks::Read(in, problems);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks.Times(), (std::vector<int64_t>{1700000001500000, 1700000005250000}));
    EXPECT_EQ(marks.marks()[1].label, "дверь");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 5);
    EXPECT_EQ(problems[1].line, 6);

    std::ostringstream out;
    marks.Write(out);
    std::istringstream again(out.str());
    k57::CanMarks read = k57::CanMarks::Read(again, problems);
    EXPECT_EQ(read.Times(), marks.Times());
    EXPECT_EQ(read.marks()[1].label, "дверь");
    EXPECT_EQ(k57::CanMarks::SidecarPath("/a/b.log"), "/a/b.log.marks");
}

}  // namespace
