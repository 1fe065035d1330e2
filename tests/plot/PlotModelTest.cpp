#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "ColumnReduction.h"
#include "PlotCsv.h"
#include "PlotData.h"

namespace {

using k57::PlotChannel;
using k57::PlotColumn;
using k57::PlotData;

// --- the ring ---------------------------------------------------------------

TEST(PlotChannel, KeepsTheNewestSamplesInOrderOnceFull) {
    PlotChannel channel("X", "", 5);  // rounded up to 8
    ASSERT_EQ(channel.capacity(), 8u);
    for (int i = 0; i < 20; ++i) {
        channel.Add(i, i * 10);
    }
    ASSERT_EQ(channel.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(channel.Time(i), 12.0 + double(i));
        EXPECT_EQ(channel.Value(i), (12.0 + double(i)) * 10);
    }
    // Bisection across the ring's wrap.
    EXPECT_EQ(channel.LowerBound(15.5), 4u);
    EXPECT_EQ(channel.LowerBound(0), 0u);
    EXPECT_EQ(channel.LowerBound(99), 8u);
    size_t at = 0;
    EXPECT_TRUE(channel.IndexAt(15.5, at));
    EXPECT_EQ(channel.Value(at), 150);
    EXPECT_FALSE(channel.IndexAt(11.9, at));
}

TEST(PlotChannel, ATimeThatGoesBackIsTakenAtTheNewest) {
    PlotChannel channel("X", "", 8);
    channel.Add(5, 1);
    channel.Add(4, 2);
    EXPECT_EQ(channel.Time(1), 5);
    EXPECT_EQ(channel.Value(1), 2);
}

TEST(PlotData, SkipsValuesThatAreNoNumberAndCountsChanges) {
    PlotData data;
    int x = data.AddChannel("X", "", 8);
    uint64_t before = data.generation();
    data.Add(x, 1, std::nan(""));
    data.Add(x, 1, HUGE_VAL);
    data.Add(7, 1, 1);  // no such channel
    EXPECT_TRUE(data.channels()[0].empty());
    EXPECT_EQ(data.generation(), before);
    data.AddMark(2, "$VS: Event");
    EXPECT_GT(data.generation(), before);
}

// --- the reduction -----------------------------------------------------------

// Every column against the samples that fall in it, found the slow way.
void ExpectTrueMinimaAndMaxima(const PlotChannel& channel, double from, double to, int width) {
    std::vector<PlotColumn> columns = k57::ReduceColumns(channel, from, to, width);
    ASSERT_EQ(columns.size(), size_t(width));
    std::vector<std::vector<double>> truth{size_t(width)};
    const double perColumn = (to - from) / width;
    for (size_t i = 0; i < channel.size(); ++i) {
        double t = channel.Time(i);
        if (t < from || t >= to) {
            continue;
        }
        // The same boundaries as the reduction: column c ends at from + (c+1) * perColumn.
        int c = std::min(width - 1, int((t - from) / perColumn));
        while (c > 0 && t < from + perColumn * c) --c;
        while (c + 1 < width && t >= from + perColumn * (c + 1)) ++c;
        truth[size_t(c)].push_back(channel.Value(i));
    }
    for (int c = 0; c < width; ++c) {
        const std::vector<double>& values = truth[size_t(c)];
        const PlotColumn& column = columns[size_t(c)];
        ASSERT_EQ(column.count, values.size()) << "column " << c;
        if (values.empty()) {
            continue;
        }
        EXPECT_EQ(column.min, *std::min_element(values.begin(), values.end())) << "column " << c;
        EXPECT_EQ(column.max, *std::max_element(values.begin(), values.end())) << "column " << c;
        EXPECT_EQ(column.first, values.front()) << "column " << c;
        EXPECT_EQ(column.last, values.back()) << "column " << c;
    }
}

TEST(ColumnReduction, EveryColumnKeepsItsTrueMinimumAndMaximum) {
    std::mt19937 random(57);
    std::uniform_real_distribution<double> value(-1000, 1000);
    std::exponential_distribution<double> gap(100);
    // A ring that has wrapped, samples at uneven times with spikes.
    PlotChannel channel("signal", "", 4096);
    double t = 0;
    for (int i = 0; i < 10000; ++i) {
        t += i % 500 == 0 ? 0.5 : gap(random);  // gaps that leave columns empty
        channel.Add(t, i % 97 == 0 ? value(random) * 50 : value(random));
    }
    const double first = channel.Time(0), last = channel.Time(channel.size() - 1);
    for (int width : {1, 7, 300, 1920, 20000}) {
        SCOPED_TRACE(width);
        ExpectTrueMinimaAndMaxima(channel, first, last + 1e-9, width);
        ExpectTrueMinimaAndMaxima(channel, first - 3, first + (last - first) / 3, width);
    }
}

TEST(ColumnReduction, SamplesOnAColumnsEdgeAndOutsideTheWindow) {
    PlotChannel channel("X", "", 16);
    for (int i = 0; i <= 10; ++i) {
        channel.Add(i, i);
    }
    std::vector<PlotColumn> columns = k57::ReduceColumns(channel, 2, 6, 2);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].count, 2u);  // 2 and 3; 4 starts the second
    EXPECT_EQ(columns[0].max, 3);
    EXPECT_EQ(columns[1].min, 4);
    EXPECT_EQ(columns[1].max, 5);  // 6 is outside [2, 6)
    EXPECT_TRUE(k57::ReduceColumns(channel, 6, 6, 10).empty());
    EXPECT_TRUE(k57::ReduceColumns(channel, 0, 6, 0).empty());
}

