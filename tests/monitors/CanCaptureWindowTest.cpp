// The CAN monitor against the simulated unit: a full bus read without a
// line lost while the window is busy, and each capture its own figures.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <fstream>
#include <thread>

#include "CanHuntForm.h"
#include "CanMonitorWindow.h"
#include "CanSignalsForm.h"
#include "Sanitized.h"
#include "Settle.h"
#include "TableLook.h"
#include "WindowProbe.h"

namespace {

using k57::test::Child;

class CanCaptureWindowTest : public k57::test::CanMonitorWindow {
  protected:
    QPushButton* PortButton() { return Child<QPushButton>(*form, "PortButton"); }
    void Open() {
        PortButton()->click();
        ASSERT_TRUE(k57::test::Settle(session));
        ASSERT_TRUE(PortButton()->text().endsWith("Close"));
    }
    void CloseChannel() {
        PortButton()->click();
        ASSERT_TRUE(k57::test::Settle(session));
        ASSERT_EQ(PortButton()->text(), "Open CAN");
    }
    // The figures of the one identifier, once its frames came for `ms`
    // after `fromUs`.
    const k57::BusStatistics::Identifier* After(int64_t fromUs, int ms) {
        const k57::BusStatistics::Identifier* ident = nullptr;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                ident = form->statistics().identifiers().empty()
                            ? nullptr
                            : &form->statistics().identifiers()[0];
                return ident && ident->lastUs >= fromUs + ms * 1000;
            },
            30000));
        return ident;
    }
};

// A full bus in the plain build; the sanitizers slow the reading thread
// several times over, so a quarter of it there.
constexpr int kFullBus = k57::test::kSanitized ? 2000 : 8000;

// The window's own work (a slow paint, the window dragged about) may hold
// its thread for a moment; the channel is read all the same. The unit holds
// a second of frames for a reader that does not read, and the window's
// thread stalls for longer than that: a channel read there would lose
// lines, while the reading thread has a second of slack for a loaded
// machine to schedule it in.
TEST_F(CanCaptureWindowTest, AFullBusLosesNoLineWhileTheWindowIsBusy) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = kFullBus;
    options.canIdentifiers = 2000;
    options.canBufferFrames = kFullBus;
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    auto* frames = Child<QLabel>(*form, "MessageCounterLabel");
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->text().toInt() > kFullBus; }, 30000));
    for (int stall = 0; stall < 2; ++stall) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const int before = frames->text().toInt();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return frames->text().toInt() > before + kFullBus / 2; }, 30000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->text().toInt() > 5 * kFullBus; }, 60000));
    EXPECT_EQ(unit.droppedFrames(), 0);
    EXPECT_EQ(Child<QLabel>(*form, "UnicumCounterLabel")->text(), "2000");
    CloseChannel();
}

TEST_F(CanCaptureWindowTest, AfterCloseAndOpenAHundredAMessageReadsAHundredASecond) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 100;
    options.canIdentifiers = 1;
    Plug(5, options);
    Open();
    const k57::BusStatistics::Identifier* first = After(k57::CandumpNow(), 1500);
    ASSERT_TRUE(first);
    const uint64_t key = (uint64_t(first->extended) << 32) | first->id;
    CloseChannel();
    QTest::qWait(1500);  // a pause between two captures
    const int64_t reopened = k57::CandumpNow();
    Open();
    const k57::BusStatistics::Identifier* again = After(reopened, 1500);
    ASSERT_TRUE(again);
    EXPECT_EQ((uint64_t(again->extended) << 32) | again->id, key);
    EXPECT_LT(again->frames, 300u);
    // As the table writes it beside the row.
    const std::string text = k57::RateText(*again, true);
    EXPECT_NEAR(std::stod(text), 100.0, 10.0) << text;
    CloseChannel();
}

