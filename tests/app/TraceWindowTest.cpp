// The main window's trace view and support report against the simulated unit.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "Journal.h"
#include "MainForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "TraceDump.h"
#include "TraceForm.h"
#include "WindowProbe.h"

using k57::test::Child;

namespace {

class TraceWindowTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::Trace::Global().Clear();
        k57::Trace::Global().SetOn(true);
    }
    void TearDown() override {
        k57::Trace::Global().SetOn(false);
        k57::Trace::Global().SetRevealPrivate(false);
        k57::Trace::Global().Clear();
        qunsetenv("K57_DATA_DIR");
    }

    void Click(TMainForm& form, const char* button) {
        Child<QPushButton>(form, button)->click();
        ASSERT_TRUE(k57::test::Settle(form.Device()));
    }

    k57::test::ScriptedDialogs dialogs;
    k57::test::TempDir dir;
};

TEST_F(TraceWindowTest, TheReportHoldsTheUnitTheTraceTheLogAndTheJournal) {
    qputenv("K57_DATA_DIR", QByteArray::fromStdString(dir.path()));
    {
        k57::Journal journal;
        k57::JournalEntry entry;
        entry.serial = 12345678;
        entry.operation = k57::JournalOperation::FirmwareUpdate;
        entry.port = "COM5";
        entry.before = "PinCod=7395\n";
        ASSERT_GT(journal.Record(entry), 0);
    }
    k57::sim::UnitOptions options;
    options.settings = "PinCod=7395\nUserNumber1=+79165550142\n";
    Plug(5, options);
    TMainForm form(dialogs, k57::test::QuickSessions());
    Click(form, "GetSerialButton");
    Click(form, "GetVersionButton");
    EXPECT_EQ(form.unitIdentity().serial, 12345678u);
    // The settings pass the link, masked in the trace and so in the report.
    std::string settings;
    form.Device().Submit(&form, [&](DeviceInterface& d) { return d.ReadSettings(settings); }, {});
    ASSERT_TRUE(k57::test::Settle(form.Device()));
    ASSERT_EQ(settings, options.settings);

    QString path = QString::fromStdString(dir.path()) + "/report.txt";
    dialogs.files = {path};
    form.SaveSupportReport();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::string report = file.readAll().toStdString();
    for (const char* part :
         {"k57tool ", "Qt: ", "COM5, 9600 bit/s, 8 data bits, no parity, 1 stop bit",
          "Serial number: 12345678", "Version: K57BT 000.008 May 12 2017 09:30:00",
          "TX  ReqIdInfoMessage (10)", "RX  TextMessage (150)", "RX  SettingsMessage (201)",
          "Серийный номер устройства 12345678", "firmware update"}) {
        EXPECT_NE(report.find(part), std::string::npos) << part << " missing from\n" << report;
    }
    EXPECT_EQ(report.find("7395"), std::string::npos) << report;
    EXPECT_EQ(report.find("916555"), std::string::npos) << report;
}

TEST_F(TraceWindowTest, TheViewFollowsPausesSearchesAndClears) {
    Plug(5);
    TMainForm form(dialogs, k57::test::QuickSessions());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    auto* trace = form.findChild<TTraceForm*>("TraceForm");
    ASSERT_NE(trace, nullptr);
    ASSERT_TRUE(trace->isVisible());
    auto* view = Child<QPlainTextEdit>(*trace, "TraceView");

    Click(form, "GetSerialButton");
    trace->Follow();
    EXPECT_TRUE(view->toPlainText().contains("RX  IdInfoMessage (11)  12 bytes  ReplyOk (1)"));

    trace->SetPaused(true);
    const QString before = view->toPlainText();
    const QString version = "RX  TextMessage (150)";
    Click(form, "GetVersionButton");
    trace->Follow();
    EXPECT_EQ(view->toPlainText(), before);
    trace->SetPaused(false);  // what came meanwhile shows now
    EXPECT_GT(view->toPlainText().count(version), before.count(version));

    Child<QLineEdit>(*trace, "TraceSearch")->setText("TextMessage");
    EXPECT_TRUE(trace->FindNext());
    EXPECT_EQ(view->textCursor().selectedText(), "TextMessage");
    Child<QLineEdit>(*trace, "TraceSearch")->setText("no such thing");
    EXPECT_FALSE(trace->FindNext());

    Child<QPushButton>(*trace, "TraceClear")->click();
    EXPECT_TRUE(view->toPlainText().isEmpty());
    EXPECT_TRUE(k57::Trace::Global().Entries().empty());
}

TEST_F(TraceWindowTest, TheViewShowsThePinAndNumbersOnlyWhenAsked) {
    k57::sim::UnitOptions options;
    options.settings = "PinCod=7395\nUserNumber1=+79165550142\n";
    Plug(5, options);
    TMainForm form(dialogs, k57::test::QuickSessions());
    form.ShowTrace();
    auto* trace = form.findChild<TTraceForm*>("TraceForm");
    ASSERT_NE(trace, nullptr);
    auto* view = Child<QPlainTextEdit>(*trace, "TraceView");
    auto* reveal = Child<QCheckBox>(*trace, "TraceReveal");
    auto readSettings = [&] {
        std::string settings;
        form.Device().Submit(&form, [&](DeviceInterface& d) { return d.ReadSettings(settings); }, {});
        ASSERT_TRUE(k57::test::Settle(form.Device()));
        ASSERT_EQ(settings, options.settings);
        trace->Follow();
    };

    ASSERT_FALSE(reveal->isChecked());
    readSettings();
    std::string shown = k57::test::DumpedBytes(view->toPlainText().toStdString());
    EXPECT_NE(shown.find("PinCod=****\nUserNumber1=**********42"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("7395"), std::string::npos) << shown;

    reveal->setChecked(true);
    readSettings();
    shown = k57::test::DumpedBytes(view->toPlainText().toStdString());
    EXPECT_NE(shown.find(options.settings), std::string::npos) << shown;
}

}  // namespace
