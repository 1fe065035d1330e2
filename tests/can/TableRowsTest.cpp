// How the CAN monitor's table shows time: held changes, silent identifiers
// greyed or hidden and back with their next frame, heat, rate and period,
// and which rows time alone makes to repaint.

#include <gtest/gtest.h>

#include "CanCapture.h"
#include "TableRows.h"

namespace {

using k57::BusStatistics;
using k57::CanCapture;
using k57::TableLook;
using k57::TableRows;

constexpr int64_t kMs = 1000, kS = 1'000'000;

// A bus as the session keeps it: the capture's records and the statistics,
// fed frames with their times.
struct TableBus {
    CanCapture capture;
    BusStatistics statistics;

    void Frame(uint32_t id, int64_t us, uint8_t byte0 = 0, uint8_t byte1 = 0) {
        CanRecord r;
        r.id = id;
        r.dlc = 8;
        r.data[0] = byte0;
        r.data[1] = byte1;
        capture.HandleFrame(r, k57::FilterMode::None, false);
        statistics.Add(k57::LogEntry(r, us));
    }
    const BusStatistics::Identifier* Of(uint32_t id) const { return statistics.Find(id); }
    const CanRecord& Record(size_t row) const { return capture.Records()[row]; }
    // A display tick at `us`.
    CanCapture::Damage Tick(TableRows& rows, int64_t us) {
        return rows.Update(capture.TakeDamage(), capture.Records(), statistics, us);
    }
};

TEST(TableLook, AHeldChangeStaysMarkedForTheHoldThenNot) {
    TableBus bus;
    for (int i = 0; i <= 300; ++i) {  // 10 ms apart; byte 1's top bit sets at 1 s
        bus.Frame(0x1A0, i * 10 * kMs, 0, i >= 100 ? 0x80 : 0);
    }
    TableLook look;
    const CanRecord& r = bus.Record(0);
    ASSERT_EQ(r.changed[1], 0);  // the frame after the change cleared it
    EXPECT_FALSE(look.Marked(r, bus.Of(0x1A0), 1, 0, 1050 * kMs));

    look.holdUs = kS;
    EXPECT_TRUE(look.Marked(r, bus.Of(0x1A0), 1, 0, 1 * kS));
    EXPECT_TRUE(look.Marked(r, bus.Of(0x1A0), 1, 0, 1999 * kMs));
    EXPECT_FALSE(look.Marked(r, bus.Of(0x1A0), 1, 0, 2 * kS));
    EXPECT_FALSE(look.Marked(r, bus.Of(0x1A0), 1, 1, 1500 * kMs));  // its neighbour never changed
    // A bit a filter retired is never marked, held or not.
    CanRecord retired = r;
    retired.mask[1] = 0x7F;
    EXPECT_FALSE(look.Marked(retired, bus.Of(0x1A0), 1, 0, 1500 * kMs));
    // Without statistics the latest frame decides, as with no hold.
    CanRecord changed = r;
    changed.changed[1] = 0x80;
    EXPECT_TRUE(look.Marked(changed, nullptr, 1, 0, 9 * kS));
}

TEST(TableRows, AnEndingHoldAndAFallingSilenceRepaintTheirRowsOnce) {
    TableBus bus;
    bus.Frame(0x100, 0);
    bus.Frame(0x200, 0);
    bus.Frame(0x100, 250 * kMs, 0x01);  // 0x100 changes and falls quiet; 0x200 goes on
    for (int64_t t = 100 * kMs; t <= 3 * kS; t += 100 * kMs) {
        bus.Frame(0x200, t);
    }
    TableRows rows;
    TableLook look;
    look.holdUs = kS;
    look.silence = TableLook::Silence::Grey;
    look.quietUs = 2 * kS;
    rows.SetLook(look);
    EXPECT_EQ(bus.Tick(rows, 300 * kMs).movedFrom, 0u);  // a new look: everything
    std::vector<int64_t> repainted;
    for (int64_t t = 400 * kMs; t <= 3 * kS; t += 100 * kMs) {
        bus.Tick(rows, t);
        if (rows.Expired(0, 2, bus.capture.Records(), bus.statistics) == std::vector<size_t>{0}) {
            repainted.push_back(t);
        }
    }
    // The hold ends at 1.25 s, the silence begins at 2.25 s: the ticks after.
    EXPECT_EQ(repainted, (std::vector<int64_t>{1300 * kMs, 2300 * kMs}));
    EXPECT_TRUE(rows.look().Silent(bus.Of(0x100), 3 * kS));
    EXPECT_FALSE(rows.look().Silent(bus.Of(0x200), 3 * kS));
    // Rows not asked for are not looked at.
    bus.Tick(rows, 3 * kS);
    EXPECT_TRUE(rows.Expired(1, 2, bus.capture.Records(), bus.statistics).empty());

    // A frame brings it back: its row is repainted with the frame.
    bus.Frame(0x100, 3100 * kMs);
    CanCapture::Damage damage = bus.Tick(rows, 3100 * kMs);
    EXPECT_EQ(damage.rows, std::vector<size_t>{0});
    EXPECT_FALSE(rows.look().Silent(bus.Of(0x100), 3100 * kMs));
}

TEST(TableRows, HiddenSilentRowsLeaveTheTableAndComeBackWithTheirFrames) {
    TableBus bus;
    for (uint32_t id : {0x100u, 0x200u, 0x300u}) {
        bus.Frame(id, 0);
    }
    TableRows rows;
    TableLook look;
    look.silence = TableLook::Silence::Hidden;
    look.quietUs = kS;
    rows.SetLook(look);
    const auto& records = bus.capture.Records();
    bus.Tick(rows, 500 * kMs);
    ASSERT_EQ(rows.size(records), 3u);

    bus.Frame(0x100, 900 * kMs);
    bus.Frame(0x300, 900 * kMs);
    CanCapture::Damage damage = bus.Tick(rows, 1 * kS);  // 0x200 silent from here
    EXPECT_EQ(damage.movedFrom, 1u);
    EXPECT_EQ(damage.rows, std::vector<size_t>{0});
    ASSERT_EQ(rows.size(records), 2u);
    EXPECT_EQ(rows.At(1, records)->id, 0x300u);
    EXPECT_EQ(rows.RowOf(0x200, records), SIZE_MAX);
    EXPECT_EQ(rows.RowOf(0x300, records), 1u);
    EXPECT_EQ(rows.At(2, records), nullptr);

    // Nothing new: nothing to repaint.
    EXPECT_FALSE(bus.Tick(rows, 1100 * kMs).any());

    // A new identifier between the shown ones moves those after it.
    bus.Frame(0x250, 1150 * kMs);
    damage = bus.Tick(rows, 1200 * kMs);
    EXPECT_EQ(damage.movedFrom, 1u);
    EXPECT_EQ(rows.At(1, records)->id, 0x250u);

    // 0x200 is back with a frame, in its place.
    bus.Frame(0x200, 1250 * kMs);
    damage = bus.Tick(rows, 1300 * kMs);
    EXPECT_EQ(damage.movedFrom, 1u);
    ASSERT_EQ(rows.size(records), 4u);
    EXPECT_EQ(rows.At(1, records)->id, 0x200u);
    EXPECT_EQ(rows.At(2, records)->id, 0x250u);
    // The others fall quiet in their turn.
    bus.Tick(rows, 1900 * kMs);
    EXPECT_EQ(rows.size(records), 2u);
    EXPECT_EQ(rows.At(0, records)->id, 0x200u);

    // The records emptied under the rows (a filter, a new showing): no row
    // finds a record that is gone.
    bus.capture.ClearRecords();
    EXPECT_EQ(rows.At(0, records), nullptr);
    EXPECT_EQ(bus.Tick(rows, 1400 * kMs).movedFrom, 0u);
    EXPECT_EQ(rows.size(records), 0u);

    // Shown again as they come: every row is the records' own.
    look.silence = TableLook::Silence::Grey;
    rows.SetLook(look);
    bus.Frame(0x100, 1500 * kMs);
    EXPECT_EQ(bus.Tick(rows, 1500 * kMs).movedFrom, 0u);
    EXPECT_EQ(rows.size(records), 1u);
}

TEST(TableLook, HeatRateAndPeriod) {
    TableBus bus;
    for (int i = 0; i <= 100; ++i) {
        bus.Frame(0x1A0, i * 10 * kMs, uint8_t(i & 1), i == 50 ? 1 : 0);
    }
    TableLook look;
    const BusStatistics::Identifier* ident = bus.Of(0x1A0);
    EXPECT_EQ(look.Heat(ident, 0, 7), 0);  // off
    look.heat = true;
    EXPECT_EQ(look.Heat(ident, 0, 7), TableLook::kHeatLevels - 1);  // every frame
    EXPECT_GT(look.Heat(ident, 1, 7), 0);                           // twice in 100
    EXPECT_LT(look.Heat(ident, 1, 7), look.Heat(ident, 0, 7));
    EXPECT_EQ(look.Heat(ident, 0, 6), 0);  // never
    EXPECT_EQ(look.Heat(nullptr, 0, 7), 0);

    EXPECT_EQ(k57::RateText(*ident, true), "100/s 10ms");
    EXPECT_EQ(k57::RateText(*ident, false), "100/s");
    auto every = [](int64_t periodUs) {
        BusStatistics one;
        for (int i = 0; i < 5; ++i) {
            one.Add(k57::LoggedFrame{i * periodUs, 0x7, false, false, 8, {}});
        }
        return k57::RateText(*one.Find(0x7), true);
    };
    EXPECT_EQ(every(1 * kMs), "1000/s 1.0ms");
    EXPECT_EQ(every(250 * kMs), "4/s 250ms");
    EXPECT_EQ(every(2 * kS), "0.5/s 2000ms");
    BusStatistics lone;
    lone.Add(k57::LoggedFrame{0, 0x7, false, false, 8, {}});
    EXPECT_EQ(k57::RateText(*lone.Find(0x7), true), "");
}

}  // namespace
