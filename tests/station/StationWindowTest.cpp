// The station window with simulated units on pseudo-terminals: the plan
// checked without touching a unit, two units written from their rows at
// once on two ports while a third, with no row, is turned away untouched,
// and the window closed while the station runs.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "BatchStationForm.h"
#include "FileInFolder.h"
#include "MainForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "SimulatedUnits.h"

namespace k57::test {
namespace {

using State = StationRow::State;

class StationWindowTest : public SimulatedUnits {
  protected:
    QString Write(const char* name, const QByteArray& text) {
        return WriteFileIn(files_, name, text);
    }
    sim::Unit& PlugUnit(int com, uint32_t serial) {
        sim::UnitOptions options;
        options.serial = serial;
        options.settings = "MicLevel=3\n";
        return Plug(com, options);
    }
    void Choose(const QString& templ, const QString& values, const QString& ports) {
        form_.findChild<QLineEdit*>("TemplateEdit")->setText(templ);
        form_.findChild<QLineEdit*>("ValuesEdit")->setText(values);
        form_.findChild<QLineEdit*>("PortsEdit")->setText(ports);
    }
    bool Await(const std::function<bool()>& done) {
        return WaitUntil(
            [&] {
                QCoreApplication::processEvents();
                return done();
            },
            60000);
    }
    QString Text(const char* name) const { return form_.findChild<QLabel*>(name)->text(); }

