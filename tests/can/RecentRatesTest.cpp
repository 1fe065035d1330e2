// The rate and period the table shows are those of the last seconds, and a
// capture summed up gives the median period beside the mean.

#include <gtest/gtest.h>

#include "BusStatistics.h"

namespace {

k57::LoggedFrame At(int64_t us, uint32_t id = 0x1A0) {
    return k57::LoggedFrame{us, id, false, false, 8, {}};
}

TEST(RecentRates, FollowAChangeOfPaceWithinSecondsWhileTheMeanKeepsTheWhole) {
    k57::BusStatistics stats;
    int64_t us = 1'700'000'000'000'000;
    for (int i = 0; i < 1000; ++i, us += 10'000) {  // 10 s at 100/s
        stats.Add(At(us));
    }
    for (int i = 0; i < 200; ++i, us += 50'000) {  // then 10 s at 20/s
        stats.Add(At(us));
    }
    const k57::BusStatistics::Identifier* id = stats.Find(0x1A0);
    ASSERT_NE(id, nullptr);
    EXPECT_NEAR(id->RecentRate(), 20.0, 0.5);
    EXPECT_NEAR(id->RecentPeriodMs(), 50.0, 1.0);
    EXPECT_NEAR(id->Rate(), 1199.0 / 19.95, 0.5);  // the whole capture's mean
}

TEST(RecentRates, ASlowMessageKeepsItsLastPeriodAndOneFrameHasNone) {
    k57::BusStatistics stats;
    stats.Add(At(1'000'000, 0x100));
    EXPECT_EQ(stats.Find(0x100)->RecentRate(), 0.0);
    EXPECT_EQ(stats.Find(0x100)->RecentPeriodMs(), 0.0);
    for (int i = 1; i < 4; ++i) {
        stats.Add(At(1'000'000 + i * 8'000'000, 0x100));  // every 8 s, beyond the window
    }
    EXPECT_NEAR(stats.Find(0x100)->RecentPeriodMs(), 8000.0, 1e-6);
    EXPECT_NEAR(stats.Find(0x100)->RecentRate(), 0.125, 1e-9);
}

TEST(RecentRates, AFastMessageIsMeasuredOverItsNewestFramesWithinBoundedMemory) {
    k57::BusStatistics stats;
    for (int i = 0; i < 100'000; ++i) {  // 10 s at 10,000/s
        stats.Add(At(int64_t(i) * 100));
    }
    const k57::BusStatistics::Identifier* id = stats.Find(0x1A0);
    EXPECT_NEAR(id->RecentRate(), 10'000.0, 1.0);
    EXPECT_LE(id->recent.capacity(), k57::BusStatistics::kRecentMost);
}

TEST(RecentRates, MedianPeriodStandsFirmWhereTheMeanIsPulledByAGap) {
    std::vector<k57::LoggedFrame> frames;
    for (int i = 0; i < 11; ++i) {
        frames.push_back(At(int64_t(i) * 10'000));
    }
    frames.push_back(At(10 * 10'000 + 1'000'000));  // one second of silence
    frames.push_back(At(0, 0x7DF));                 // a single frame: no period
    std::unordered_map<uint64_t, double> median = k57::BusStatistics::MedianPeriodsMs(frames);
    EXPECT_DOUBLE_EQ(median.at(0x1A0), 10.0);
    EXPECT_EQ(median.count(0x7DF), 0u);
}

}  // namespace
