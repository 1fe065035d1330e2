#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "CanSignalsForm.h"
#include "DiagnosticForm.h"
#include "DiagnosticPlotForm.h"
#include "PlotWidget.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "SimulatedUnits.h"
#include "TempDir.h"
#include "WindowProbe.h"

namespace {

using k57::test::Child;

// --- the CAN signals window --------------------------------------------------

class CanSignalsFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetDialogs(&dialogs);
        form.show();
    }

    void Load(const std::string& path, int encoding = 0) {
        Child<QComboBox>(form, "EncodingList")->setCurrentIndex(encoding);
        dialogs.files.push_back(QString::fromStdString(path));
        Child<QPushButton>(form, "LoadButton")->click();
    }
    void Frame(uint32_t id, std::initializer_list<uint8_t> bytes, int64_t us) {
        CanRecord frame;
        frame.id = id;
        frame.dlc = uint8_t(bytes.size());
        std::copy(bytes.begin(), bytes.end(), frame.data);
        log.Add(frame, us);
    }
    QTreeWidgetItem* SignalItem(QTreeWidgetItem* message, const QString& name) {
        for (int i = 0; i < message->childCount(); ++i) {
            if (message->child(i)->text(0) == name) {
                return message->child(i);
            }
        }
        ADD_FAILURE() << name.toStdString();
        return nullptr;
    }

    k57::CanFrameLog log;
    k57::test::ScriptedDialogs dialogs;
    TCanSignalsForm form{log};
};

TEST_F(CanSignalsFormTest, ShowsAKnownSignalWithUnitValueTextAndBitsAndPlotsItWhenTicked) {
    Load(K57_DBC_DATA "/tesla_can.dbc");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(Child<QLabel>(form, "FilesLabel")->text(), "tesla_can.dbc");
    // DI_torque1 (0x108): DI_pedalPos is byte 6 × 0.4 %, DI_soptState
    // bits 29-31 with its value table.
    Frame(0x108, {0, 0, 0, 0x60, 0, 0, 100, 0}, 1'000'000);
    Frame(0x123, {1, 2}, 1'000'100);  // no database knows it
    form.RefreshTimer();

    auto* tree = Child<QTreeWidget>(form, "SignalsTree");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* message = tree->topLevelItem(0);
    EXPECT_EQ(message->text(0), "108  DI_torque1");
    EXPECT_EQ(message->text(4).left(8 * 4 + 3),
              "00000000 00000000 00000000 01100000");
    QTreeWidgetItem* pedal = SignalItem(message, "DI_pedalPos");
    ASSERT_TRUE(pedal);
    EXPECT_EQ(pedal->text(1), "40");
    EXPECT_EQ(pedal->text(2), "%");
    EXPECT_EQ(pedal->text(4),
              "........ ........ ........ ........ ........ ........ 01100100 ........");
    QTreeWidgetItem* state = SignalItem(message, "DI_soptState");
    EXPECT_EQ(state->text(1), "3");
    EXPECT_EQ(state->text(3), "SOPT_TEST_PASSED");

    pedal->setCheckState(0, Qt::Checked);
    Frame(0x108, {0, 0, 0, 0, 0, 0, 50, 0}, 1'250'000);
    form.RefreshTimer();
    EXPECT_EQ(pedal->text(1), "20");
    EXPECT_EQ(state->text(3), "SOPT_PRE_TEST");
    const k57::PlotData& plot = form.signalModel().plot();
    ASSERT_EQ(plot.channels().size(), 1u);
    EXPECT_EQ(plot.channels()[0].name(), "DI_pedalPos");
    ASSERT_EQ(plot.channels()[0].size(), 1u);  // from the tick on
    EXPECT_EQ(plot.channels()[0].Value(0), 20);
    EXPECT_EQ(form.plot()->data(), &plot);

    Child<QPushButton>(form, "UnloadButton")->click();
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(form.signalModel().plot().channels().empty());
}

TEST_F(CanSignalsFormTest, LoadErrorsAreReportedWithFileAndLineAndNeverEndTheWindow) {
    k57::test::TempDir dir;
    const std::string path = dir.path() + "/broken.dbc";
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BO_ 256 Engine: 8 ECU\n SG_ Rpm : 0|16@1+ (0.25,0) [0|16000] \"rpm\" X\n"
               " SG_ Broken : 99|banana\nBO_ banana\n");
    file.close();
    Load(path, 2);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QString::fromStdString(path) + ":3: "))
        << dialogs.errors[0].toStdString();
    Frame(0x100, {0, 0x10}, 1);
    form.RefreshTimer();
    EXPECT_EQ(Child<QTreeWidget>(form, "SignalsTree")->topLevelItemCount(), 1);

    Load(dir.path() + "/missing.dbc");
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[1].contains("missing.dbc")) << dialogs.errors[1].toStdString();
    EXPECT_EQ(form.signalModel().files().size(), 1u);
}

// --- the motion sensor's plot ------------------------------------------------

class DiagnosticPlotTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
    }
    QString Path(const char* name) { return QString::fromStdString(dir.path() + "/" + name); }

    k57::DeviceSession session{k57::test::QuickSessions()};
    k57::test::ScriptedDialogs dialogs;
    k57::test::TempDir dir;
};

TEST_F(DiagnosticPlotTest, TheButtonOpensAPlotOfTheReadingsThatRecordsAndOpensASession) {
    k57::sim::UnitOptions options;
    options.diagnosticMotion = true;
    options.diagnosticPeriodMs = 5;
    Plug(5, options);
    TDiagnosticForm form(session);
    form.SetDialogs(&dialogs);
    form.show();
    Child<QPushButton>(form, "PlotButton")->click();
    auto* plotForm = form.findChild<TDiagnosticPlotForm*>("DiagnosticPlotForm");
    ASSERT_TRUE(plotForm);
    EXPECT_TRUE(plotForm->isVisible());
    // The memo and labels stay where they are; the button is beside them.
    EXPECT_EQ(Child<QWidget>(form, "Memo1")->geometry(), QRect(0, 96, 408, 385));

    dialogs.files.push_back(Path("session.csv"));
    Child<QPushButton>(*plotForm, "RecordButton")->click();
    EXPECT_EQ(Child<QPushButton>(*plotForm, "RecordButton")->text(), "Остановить запись");
    const k57::PlotData& live = form.trace().data();
    ASSERT_TRUE(QTest::qWaitFor([&] { return live.channels()[2].size() >= 40; }, 30000));
    Child<QPushButton>(*plotForm, "RecordButton")->click();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_NEAR(live.channels()[2].Value(0), 980, 20);

    // The picture: a PNG of the plot as shown.
    QString pngError;
    ASSERT_TRUE(plotForm->plot()->ExportPng(Path("plot.png"), pngError)) << pngError.toStdString();
    EXPECT_EQ(QImage(Path("plot.png")).size(), plotForm->plot()->size());

    const size_t recorded = live.channels()[2].size();
    dialogs.files.push_back(Path("session.csv"));
    Child<QPushButton>(*plotForm, "OpenButton")->click();
    ASSERT_TRUE(plotForm->ShowingFile()) << dialogs.errors.join('\n').toStdString();
    const k57::PlotData* opened = plotForm->plot()->data();
    ASSERT_NE(opened, &live);
    // Recording began after the first readings and stopped before the last.
    EXPECT_LE(opened->channels()[2].size(), recorded);
    EXPECT_GE(opened->channels()[2].size(), 30u);
    EXPECT_TRUE(plotForm->plot()->paused());

    Child<QPushButton>(*plotForm, "LiveButton")->click();
    EXPECT_EQ(plotForm->plot()->data(), &live);
    EXPECT_FALSE(plotForm->plot()->paused());
    form.close();
    EXPECT_FALSE(plotForm->isVisible());
}

// --- the plot widget ---------------------------------------------------------

TEST(PlotWidget, ZoomPanPauseAndScaleWorkOnTheTimeAndValueAxes) {
    k57::PlotData data;
    data.AddChannel("X", "g", 1024);
    for (int i = 0; i <= 300; ++i) {
        data.Add(0, i * 0.1, i % 10);  // 30 s of a sawtooth from 0 to 9
    }
    k57::PlotWidget plot;
    plot.SetData(&data);
    plot.resize(600, 300);
    plot.show();
    QImage image(plot.size(), QImage::Format_RGB32);
    auto paint = [&] {
        QPainter painter(&image);
        plot.Paint(painter, image.rect());
    };
    double from, to;
    plot.TimeWindow(from, to);  // live: the newest at the right edge
    EXPECT_DOUBLE_EQ(to, 30);
    EXPECT_DOUBLE_EQ(from, 20);
    paint();
    EXPECT_LT(plot.scaleLow(), 0);  // autoscale with a little room
    EXPECT_GT(plot.scaleHigh(), 9);

    QTest::keyClick(&plot, Qt::Key_Space);  // pause: new samples do not move it
    EXPECT_TRUE(plot.paused());
    data.Add(0, 40, 100);
    plot.TimeWindow(from, to);
    EXPECT_DOUBLE_EQ(to, 30);

    QTest::keyClick(&plot, Qt::Key_Plus);  // zoom in on the time axis
    EXPECT_LT(plot.span(), 10);
    QTest::mousePress(&plot, Qt::LeftButton, {}, QPoint(300, 150));  // pan
    QTest::mouseMove(&plot, QPoint(400, 150));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, QPoint(400, 150));
    double panned;
    plot.TimeWindow(from, panned);
    EXPECT_LT(panned, 30);

    plot.SetFixedScale(-5, 5);
    paint();
    EXPECT_EQ(plot.scaleLow(), -5);
    EXPECT_EQ(plot.scaleHigh(), 5);
    plot.ShowAll();
    plot.TimeWindow(from, to);
    EXPECT_DOUBLE_EQ(from, 0);
    EXPECT_DOUBLE_EQ(to, 40);
    QTest::keyClick(&plot, Qt::Key_End);  // live again
    EXPECT_FALSE(plot.paused());
}

}  // namespace
