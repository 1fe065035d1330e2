#include <gtest/gtest.h>

#include "BusStatistics.h"
#include "StampClock.h"

namespace {

// Frames every 10 ms, read in bursts every 20 ms, each burst timed at once.
TEST(StampClock, FramesReadTogetherKeepTheirSpacingAcrossTheWrap) {
    k57::StampClock clock;
    const int64_t host = 1'700'000'000'000'000;
    std::vector<int64_t> times;
    int64_t sent = 59'900;  // ms on the sender's clock, just before its wrap
    for (int read = 0; read < 20; ++read) {
        int64_t arrival = host + read * 20'000 + 3'000;  // 3 ms late, every burst
        std::vector<int64_t> unwrapped;
        for (int i = 0; i < 2; ++i, sent += 10) {
            unwrapped.push_back(clock.Unwrap(int32_t(sent % 60'000), arrival));
            clock.Observe(unwrapped.back(), arrival);
        }
        for (int64_t u : unwrapped) {
            times.push_back(clock.TimeOf(u));
        }
    }
    for (size_t i = 2; i < times.size(); ++i) {
        EXPECT_EQ(times[i] - times[i - 1], 10'000) << i;
    }
    EXPECT_LE(times.back(), host + 19 * 20'000 + 3'000);  // never after it arrived
}

TEST(StampClock, ALongSilenceAStepBackAndUnstampedFramesKeepTheOrder) {
    k57::StampClock clock;
    int64_t u = clock.Unwrap(100, 1'000'000);
    clock.Observe(u, 1'000'000);
    EXPECT_EQ(clock.TimeOf(u), 1'000'000);
    // Two and a half minutes of silence: the stamp alone says 30 s.
    int64_t later = clock.Unwrap(30'100, 1'000'000 + 150'000'000);
    EXPECT_EQ(later - u, 150'000);
    // A stamp a little back is not nearly a minute on.
    EXPECT_EQ(clock.Unwrap(30'099, 1'000'000 + 150'000'100), later);
    EXPECT_EQ(clock.Unstamped(500), clock.TimeOf(u));  // never back in time
    EXPECT_EQ(clock.Unstamped(2'000'000), 2'000'000);
}

TEST(BusStatistics, RatePeriodHeatHoldAndSilence) {
    k57::BusStatistics stats;
    for (int i = 0; i <= 100; ++i) {
        k57::LoggedFrame f{i * 10'000, 0x1A0, false, false, 8, {}};
        f.data[0] = uint8_t(i);       // a counter: its lowest bit flips every frame
        f.data[7] = i >= 50 ? 1 : 0;  // flips once
        stats.Add(f);
    }
    const k57::BusStatistics::Identifier* id = stats.Find(0x1A0);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->frames, 101u);
    EXPECT_DOUBLE_EQ(id->Rate(), 100.0);
    EXPECT_DOUBLE_EQ(id->PeriodMs(), 10.0);
    EXPECT_EQ(id->flips[0], 100u);
    EXPECT_EQ(id->flips[56], 1u);
    EXPECT_EQ(id->ChangingBits(0), 0x7F);
    EXPECT_EQ(id->ChangingBits(7), 0x01);
    EXPECT_EQ(stats.Find(0x1A0 | (uint64_t(1) << 32)), nullptr);

    const int levels = 8;
    int every = k57::BusStatistics::HeatLevel(id->flips[0], id->frames, levels);
    int once = k57::BusStatistics::HeatLevel(id->flips[56], id->frames, levels);
    EXPECT_EQ(every, levels - 1);
    EXPECT_GT(once, 0);
    EXPECT_LT(once, every);
    EXPECT_EQ(k57::BusStatistics::HeatLevel(0, 100, levels), 0);
    EXPECT_EQ(k57::BusStatistics::HeatLevel(1, 1'000'000, levels), 1);

    EXPECT_TRUE(id->Held(56, 500'000 + 999'999, 1'000'000));
    EXPECT_FALSE(id->Held(56, 500'000 + 1'000'000, 1'000'000));
    EXPECT_FALSE(id->Held(63, 0, 1'000'000));  // never changed
    EXPECT_FALSE(id->Silent(1'000'000 + 1'999'999, 2'000'000));
    EXPECT_TRUE(id->Silent(1'000'000 + 2'000'000, 2'000'000));
    EXPECT_EQ(k57::BusStatistics::BitIndex(0, 7), 0);  // the lowest bit of byte 0
}

}  // namespace