TEST_F(CanCaptureWindowTest, MarksNotSavedAreAskedForBeforeANewCaptureDropsThem) {
    k57::sim::UnitOptions options;
    options.canFramesPerSecond = 400;
    options.canIdentifiers = 4;
    options.canFlip = {0x100, false, 1, 3};
    k57::sim::Unit& unit = Plug(5, options);
    form->ShowHunt();
    auto* hunt = Child<TCanHuntForm>(*form, "CanHuntForm");
    auto* ranking = Child<QListWidget>(*hunt, "RankingList");
    Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->capture().Records().size() == 4; }, 30000));
    for (int m = 0; m < 2; ++m) {
        Child<QPushButton>(*hunt, "MarkButton")->click();
        unit.flipCanBit();
        // The flipped frame is in before the next mark: a hundred frames
        // more are a quarter of a second of all four identifiers.
        const size_t flipped = form->frames().size() + 100;
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->frames().size() >= flipped; }, 30000));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return ranking->count() > 0; }, 30000));
    CloseChannel();

    // Declined (as Enter does): nothing opens and the marks stay.
    PortButton()->click();
    ASSERT_TRUE(k57::test::Settle(session));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Отметки прошлой записи будут удалены. Продолжить?");
    EXPECT_EQ(dialogs.boxes[0].preferred, k57::Answer::No);
    EXPECT_EQ(PortButton()->text(), "Open CAN");
    EXPECT_GT(ranking->count(), 0);
    // The same for a recording opened in the hunt window.
    const std::string recorded = dir.path() + "/recorded.log";
    std::ofstream(recorded) << "(1700000000.000000) can0 7DF#00\n";
    dialogs.files.push_back(QString::fromStdString(recorded));
    Child<QPushButton>(*hunt, "OpenButton")->click();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].text, dialogs.boxes[0].text);
    EXPECT_EQ(form->capture().Records().size(), 4u);  // not the recording's one
    EXPECT_GT(ranking->count(), 0);

    // Agreed: a new capture with no marks and no ranking.
    dialogs.answers.push_back(k57::Answer::Yes);
    Open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ranking->count() == 0; }, 30000));
    QStringList counts;
    for (QLabel* label : hunt->findChildren<QLabel*>()) {
        if (label->text().startsWith("отметок:")) {
            counts << label->text();
        }
    }
    EXPECT_EQ(counts, QStringList{"отметок: 0"});
    CloseChannel();
    // Marks saved with the frames are not asked for again.
    Child<QPushButton>(*hunt, "MarkButton")->click();
    dialogs.files.push_back(QString::fromStdString(dir.path() + "/bus.log"));
    form->SaveFrames();
    Open();
    EXPECT_EQ(dialogs.boxes.size(), 3u);
    CloseChannel();

    // Showing the monitor again starts a new capture: closing it asks while
    // it can still be called off.
    Child<QPushButton>(*hunt, "MarkButton")->click();
    form->close();
    ASSERT_EQ(dialogs.boxes.size(), 4u);
    EXPECT_EQ(dialogs.boxes[3].text, dialogs.boxes[0].text);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->marks().size(), 1u);
    dialogs.answers.push_back(k57::Answer::Yes);
    form->close();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(CanCaptureWindowTest, DecodedValuesGoWithTheMonitorAndCountFromTheCapturesStart) {
    const std::string log = dir.path() + "/torque.log";
    {
        std::ofstream out(log);
        for (int i = 0; i < 50; ++i) {
            out << "(1690000000." << 100000 + i * 10000 << ") can0 108#0000000000006400\n";
        }
    }
    k57::sim::UnitOptions options;
    options.canLog = log;
    Plug(5, options);
    form->ShowSignals();
    auto* signalsForm = Child<TCanSignalsForm>(*form, "CanSignalsForm");
    dialogs.files.push_back(K57_DBC_DATA "/tesla_can.dbc");
    Child<QPushButton>(*signalsForm, "LoadButton")->click();
    auto* tree = Child<QTreeWidget>(*signalsForm, "SignalsTree");
    Open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tree->topLevelItemCount() == 1; }, 30000));
    QTreeWidgetItem* pedal = tree->topLevelItem(0)->child(0);
    for (int i = 0; i < tree->topLevelItem(0)->childCount(); ++i) {
        if (tree->topLevelItem(0)->child(i)->text(0) == "DI_pedalPos") {
            pedal = tree->topLevelItem(0)->child(i);
        }
    }
    pedal->setCheckState(0, Qt::Checked);
    const k57::PlotChannel& plotted = signalsForm->signalModel().plot().channels().at(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return plotted.size() > 2; }, 30000));
    // The axis counts from the opening: seconds, not the years since 1970.
    EXPECT_LT(plotted.Time(plotted.size() - 1), 600.0);
    EXPECT_GE(plotted.Time(0), 0.0);

    form->close();
    EXPECT_TRUE(signalsForm->signalModel().rows().empty());
    EXPECT_EQ(signalsForm->signalModel().plot().channels().at(0).size(), 0u);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

}  // namespace
