#include <gtest/gtest.h>

#include <cstdio>

#include "CanTraffic.h"
#include "TempDir.h"

namespace {

TEST(CanTraffic, ReplaysACandumpLogAtItsOwnPace) {
    k57::test::TempDir dir;
    std::string log = dir.path() + "/bus.log";
    std::FILE* f = std::fopen(log.c_str(), "w");
    std::fputs(
        "(1436509052.000000) can0 1A0#0011\n"
        "(1436509052.050000) can0 12345678#FF\n"  // extended: not reported
        "garbage\n"
        "(1436509052.100000) can0 7FF#0102030405060708\n",
        f);
    std::fclose(f);
    k57::sim::UnitOptions options;
    options.canLog = log;
    k57::sim::CanTraffic traffic(options);
    traffic.Start(1'000'000);
    EXPECT_EQ(traffic.Due(1'000'000), "t1A02001100000000000003E8\r");
    EXPECT_EQ(traffic.Due(1'099'999), "");
    EXPECT_EQ(traffic.Due(1'100'000), "t7FF80102030405060708044C\r");
    // Then the log starts over.
    EXPECT_EQ(traffic.Due(1'110'000).substr(0, 5), "t1A02");
}

TEST(CanTraffic, SyntheticTrafficCoversTheIdentifiersAtItsRate) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 1000;
    options.canIdentifiers = 4096;
    k57::sim::CanTraffic traffic(options);
    traffic.Start(0);
    std::string lines;
    for (uint64_t now = 100'000; now <= 4'096'000; now += 100'000) {
        lines += traffic.Due(now);
    }
    lines += traffic.Due(4'096'000);
    EXPECT_EQ(lines.size(), 4096u * 26);
    std::vector<bool> seen(4096);
    for (size_t at = 0; at < lines.size(); at += 26) {
        seen[std::stoul(lines.substr(at + 1, 3), nullptr, 16)] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 4096);
}

}  // namespace
