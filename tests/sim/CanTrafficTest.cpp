#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "CanTraffic.h"
#include "TempDir.h"

namespace {

TEST(CanTraffic, ReplaysACandumpLogAtItsOwnPace) {
    k57::test::TempDir dir;
    std::string log = dir.path() + "/bus.log";
    std::FILE* f = std::fopen(log.c_str(), "w");
    std::fputs(
        "(1436509052.000000) can0 1A0#0011\n"
        "(1436509052.050000) can0 12345678#FF\n"
        "garbage\n"
        "(1436509052.100000) can0 7FF#0102030405060708\n",
        f);
    std::fclose(f);
    k57::sim::UnitOptions options;
    options.canLog = log;
    k57::sim::CanTraffic traffic(options);
    EXPECT_EQ(traffic.skipped(), 0);  // a line that is no frame is no skipped frame
    traffic.Start(1'000'000);
    EXPECT_EQ(traffic.Due(1'000'000), "t1A02001100000000000003E8\r");
    EXPECT_EQ(traffic.Due(1'050'000), "T123456781FF041A\r");  // extended, by its width
    EXPECT_EQ(traffic.Due(1'099'999), "");
    EXPECT_EQ(traffic.Due(1'100'000), "t7FF80102030405060708044C\r");
    // Then the log starts over.
    EXPECT_EQ(traffic.Due(1'110'000).substr(0, 5), "t1A02");
}

TEST(CanTraffic, EveryKindOfFrameIsReplayedAsItIsOrSkippedAndCounted) {
    k57::test::TempDir dir;
    std::string log = dir.path() + "/kinds.log";
    std::FILE* f = std::fopen(log.c_str(), "w");
    std::fputs(
        "(100.000000) can0 00000123#11\n"                // extended although small
        "(100.001000) can0 123#R\n"                      // remote, no length
        "(100.002000) can0 18DAF110#R3\n"                // extended remote with its length
        "(100.003000) can0 20000080#0000000000000000\n"  // error frame
        "(100.004000) can0 123##1AABB\n"                 // CAN FD
        "(100.005000) can0 123#000102030405060708\n"     // nine bytes
        "(100.006000) can0 9FF#01\n"                     // 3 digits, beyond 11 bits
        "(100.007000) can0 321#\n",                      // no data
        f);
    std::fclose(f);
    k57::sim::UnitOptions options;
    options.canLog = log;
    k57::sim::CanTraffic traffic(options);
    EXPECT_EQ(traffic.skipped(), 4);
    traffic.Start(0);
    EXPECT_EQ(traffic.Due(10'000),
              "T00000123111000A\r"
              "r1230000A\r"
              "R18DAF1103000A\r"
              "t32100000000000000000000A\r");
    // Stamps count milliseconds modulo 60000, as adapters do.
    traffic.Start(59'999'000);
    EXPECT_EQ(traffic.Due(59'999'000).substr(12, 5), "EA5F\r");
    traffic.Start(60'001'000);
    EXPECT_EQ(traffic.Due(60'001'000).substr(12, 5), "0001\r");
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
    // 2048 standard identifiers, then extended ones.
    std::set<std::string> seen;
    size_t standard = 0;
    for (size_t at = 0; at < lines.size();) {
        size_t end = lines.find('\r', at);
        std::string line = lines.substr(at, end - at);
        standard += line[0] == 't';
        seen.insert(line[0] == 't' ? line.substr(1, 3) : line.substr(1, 8));
        at = end + 1;
    }
    EXPECT_EQ(seen.size(), 4096u);
    EXPECT_EQ(standard, 2048u);
}

}  // namespace