// --- CSV ----------------------------------------------------------------------

TEST(PlotCsv, ChannelsUnitsAndMarksMakeTheRoundTrip) {
    PlotData data;
    int speed = data.AddChannel("Speed", "km/h", 16);
    int state = data.AddChannel("State, \"raw\"", "", 16);
    data.Add(speed, 0.1, 12.5);
    data.Add(state, 0.1, 3);
    data.Add(speed, 0.2, -0.000125);
    data.Add(state, 0.3, 1e300);
    data.AddMark(0.2, "$AccE: Shock, \"hard\"\nsecond line");
    const std::string text = k57::plotcsv::Write(data);
    EXPECT_EQ(text.substr(0, text.find('\n')), "time_s,Speed [km/h],\"State, \"\"raw\"\"\",mark");
    EXPECT_NE(text.find("\n0.1,12.5,3,\n"), std::string::npos) << text;

    PlotData back;
    k57::plotcsv::ReadResult read = k57::plotcsv::Read(text, back, 4);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(back.channels().size(), 2u);
    EXPECT_EQ(back.channels()[0].name(), "Speed");
    EXPECT_EQ(back.channels()[0].unit(), "km/h");
    EXPECT_EQ(back.channels()[1].name(), "State, \"raw\"");
    for (int c = 0; c < 2; ++c) {
        const PlotChannel& a = data.channels()[size_t(c)];
        const PlotChannel& b = back.channels()[size_t(c)];
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a.Time(i), b.Time(i));
            EXPECT_EQ(a.Value(i), b.Value(i));  // exactly: the shortest text that reads back
        }
    }
    ASSERT_EQ(back.marks().size(), 1u);
    EXPECT_EQ(back.marks()[0].seconds, 0.2);
    EXPECT_EQ(back.marks()[0].label, data.marks()[0].label);
}

TEST(PlotCsv, AFileLongerThanTheCapacityAskedForIsHeldWhole) {
    PlotData data;
    data.AddChannel("X", "", 1024);
    for (int i = 0; i < 1000; ++i) {
        data.Add(0, i * 0.01, i);
    }
    PlotData back;
    ASSERT_TRUE(k57::plotcsv::Read(k57::plotcsv::Write(data), back, 16).ok);
    EXPECT_EQ(back.channels()[0].size(), 1000u);
}

TEST(PlotCsv, WhatIsNotAPlotIsRefusedWithItsLine) {
    PlotData data;
    auto error = [&](const std::string& text) {
        k57::plotcsv::ReadResult read = k57::plotcsv::Read(text, data, 16);
        EXPECT_FALSE(read.ok) << text;
        return read.error;
    };
    EXPECT_EQ(error("a,b\n1,2\n").substr(0, 7), "line 1:");
    EXPECT_EQ(error("time_s,X,mark\n0.1,1,\n0.2,x,\n"), "line 3: \"x\" is not a number");
    EXPECT_EQ(error("time_s,X,mark\n0.1,1\n"), "line 2: 2 cells, the header has 3");
    EXPECT_EQ(error("time_s,X,mark\nsoon,1,\n"), "line 2: \"soon\" is not a time in seconds");
    EXPECT_EQ(error("time_s,X,mark\n0.1,1,\"open\n"), "line 2: a quoted cell is not closed");
    // A spreadsheet's byte order mark and CR LF line ends are fine.
    k57::plotcsv::ReadResult read =
        k57::plotcsv::Read("\xEF\xBB\xBFtime_s,X,mark\r\n0.5,2,\r\n\r\n", data, 16);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(data.channels()[0].Value(0), 2);
}

}  // namespace