    TempDir files_;
    ScriptedDialogs dialogs_;
    TBatchStationForm form_{dialogs_};
};

TEST_F(StationWindowTest, CheckListsEveryProblemByRowAndColumnAndTouchesNoUnit) {
    sim::Unit& unit = PlugUnit(5, 1001);
    Choose(Write("template.txt", "MicLevel=10\r\nMicLevel=99\r\n"),
           Write("values.csv", "serial,UserNumber1\r\n1001,+79990000001\r\n1002,899900000002\r\n"),
           "COM5");
    EXPECT_FALSE(form_.Check());
    const QString problems = form_.findChild<QPlainTextEdit*>("ProblemList")->toPlainText();
    EXPECT_TRUE(problems.contains("template.txt: строка 2, MicLevel: 99 - многовато будет."))
        << problems.toStdString();
    EXPECT_TRUE(problems.contains(
        "values.csv: строка 3, столбец 2 (UserNumber1): 899900000002 - номер телефона: + и цифры"))
        << problems.toStdString();
    // Starting checks first, and does not start.
    form_.findChild<QPushButton*>("StartButton")->click();
    EXPECT_FALSE(form_.running());
    EXPECT_TRUE(unit.requests().empty());

    Write("template.txt", "MicLevel=10\r\n");
    Write("values.csv", "serial,UserNumber1\r\n1001,+79990000001\r\n");
    EXPECT_TRUE(form_.Check());
    EXPECT_EQ(form_.findChild<QPlainTextEdit*>("ProblemList")->toPlainText(),
              "Ошибок нет: блоков в файле значений: 1, своих параметров: 1.");
    EXPECT_TRUE(unit.requests().empty());
}

TEST_F(StationWindowTest, TwoUnitsAreWrittenFromTheirRowsAndOneWithoutARowIsLeftAlone) {
    sim::Unit& first = PlugUnit(5, 1001);
    sim::Unit& second = PlugUnit(6, 1002);
    sim::Unit& stranger = PlugUnit(7, 4242);
    Choose(
        Write("template.txt", "MicLevel=10\r\nNoteKick=5\r\n"),
        Write("values.csv",
              "serial,UserNumber1,PinCod\r\n1001,+79990000001,1234\r\n1002,+79990000002,4321\r\n"),
        "COM5, COM6 COM7");
    form_.SetPollInterval(std::chrono::milliseconds(50));
    form_.show();
    form_.findChild<QPushButton*>("StartButton")->click();
    ASSERT_TRUE(form_.running()) << dialogs_.errors.join('\n').toStdString();
    EXPECT_FALSE(form_.findChild<QPushButton*>("StartButton")->isEnabled());

    const auto& rows = form_.board().rows();
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_TRUE(Await([&] {
        return rows[0].state == State::Done && rows[1].state == State::Done &&
               rows[2].state == State::Skipped && Text("CountsLabel").startsWith("Готово: 2");
    })) << rows[0].Headline().toStdString()
        << " / " << rows[1].Headline().toStdString() << " / " << rows[2].Headline().toStdString();
    EXPECT_EQ(Text("CountsLabel"), "Готово: 2  Ошибок: 0  Пропущено: 1  Осталось: 0");
    EXPECT_EQ(rows[0].Headline(), "1001: готово (строка 2)");
    EXPECT_TRUE(rows[2].Headline().startsWith("4242: пропущен — "))
        << rows[2].Headline().toStdString();
    EXPECT_TRUE(rows[2].Advice().startsWith("Блок не тронут")) << rows[2].Advice().toStdString();

    for (auto [unit, number, pin] : {std::tuple{&first, "+79990000001", "1234"},
                                     std::tuple{&second, "+79990000002", "4321"}}) {
        const std::string settings = unit->settings();
        EXPECT_NE(settings.find("MicLevel=10"), std::string::npos) << settings;
        EXPECT_NE(settings.find(std::string("UserNumber1=") + number), std::string::npos)
            << settings;
        EXPECT_NE(settings.find(std::string("PinCod=") + pin), std::string::npos) << settings;
    }
    EXPECT_EQ(stranger.settingsWrites(), 0);
    EXPECT_EQ(stranger.settings(), "MicLevel=3\n");

    // A finished unit's certificate, where the user says.
    const QString certificate = QString::fromStdString(files_.path()) + "/1001.pdf";
    dialogs_.files.push_back(certificate);
    auto buttons = form_.findChildren<QPushButton*>("CertificateButton");
    ASSERT_EQ(buttons.size(), 3);
    ASSERT_TRUE(buttons[0]->isVisible());
    EXPECT_FALSE(buttons[2]->isVisible());
    buttons[0]->click();
    QFile pdf(certificate);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << dialogs_.errors.join('\n').toStdString();
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    ASSERT_EQ(dialogs_.suggestions.size(), 1);
    EXPECT_TRUE(dialogs_.suggestions[0].startsWith("K57-1001-"))
        << dialogs_.suggestions[0].toStdString();

    // Closed while running: the station stops, then the window goes.
    form_.close();
    EXPECT_TRUE(form_.isVisible());
    ASSERT_TRUE(Await([&] { return !form_.running() && !form_.isVisible(); }));
    EXPECT_TRUE(dialogs_.errors.isEmpty()) << dialogs_.errors.join('\n').toStdString();
}

// The main window opens the station once, and shows the same window again.
// "Порты…" offers the ports with a unit behind them and ticks them into the
// field; the button holds its text and its menu's arrow side by side.
TEST_F(StationWindowTest, ThePortsButtonOffersPluggedPortsAndShowsItsTextWhole) {
    PlugUnit(7, 1001);
    Choose({}, {}, "COM5");
    auto* offer = form_.findChild<QAbstractButton*>("PortsOffer");
    ASSERT_TRUE(offer);
    QMenu* menu = offer->findChild<QMenu*>();
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QStringList offered;
    for (QAction* action : menu->actions()) {
        offered << action->text();
    }
    EXPECT_EQ(offered, (QStringList{"COM5", "COM7"}));  // the chosen one stays, ticked
    menu->actions().at(1)->setChecked(true);
    EXPECT_EQ(form_.findChild<QLineEdit*>("PortsEdit")->text(), "COM5, COM7");
    menu->actions().at(0)->setChecked(false);
    EXPECT_EQ(form_.findChild<QLineEdit*>("PortsEdit")->text(), "COM7");

    form_.show();
    QCoreApplication::processEvents();
    const int arrow = offer->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, offer);
    EXPECT_GE(offer->width(), offer->fontMetrics().horizontalAdvance(offer->text()) + arrow + 8)
        << offer->width() << " for its text and arrow";
}

TEST_F(StationWindowTest, TheMainWindowOpensTheStationOnce) {
    TMainForm main(dialogs_, QuickSessions());
    main.ShowStation();
    auto stations = main.findChildren<TBatchStationForm*>();
    ASSERT_EQ(stations.size(), 1);
    EXPECT_TRUE(stations[0]->isVisible());
    EXPECT_EQ(stations[0]->windowTitle(), "Программирование партии");
    EXPECT_TRUE(stations[0]->isWindow());
    stations[0]->close();
    main.ShowStation();
    EXPECT_EQ(main.findChildren<TBatchStationForm*>().size(), 1);
    EXPECT_TRUE(stations[0]->isVisible());
}

}  // namespace
}  // namespace k57::test
