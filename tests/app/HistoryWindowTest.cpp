// The journal window as a technician reads it: entries another connection
// records show while it is open, the unit list shows whole serials and
// types, a write says what it changed, and "Показать PIN" keeps what the
// pane shows. (What an update, its reset and a restore say is told with
// the update's own test, in JournalWindowTest.)

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

#include "HistoryForm.h"
#include "Journal.h"
#include "MainForm.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

using k57::JournalEntry;
using k57::JournalOperation;

namespace {

// Generous: a busy machine runs the other tests meanwhile.
constexpr int kWaitMs = 30000;

const char kHistoryUnitSettings[] = "MicLevel=10\nPinCod=1234\n";

class HistoryWindowTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // The window's journal is the default one; `other` is another
    // connection to the same file, as k57ctl or another window is.
    static long long Record(k57::Journal& journal, uint32_t serial, JournalOperation operation,
                            std::optional<std::string> after = std::nullopt,
                            const std::string& unitType = "K57BT") {
        JournalEntry entry;
        entry.serial = serial;
        entry.unitType = unitType;
        entry.firmware = "000.008";
        entry.operation = operation;
        entry.port = "COM5";
        entry.after = std::move(after);
        return journal.Record(entry);
    }
    void OpenMain() { form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions()); }
    std::unique_ptr<THistoryForm> OpenHistory() {
        auto history =
            std::make_unique<THistoryForm>(form->guardedChange(), dialogs, form->parameterList());
        units = history->findChild<QListWidget*>("UnitList");
        timeline = history->findChild<QTreeWidget*>("Timeline");
        return history;
    }
    void Choose(int row) {
        timeline->clearSelection();
        timeline->topLevelItem(row)->setSelected(true);
    }
    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    QListWidget* units = nullptr;
    QTreeWidget* timeline = nullptr;
};

TEST_F(HistoryWindowTest, WhatAnotherConnectionRecordsShowsWithTheUnitAndEntryKept) {
    {
        k57::Journal journal;
        Record(journal, 501, JournalOperation::ReadSettings, std::string(kHistoryUnitSettings));
        Record(journal, 502, JournalOperation::Identify);
    }
    OpenMain();
    auto history = OpenHistory();
    ASSERT_EQ(units->count(), 2);
    // By its serial: two units recorded within one millisecond may come in
    // either order.
    for (int row = 0; row < units->count(); ++row) {
        if (units->item(row)->data(Qt::UserRole).toLongLong() == 501) {
            units->setCurrentRow(row);
        }
    }
    ASSERT_EQ(units->currentItem()->data(Qt::UserRole).toLongLong(), 501);
    Choose(0);
    ASSERT_EQ(history->shownText(), "MicLevel=10\nPinCod=****\n");

    k57::Journal other;
    ASSERT_NE(Record(other, 501, JournalOperation::Identify), 0);
    ASSERT_NE(Record(other, 503, JournalOperation::Identify), 0);
    // A reload may come between the two records: both are waited for.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return timeline->topLevelItemCount() == 2 && units->count() == 3; }, kWaitMs))
        << units->count() << " units";
    EXPECT_EQ(units->currentItem()->data(Qt::UserRole).toLongLong(), 501);
    EXPECT_FALSE(timeline->topLevelItem(0)->isSelected());
    EXPECT_TRUE(timeline->topLevelItem(1)->isSelected());
    EXPECT_EQ(history->shownText(), "MicLevel=10\nPinCod=****\n");
}

// As wide as its longest line: whole when a type is long, and no wider
// when every line is short, so the timeline gets the rest.
TEST_F(HistoryWindowTest, TheUnitListIsAsWideAsItsLongestSerialAndType) {
    const std::string longType = "K57BT-GSM-CAN-PRO-2 (rev. B, 2 SIM)";
    for (bool longLine : {false, true}) {
        SCOPED_TRACE(longLine ? "a long type" : "short lines");
        {
            k57::Journal journal;
            Record(journal, longLine ? 4000000001u : 12345678, JournalOperation::Identify,
                   std::nullopt, longLine ? longType : "K57BT");
            Record(journal, 87654321, JournalOperation::Identify);
        }  // short lines first: the long type joins them after
        OpenMain();
        auto history = OpenHistory();
        history->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(history.get()));
        auto* splitter = history->findChild<QSplitter*>();
        ASSERT_TRUE(splitter);
        ASSERT_EQ(splitter->count(), 2);
        EXPECT_TRUE(splitter->widget(0)->isAncestorOf(units));
        int widest = 0;
        for (int row = 0; row < units->count(); ++row) {
            widest =
                std::max(widest, units->fontMetrics().horizontalAdvance(units->item(row)->text()));
        }
        EXPECT_GE(units->viewport()->width(), widest + 6)
            << units->viewport()->width() << " for " << widest;
        int least = splitter->widget(0)->minimumSizeHint().width();
        EXPECT_LE(splitter->widget(0)->width(),
                  std::max(least, widest + 40 + units->verticalScrollBar()->sizeHint().width()))
            << units->viewport()->width() << " for " << widest;
        // The divider moves: the list gives its room up to the timeline.
        int timelineWidth = timeline->width();
        splitter->setSizes({50, splitter->width() - 50});
        EXPECT_GT(timeline->width(), timelineWidth);
    }
}

// The window's own flow: the editor's write after its backup.
TEST_F(HistoryWindowTest, AWriteShowsWhatItChangedAndPinKeepsAComparison) {
    k57::sim::UnitOptions options;
    options.settings = kHistoryUnitSettings;
    Plug(5, options);
    OpenMain();
    TParametersEditForm editor(dialogs, form->Device());
    form->SetEditor(&editor);
    editor.parameters = &form->parameterList();
    dialogs.answers = {k57::Answer::Ok};
    form->parameterList().SetValuesFromText("MicLevel=3\nPinCod=1234\n");
    editor.SendActionExecute();
    ASSERT_TRUE(k57::test::Settle(form->Device()));

    auto history = OpenHistory();
    ASSERT_EQ(timeline->topLevelItemCount(), 2);
    Choose(0);  // the write, newest
    QString shown = history->shownText();
    EXPECT_TRUE(shown.startsWith("Изменения относительно настроек от " +
                                 timeline->topLevelItem(1)->text(0) + ":\n" +
                                 "Чувствительность микрофона (MicLevel): 10 -> 3\n"))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains("PinCod): "));  // the PIN was written as it was
    EXPECT_TRUE(shown.endsWith("Записанные настройки:\nPinCod=****\nMicLevel=3\n"))
        << shown.toStdString();

    auto* reveal = history->findChild<QCheckBox*>("RevealBox");
    reveal->setChecked(true);
    EXPECT_TRUE(history->shownText().endsWith("PinCod=1234\nMicLevel=3\n"));
    reveal->setChecked(false);

    // Two entries compared: revealing the PIN keeps the comparison.
    timeline->topLevelItem(1)->setSelected(true);
    history->CompareButtonClick();
    const QString compared = "Чувствительность микрофона (MicLevel): 10 -> 3";
    ASSERT_EQ(history->shownText(), compared);
    reveal->setChecked(true);
    EXPECT_EQ(history->shownText(), compared);
    reveal->setChecked(false);
    EXPECT_EQ(history->shownText(), compared);
}

}  // namespace
