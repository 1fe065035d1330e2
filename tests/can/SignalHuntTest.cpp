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
    // It flips back and forth, one way at one mark, the other at the next.
    EXPECT_EQ(best.Text(5).substr(0, 24), "3A5 byte 2 bit 5  0\u21941 ") << best.Text(5);

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

// A bit that goes the same way at every mark (a latch, set and cleared
// elsewhere) keeps its direction in the text.
TEST(SignalHunt, ABitThatMovesOneWayAtEveryMarkSaysWhichWay) {
    k57::SignalHunt hunt({1'000'000, 3'000'000});
    hunt.Add({0, 7, false, false, 1, {0x01}});
    hunt.Add({1'100'000, 7, false, false, 1, {0x00}});  // falls after the first mark
    hunt.Add({2'000'000, 7, false, false, 1, {0x01}});  // set again, unmarked
    hunt.Add({3'100'000, 7, false, false, 1, {0x00}});  // falls after the second
    std::vector<k57::SignalHunt::Candidate> ranking = hunt.Ranking();
    ASSERT_EQ(ranking.size(), 1u);
    EXPECT_EQ(ranking[0].Text(2).substr(0, 21), "007 byte 0 bit 0  1 -") << ranking[0].Text(2);
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

// A mark may end with how the value moved; older files, without, read as
// before, and a label that ends in such a word survives a write and a read.
TEST(CanMarks, MovesAreReadAndWrittenAndLabelsEndingInTheirWordsSurvive) {
    std::istringstream in(
        "10.0 door open up\n"
        "11.0 down\n"
        "12.0 speed same\n"
        "13.0 lift up -\n"
        "14.0 door\n");
    std::vector<k57::CanMarks::Problem> problems;
    k57::CanMarks marks = k57::CanMarks::Read(in, problems);
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_TRUE(problems.empty());
    const std::vector<k57::CanMark>& m = marks.marks();
    EXPECT_EQ(m[0].label, "door open");
    EXPECT_EQ(m[0].move, k57::CanMove::Up);
    EXPECT_EQ(m[1].label, "");
    EXPECT_EQ(m[1].move, k57::CanMove::Down);
    EXPECT_EQ(m[2].move, k57::CanMove::Same);
    EXPECT_EQ(m[3].label, "lift up");
    EXPECT_EQ(m[3].move, k57::CanMove::None);
    EXPECT_EQ(m[4].move, k57::CanMove::None);

    k57::CanMarks placed;
    placed.Add(20'000'000, "lift up");
    placed.Add(21'000'000, "up", k57::CanMove::Down);
    placed.Add(22'000'000, "-");
    std::ostringstream out;
    placed.Write(out);
    std::istringstream again(out.str());
    k57::CanMarks read = k57::CanMarks::Read(again, problems);
    ASSERT_EQ(read.size(), 3u) << out.str();
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.marks()[i].label, placed.marks()[i].label) << out.str();
        EXPECT_EQ(read.marks()[i].move, placed.marks()[i].move) << out.str();
    }
}

// A list shown knows its marks are old by the revision: marks read anew (a
// recording opened after another) never carry one seen before.
TEST(CanMarks, MarksReadAnewHaveARevisionNotSeenBefore) {
    std::vector<k57::CanMarks::Problem> problems;
    std::istringstream first("1.0 a\n");
    k57::CanMarks marks = k57::CanMarks::Read(first, problems);
    const uint64_t shown = marks.revision();
    marks.Clear();
    std::istringstream second("2.0 b\n3.0 c\n");
    marks = k57::CanMarks::Read(second, problems);
    EXPECT_NE(marks.revision(), shown);
}

TEST(CanMarks, RemovingAndPlacingAreUndoneLastFirst) {
    k57::CanMarks marks;
    marks.Add(3, "c");
    marks.Add(1, "a");
    marks.Add(2, "b");
    EXPECT_TRUE(marks.Remove(0));
    EXPECT_FALSE(marks.Remove(5));
    EXPECT_EQ(marks.Times(), (std::vector<int64_t>{2, 3}));
    uint64_t before = marks.revision();
    EXPECT_TRUE(marks.Undo());  // "a" is back
    EXPECT_NE(marks.revision(), before);
    EXPECT_EQ(marks.Times(), (std::vector<int64_t>{1, 2, 3}));
    EXPECT_TRUE(marks.Undo());  // "b" placed last: gone
    EXPECT_EQ(marks.Times(), (std::vector<int64_t>{1, 3}));
    EXPECT_TRUE(marks.Undo());
    EXPECT_TRUE(marks.Undo());
    EXPECT_FALSE(marks.Undo());
    EXPECT_EQ(marks.size(), 0u);
    for (size_t i = 0; i < k57::CanMarks::kMaxUndo + 10; ++i) {
        marks.Add(int64_t(i));
    }
    size_t undone = 0;
    while (marks.Undo()) {
        ++undone;
    }
    EXPECT_EQ(undone, k57::CanMarks::kMaxUndo);
    EXPECT_EQ(marks.size(), 10u);
}

}  // namespace
