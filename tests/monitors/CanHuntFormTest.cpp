// The CAN monitor's companion for finding a signal: a recording opened into
// the window, its marks and ranking, the filter remembered, un-notching.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <fstream>

#include "CanHuntForm.h"
#include "CanMonitorWindow.h"
#include "PlotWidget.h"

namespace {

class CanHuntFormTest : public k57::test::CanMonitorWindow {
  protected:
    // A recording of 300 identifiers every 100 ms for 20 s; 0x1C3 byte 4
    // bit 1 flips 200 ms after each mark, and the marks lie beside it.
    std::string Recording() {
        std::string path = dir.path() + "/bus.log";
        std::ofstream log(path);
        for (int tick = 0; tick < 200; ++tick) {
            for (int k = 0; k < 300; ++k) {
                int ms = tick * 100 + k / 10;
                int flips = tick >= 52 ? 1 + (tick - 52) / 40 : 0;  // after 5.0, 9.0, 13.0 s
                bool door = k == 0x1C3 - 0x100 && std::min(flips, 3) % 2;
                char line[64];
                std::snprintf(line, sizeof line, "(1700000%03d.%06d) can0 %03X#00000000%02X\n",
                              ms / 1000, ms % 1000 * 1000, 0x100 + k, door ? 0x02 : 0);
                log << line;
            }
        }
        std::ofstream(path + ".marks")
            << "1700000005.0 дверь up\n1700000009.0 down\n1700000013.0 up\n";
        return path;
    }
};

TEST_F(CanHuntFormTest, ARecordingOpensIntoTheWindowAndItsMarkedBitRanksFirst) {
    form->ShowHunt();
    auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    ASSERT_TRUE(hunt);
    hunt->findChild<QComboBox*>("SpeedBox")->setCurrentIndex(2);  // at once
    dialogs.files.push_back(QString::fromStdString(Recording()));
    hunt->OpenButtonClick();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->frames().size() == 60000; }, 30000));
    EXPECT_EQ(form->capture().Records().size(), 300u);
    hunt->Refresh();
    auto* list = hunt->findChild<QListWidget*>("RankingList");
    ASSERT_GT(list->count(), 0);
    // On, off, on again: it toggles.
    EXPECT_TRUE(list->item(0)->text().startsWith("1C3 byte 4 bit 1  0↔1"))
        << list->item(0)->text().toStdString();

    // The recording's marks replace the list's, timed from its start.
    auto* marks = hunt->findChild<QTableWidget*>("MarksList");
    ASSERT_EQ(marks->rowCount(), 3);
    EXPECT_EQ(marks->item(0, 0)->text(), "5.000");
    EXPECT_EQ(marks->item(2, 0)->text(), "13.000");
    // The marks say how the door's value moved: the search by value finds
    // its one bit, and plots it over the recording.
    auto* search = hunt->findChild<QListWidget*>("SearchList");
    ASSERT_TRUE(search->isVisible());
    ASSERT_GT(search->count(), 0);
    EXPECT_TRUE(search->item(0)->text().startsWith(
        "1C3 start 33 length 1 little unsigned  score 1.00  3/3 marks"))
        << search->item(0)->text().toStdString();
    auto* plot = hunt->findChild<k57::PlotWidget*>("CandidatePlot");
    ASSERT_EQ(plot->data()->channels().size(), 1u);
    EXPECT_EQ(plot->data()->channels()[0].size(), 200u);
    EXPECT_EQ(plot->data()->marks().size(), 3u);

    // Clicking the candidate shows its row.
    auto* scroll = form->findChild<QScrollArea*>("ScrollBox1");
    int row = 0x1C3 - 0x100;
    // The display tick lays the table out: only then does the scroll box
    // reach the candidate's row.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return scroll->verticalScrollBar()->maximum() >= row * 36; }, 30000));
    scroll->verticalScrollBar()->setValue(0);
    emit list->itemClicked(list->item(0));
    EXPECT_GT(scroll->verticalScrollBar()->value(), (row - 30) * 36);
    EXPECT_LE(scroll->verticalScrollBar()->value(), row * 36);

    // A marked moment during playback lies on the recording's clock.
    hunt->MarkButtonClick();
    EXPECT_EQ(form->frames().size(), 60000u);
    EXPECT_EQ(hunt->findChild<QLineEdit*>("LabelEdit")->text(), "");
}

// A damaged binary recording names the byte where the damage starts, not
// a line it does not have.
TEST_F(CanHuntFormTest, ADamagedBinaryRecordingSaysAtWhichByte) {
    form->ShowHunt();
    auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    ASSERT_TRUE(hunt);
    std::string path = dir.path() + "/cut.blf";
    std::string header = "LOGG";
    header += std::string("\x90\0\0\0", 4);  // a header of 144 bytes
    header.resize(144, '\0');
    std::ofstream(path, std::ios::binary) << header << "LOBJ\x10";  // cut in an object
    dialogs.files.push_back(QString::fromStdString(path));
    hunt->OpenButtonClick();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains("Файл повреждён")) << dialogs.errors[0].toStdString();
    EXPECT_TRUE(dialogs.errors[0].contains("byte 144")) << dialogs.errors[0].toStdString();
    EXPECT_FALSE(dialogs.errors[0].contains("строка 0"));
}

