#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "MainForm.h"
#include "VCOM_Port.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

using Fault = k57::sim::UnitOptions::Fault;

namespace {

using k57::test::Child;
using k57::test::LogLines;

class MainFormTest : public k57::test::SimulatedUnits {
  protected:
    std::unique_ptr<TMainForm> Open() {
        auto form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
        return form;
    }

    k57::test::ScriptedDialogs dialogs;
};

TEST_F(MainFormTest, ShowsTheEmbeddedImageAndTheDefaultPort) {
    auto form = Open();
    EXPECT_EQ(form->windowTitle(), "K57BT     Версия: 000.009");
    EXPECT_EQ(Child<QPushButton>(*form, "BlowUpdateButton")->text(),
              "Обновить прошивку до 000.009");
    EXPECT_EQ(Child<QPushButton>(*form, "WaveUpdateButton")->text(), "Обновить звук до 677857");
    EXPECT_TRUE(LogLines(*form).isEmpty());

    auto* ports = Child<QComboBox>(*form, "PortComboBox");
    ASSERT_EQ(ports->count(), 254);
    EXPECT_EQ(ports->itemText(0), "COM2");
    EXPECT_EQ(ports->itemText(253), "COM255");
    EXPECT_EQ(ports->currentText(), "COM5");
    EXPECT_EQ(k57::StoredPort::Read(), "COM5");
    EXPECT_TRUE(form->parameterList().loadError().empty());
    EXPECT_EQ(form->parameterList().ParameterCount(), 28);

    // The program's icon, at the sizes window systems ask for.
    QList<QSize> sizes = form->windowIcon().availableSizes();
    for (int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
    EXPECT_EQ(form->windowIcon().pixmap(32).toImage().pixelColor(12, 16).alpha(), 255);
}

TEST_F(MainFormTest, AFreshInstallationTalksToComFiveAtOnce) {
    k57::sim::UnitOptions options;
    options.serial = 4294967295u;
    Plug(5, options);
    auto form = Open();
    Child<QPushButton>(*form, "GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(LogLines(*form), QStringList{"Серийный номер устройства 4294967295"});
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainFormTest, AStoredPortOutsideTheListSelectsNothingButIsUsed) {
    Plug(1);
    k57::StoredPort::Write("COM1");
    auto form = Open();
    auto* ports = Child<QComboBox>(*form, "PortComboBox");
    EXPECT_EQ(ports->currentIndex(), -1);
    EXPECT_EQ(ports->currentText(), "");
    Child<QPushButton>(*form, "GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(LogLines(*form), QStringList{"Серийный номер устройства 12345678"});
}

TEST_F(MainFormTest, EveryChangeOfThePortTextIsStoredAndGetsANewSession) {
    auto form = Open();
    auto* ports = Child<QComboBox>(*form, "PortComboBox");
    ports->setFocus();
    ports->lineEdit()->selectAll();
    QTest::keyClick(ports, Qt::Key_Backspace);
    EXPECT_EQ(k57::StoredPort::Read(), "");

    QStringList stored;
    int replaced = 0;
    for (const char* key : {"C", "O", "M", "1", "2"}) {
        DeviceInterface* before = form->Device().get();
        QTest::keyClicks(ports, key);
        stored << QString::fromStdString(k57::StoredPort::Read());
        replaced += form->Device().get() != before;
    }
    EXPECT_EQ(stored, (QStringList{"C", "CO", "COM", "COM1", "COM12"}));
    EXPECT_EQ(replaced, 5);

    // Picking from the list is a change too.
    Plug(7);
    ports->setCurrentIndex(ports->findText("COM7"));
    EXPECT_EQ(k57::StoredPort::Read(), "COM7");
    uint32_t serial = 0;
    EXPECT_EQ(form->Device().get()->ReadIdInfo(serial), 1);
}

TEST_F(MainFormTest, InformationCommandsLogTheUnitsAnswers) {
    k57::sim::UnitOptions options;
    options.versionText = "VM_r2\n001.002\nextra";
    k57::sim::Unit& unit = Plug(5, options);
    auto form = Open();
    Child<QPushButton>(*form, "GetVersionButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    unit.configure([](auto& o) { o.versionText = "K57_r0\n000.009\n"; });
    Child<QPushButton>(*form, "GetVersionButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(LogLines(*form),
              (QStringList{"Тип устройства   : K67 (r2)", "Версия прошивки : 001.002",
                           "Тип устройства   : K57_r0", "Версия прошивки : 000.009"}));
}

TEST_F(MainFormTest, InformationCommandsReportAnAbsentUnit) {
    auto form = Open();
    Child<QPushButton>(*form, "GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    Child<QPushButton>(*form, "GetVersionButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(dialogs.shown(),
              (QStringList{"Загрузка не возможна: Устройство не подключено или занято.",
                           "Ошибка: Устройство не подключено или занято"}));
    EXPECT_EQ(dialogs.boxes[0].owner, form.get());
    // Beside each box, the log names the port and the cause.
    EXPECT_EQ(LogLines(*form), (QStringList{"COM5: порт не открывается (нет такого порта)",
                                            "COM5: порт не открывается (нет такого порта)"}));
}

TEST_F(MainFormTest, FailuresAreToldInRussianWithCountsThatAgree) {
    k57::sim::UnitOptions undecodable;
    undecodable.fault = Fault::Undecodable;
    Plug(5, undecodable);
    auto form = Open();
    Child<QPushButton>(*form, "GetSerialButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    {
        VCOM_Port other("COM5");  // another program holds the port
        ASSERT_TRUE(other.Open());
        Child<QPushButton>(*form, "GetVersionButton")->click();
        ASSERT_TRUE(k57::test::Settle(form->Device()));
    }
    EXPECT_EQ(LogLines(*form), (QStringList{"COM5: ответ не читается (тип 150, 3 байта)",
                                            "COM5: порт не открывается (порт занят другой программой)"}));
}

TEST_F(MainFormTest, PortSearchSelectsTheFoundPortWithoutReplacingTheSession) {
    Plug(7);
    auto form = Open();
    auto* ports = Child<QComboBox>(*form, "PortComboBox");
    DeviceInterface* session = form->Device().get();
    Child<QPushButton>(*form, "FindPortButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(ports->currentText(), "COM7");
    EXPECT_EQ(form->Device().get(), session);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Устройство найдено");
    EXPECT_EQ(dialogs.boxes[0].owner, form.get());
    // Shown once the search has ended, with the port list already on it.
    EXPECT_FALSE(dialogs.boxes[0].busyPointer);
    EXPECT_EQ(k57::StoredPort::Read(), "COM7");
    EXPECT_EQ(LogLines(*form),
              QStringList{"Устройство найдено на COM7: K57BT, версия 000.008, серийный номер "
                          "12345678"});
}

TEST_F(MainFormTest, StopEndsThePortSearch) {
    k57::sim::UnitOptions silent;
    silent.fault = k57::sim::UnitOptions::Fault::Silent;
    for (int com : {3, 4, 6, 8}) {
        Plug(com, silent);  // each costs a reply time-out
    }
    Plug(9);
    auto form = Open();
    auto* find = Child<QPushButton>(*form, "FindPortButton");
    find->click();
    EXPECT_EQ(find->text(), "Стоп");
    EXPECT_TRUE(find->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(*form, "ReadButton")->isEnabled());
    QTest::qWait(100);
    find->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(find->text(), "Определить");
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(LogLines(*form), QStringList{"Поиск устройства остановлен."});
    EXPECT_EQ(k57::StoredPort::Read(), "COM5");
    EXPECT_TRUE(Child<QPushButton>(*form, "ReadButton")->isEnabled());
}

TEST_F(MainFormTest, PortSearchFindingNothingLeavesTheSelection) {
    auto form = Open();
    Child<QPushButton>(*form, "FindPortButton")->click();
    ASSERT_TRUE(k57::test::Settle(form->Device()));
    EXPECT_EQ(dialogs.shown(), QStringList{"Внимание: Устройство не найдено"});
    EXPECT_EQ(Child<QComboBox>(*form, "PortComboBox")->currentText(), "COM5");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainFormTest, ControlsStandWhereTheLayoutPutsThem) {
    auto form = Open();
    EXPECT_EQ(form->size(), QSize(320, 505));
    struct Place {
        const char* name;
        QRect rect;
    };
    const Place places[] = {
        {"GroupBox1", {20, 16, 277, 89}},          {"PortComboBox", {16, 33, 113, 21}},
        {"FindPortButton", {168, 31, 89, 25}},     {"BlowUpdateButton", {20, 125, 277, 25}},
        {"WaveUpdateButton", {20, 156, 277, 25}},  {"ReadButton", {20, 187, 277, 25}},
        {"OpenFileButton", {20, 218, 277, 25}},    {"GetSerialButton", {20, 265, 129, 25}},
        {"GetVersionButton", {168, 265, 129, 25}}, {"Memo1", {0, 312, 320, 177}},
        {"SaveProgress", {0, 489, 320, 16}},
    };
    for (const Place& p : places) {
        EXPECT_EQ(Child<QWidget>(*form, p.name)->geometry(), p.rect) << p.name;
    }
    form->show();
    form->resize(400, 600);  // the log and the bar stay docked to the bottom
    EXPECT_EQ(Child<QWidget>(*form, "SaveProgress")->geometry(), QRect(0, 584, 400, 16));
    EXPECT_EQ(Child<QWidget>(*form, "Memo1")->geometry(), QRect(0, 407, 400, 177));

    QStringList chain;
    QWidget* w = Child<QWidget>(*form, "BlowUpdateButton");
    for (int i = 0; i < 9; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus || !w->objectName().size()) {
            w = w->nextInFocusChain();
        }
        chain << w->objectName();
    }
    EXPECT_EQ(chain, (QStringList{"BlowUpdateButton", "ReadButton", "WaveUpdateButton",
                                  "OpenFileButton", "PortComboBox", "FindPortButton", "Memo1",
                                  "GetSerialButton", "GetVersionButton"}));
}

TEST_F(MainFormTest, AnErrorInAnEventHandlerIsReportedAndTheProgramGoesOn) {
    auto form = Open();
    QObject thrower;
    QObject::connect(&thrower, &QObject::objectNameChanged,
                     [] { throw std::runtime_error("Не удалось сохранить порт подключения."); });
    QTimer::singleShot(0, &thrower, [&] { thrower.setObjectName("x"); });
    QTest::qWait(20);
    EXPECT_EQ(k57::test::ApplicationDialogs().errors.value(0),
              "Не удалось сохранить порт подключения.");
}

}  // namespace