// While watching the table: Space marks in the monitor and in the hunt
// window alike, a text field keeps its Space, and Enter in the label field
// places a labelled mark.
TEST_F(CanHuntFormTest, SpaceMarksInBothWindowsAndEnterMarksWithTheLabel) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->setFocus();
    QTest::keyClick(form.get(), Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->marks().size() == 1; }, 10000));

    form->ShowHunt();
    auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    hunt->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(hunt));
    auto* label = hunt->findChild<QLineEdit*>("LabelEdit");
    label->setFocus();
    QTest::keyClicks(label, "door");
    QTest::keyClick(label, Qt::Key_Space);
    EXPECT_EQ(label->text(), "door ");
    EXPECT_EQ(form->marks().size(), 1u);
    QTest::keyClicks(label, "left");
    QTest::keyClick(label, Qt::Key_Return);
    ASSERT_EQ(form->marks().size(), 2u);
    EXPECT_EQ(form->marks().marks()[1].label, "door left");
    EXPECT_EQ(label->text(), "");
    hunt->findChild<QComboBox*>("SpeedBox")->setFocus();
    QTest::keyClick(hunt->findChild<QComboBox*>("SpeedBox"), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->marks().size() == 3; }, 10000));
}

// The list of marks: what was placed, with its label and move; a mark
// deleted comes back with Ctrl+Z, and so does the last one placed go.
TEST_F(CanHuntFormTest, TheMarksAreListedAndDeletingAndPlacingAreUndone) {
    form->ShowHunt();
    auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    hunt->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(hunt));
    auto* label = hunt->findChild<QLineEdit*>("LabelEdit");
    auto* move = hunt->findChild<QComboBox*>("MoveBox");
    const char* labels[] = {"open", "close", "open"};
    for (int m = 0; m < 3; ++m) {
        label->setText(labels[m]);
        move->setCurrentIndex(m % 2 ? 2 : 1);  // up, down, up
        hunt->MarkButtonClick();
    }
    auto* list = hunt->findChild<QTableWidget*>("MarksList");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(1, 1)->text(), "close");
    EXPECT_EQ(list->item(1, 2)->text(), "вниз");
    EXPECT_EQ(list->item(2, 2)->text(), "вверх");
    EXPECT_EQ(form->marks().marks()[1].move, k57::CanMove::Down);

    list->selectRow(1);
    hunt->findChild<QPushButton*>("DeleteMarkButton")->click();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(1, 1)->text(), "open");
    list->setFocus();
    QTest::keySequence(hunt, QKeySequence::Undo);
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(1, 1)->text(), "close");
    EXPECT_EQ(form->marks().size(), 3u);
    hunt->findChild<QPushButton*>("UndoMarkButton")->click();  // the third mark's placing
    ASSERT_EQ(form->marks().size(), 2u);
    EXPECT_EQ(form->marks().marks()[1].label, "close");
    // A mark that says how the value moved brings the search by value.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return hunt->findChild<QListWidget*>("SearchList")->isVisible(); }, 10000));
}

TEST_F(CanHuntFormTest, TheFilterIsRememberedAndUnnotchingWatchesBitsAgain) {
    form->ShowHunt();
    auto* hunt = form->findChild<TCanHuntForm*>("CanHuntForm");
    auto* filter = hunt->findChild<QLineEdit*>("FilterEdit");
    filter->setText("+2C3 -18DA00F1");
    hunt->FilterEditReturn();
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, "k57tool", "k57tool").value("CanMonitor/filter").toString(), "+2C3 -18DA00F1");
    filter->setText("+800");
    hunt->FilterEditReturn();  // refused: the last good one stays
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, "k57tool", "k57tool").value("CanMonitor/filter").toString(), "+2C3 -18DA00F1");

    CanRecord frame;
    frame.id = 0x2C3;
    frame.dlc = 8;
    form->capture().HandleFrame(frame, k57::FilterMode::Bit, false);
    frame.data[0] = 0x81;
    form->capture().HandleFrame(frame, k57::FilterMode::Bit, false);
    ASSERT_EQ(form->capture().Records()[0].mask[0], 0x7E);
    hunt->findChild<QLineEdit*>("RowEdit")->setText("2C3");
    hunt->UnnotchRowClick();
    EXPECT_EQ(form->capture().Records()[0].mask[0], 0xFF);
    frame.data[0] = 0;
    form->capture().HandleFrame(frame, k57::FilterMode::Bit, false);
    hunt->UnnotchAllClick();
    EXPECT_EQ(form->capture().Records()[0].mask[0], 0xFF);

    // A new window of the next run starts with it.
    TCanMonitorForm again(session);
    again.ShowHunt();
    auto* next = again.findChild<TCanHuntForm*>("CanHuntForm");
    EXPECT_EQ(next->findChild<QLineEdit*>("FilterEdit")->text(), "+2C3 -18DA00F1");
}

}  // namespace
