#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "Crc32.h"
#include "FirmwareUpdate.h"
#include "MainForm.h"
#include "Messages.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

using namespace orvan::tms::messages;

namespace {

using k57::test::Count;

class UpdatesTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // Time-outs ten times shorter, for the failure paths.
    void Open() { form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions()); }
    // The real time-outs, for whole transfers: a loaded machine must not
    // turn one slow acknowledgement among hundreds into a failure.
    void OpenForAWholeTransfer() { form = std::make_unique<TMainForm>(dialogs); }

    QPushButton* Button(const char* name) { return form->findChild<QPushButton*>(name); }
    QProgressBar* Progress() { return form->findChild<QProgressBar*>("SaveProgress"); }
    QStringList Log() { return k57::test::LogLines(*form); }
    // Waits for a log line that begins with `start`.
    bool WaitForLog(const QString& start, int ms = 30000) {
        QRegularExpression line("^" + QRegularExpression::escape(start));
        return QTest::qWaitFor([&] { return !Log().filter(line).isEmpty(); }, ms);
    }
    bool Settle() { return k57::test::Settle(form->Device()); }
    bool WaitForBox(size_t count, int ms = 30000) {
        return QTest::qWaitFor([&] { return dialogs.boxes.size() >= count; }, ms);
    }

    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(UpdatesTest, FirmwareReachesTheUnitByteForByte) {
    k57::sim::Unit& unit = Plug(5);
    OpenForAWholeTransfer();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(WaitForLog("Загрузка новой версии программы ..."));
    EXPECT_EQ(Progress()->maximum(), 92);
    EXPECT_FALSE(Button("BlowUpdateButton")->isEnabled());
    EXPECT_FALSE(Button("ReadButton")->isEnabled());
    EXPECT_FALSE(Button("WaveUpdateButton")->isEnabled());
    // The bar says how far, how fast and how long still, as k57ctl does.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Progress()->value() >= 3; }, 10000));
    QRegularExpression shown(R"(^\d+ %  ·  \d+,\d КБ/с  ·  осталось \d+:\d\d$)");
    EXPECT_TRUE(shown.match(Progress()->text()).hasMatch()) << Progress()->text().toStdString();
    ASSERT_TRUE(WaitForLog("Загрузка закончена."));

    k57::images::Firmware firmware = k57::images::LoadFirmware();
    EXPECT_EQ(unit.image(), firmware.buffer);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), 92);
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_EQ(unit.commits()[0].size, 94144u);
    EXPECT_EQ(unit.commits()[0].checksum, Crc32(firmware.buffer.data() + 8, 94144));
    EXPECT_TRUE(unit.commits()[0].accepted);
    QStringList log = Log();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log.mid(0, 2), (QStringList{"Подготовка к обновлению, ждите ...",
                                          "Загрузка новой версии программы ..."}));
    EXPECT_TRUE(log[2].startsWith("Загрузка закончена. Передано фрагментов: 92 из 92 за "))
        << log[2].toStdString();
    EXPECT_EQ(Progress()->value(), 0);
    EXPECT_TRUE(Button("BlowUpdateButton")->isEnabled());
    EXPECT_TRUE(Button("GetSerialButton")->isEnabled());
    EXPECT_EQ(dialogs.boxes.size(), 1u);  // the opening question only
}

TEST_F(UpdatesTest, AnEqualVersionAsksFirst) {
    k57::sim::UnitOptions options;
    options.versionText = "K57BT\n000.009\nJul  7 2017";
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok, k57::Answer::No};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.shown().value(1),
              "Внимание: Устройство уже содержит новейшую или равную версию.\n"
              "                         Обновлять или нет?\n\n"
              "В устройстве: 000.009, в программе: 000.009.");
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 0);
    EXPECT_EQ(Log(), QStringList{"Обновление не начато: в устройстве уже версия 000.009."});

    dialogs.answers = {k57::Answer::Ok, k57::Answer::Yes};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(WaitForLog("Загрузка новой версии программы ..."));
    EXPECT_EQ(Count(unit.requests(), kBeginFirmwareUpdate), 1);
    ASSERT_TRUE(WaitForLog("Загрузка закончена."));
}

TEST_F(UpdatesTest, AHangUpMidwayCommitsNothingAndTheNextPressStartsOver) {
    k57::sim::UnitOptions options;
    options.hangUpAfterFragments = 10;
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(WaitForLog("Обновление отменено:"));
    EXPECT_EQ(Log().last(),
              "Обновление отменено: фрагмент 11 из 92 не подтверждён, ничего не записано. "
              "Проверьте подключение и повторите обновление: оно начнётся сначала.");
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка: Ошибка при передачи данных");
    EXPECT_EQ(Progress()->value(), 10);
    EXPECT_TRUE(unit.commits().empty());
    EXPECT_TRUE(Button("BlowUpdateButton")->isEnabled());

    unit.configure([](auto& o) { o.hangUpAfterFragments = -1; });
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(WaitForLog("Загрузка закончена."));
    EXPECT_EQ(unit.image(), k57::images::LoadFirmware().buffer);
}

TEST_F(UpdatesTest, ARefusedCommitIsReported) {
    k57::sim::UnitOptions options;
    options.refuseCommits = true;
    Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(WaitForLog("Обновление отменено:"));
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка обновления.: Нет подтвеждения CRC");
    EXPECT_EQ(Progress()->value(), Progress()->maximum());
}

TEST_F(UpdatesTest, FirmwareNeedsAWellFormedVersionAndAnAcceptedStart) {
    k57::sim::UnitOptions options;
    options.versionText = "K57BT 000.008";
    k57::sim::Unit& unit = Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка: Устройство не подключено или занято");
    EXPECT_EQ(Log(), (QStringList{"COM5: ответ на запрос версии не разбирается",
                                  "Обновление не начато: версия устройства не разбирается."}));

    unit.configure([](auto& o) {
        o.versionText = "K57BT\n000.008\n";
        o.fault = k57::sim::UnitOptions::Fault::WrongType;
        o.faultCodes = {kBeginFirmwareUpdate};
    });
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.shown().value(3), "Ошибка: Устройство не подключено или занято");
    EXPECT_EQ(Log(),
              (QStringList{"COM5: ответ на запрос версии не разбирается",
                           "Обновление не начато: версия устройства не разбирается.",
                           "Подготовка к обновлению, ждите ...",
                           "COM5: ответ другого типа (11 вместо 194)",
                           "Обновление отменено: устройство не начало обновление, ничего не "
                           "передано. Проверьте подключение и повторите."}));
    EXPECT_EQ(Progress()->maximum(), 100);
    EXPECT_TRUE(Button("BlowUpdateButton")->isEnabled());
}

TEST_F(UpdatesTest, AnAbsentUnitIsLoggedAndNothingStarts) {
    Open();
    dialogs.answers = {k57::Answer::Ok};
    Button("BlowUpdateButton")->click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка: Устройство не подключено или занято");
    EXPECT_EQ(Log(), (QStringList{"COM5: порт не открывается (нет такого порта)",
                                  "Обновление не начато: устройство не ответило. Проверьте "
                                  "подключение и порт."}));
    EXPECT_FALSE(form->transferRunning());
    EXPECT_TRUE(Button("BlowUpdateButton")->isEnabled());
}

TEST_F(UpdatesTest, AnImageEndingOnAFragmentBoundaryCommitsOnTheNextStep) {
    k57::sim::Unit& unit = Plug(5);
    k57::images::Firmware small;
    small.size = 1016;
    small.buffer.assign(8, 0xFF);
    small.buffer.resize(1024, 0x5A);
    T110_Device device;
    using Stage = k57::UpdateSteps::Stage;
    k57::FirmwareUpdate update(small);
    update.Start();
    ASSERT_EQ(update.Step(device), Stage::Confirm);  // the image has no version
    update.Confirm();
    ASSERT_EQ(update.Step(device), Stage::Send);
    EXPECT_EQ(update.Step(device), Stage::Send);
    EXPECT_TRUE(update.active());
    EXPECT_EQ(update.Step(device), Stage::Idle);
    EXPECT_EQ(update.outcome(), k57::UpdateOutcome::Done);
    EXPECT_FALSE(update.active());
    EXPECT_EQ(unit.image(), small.buffer);
}

TEST_F(UpdatesTest, SoundReachesTheUnitWholeAndCommitsWithItsHeader) {
    k57::sim::Unit& unit = Plug(5);
    OpenForAWholeTransfer();
    dialogs.answers = {k57::Answer::Ok};
    Button("WaveUpdateButton")->click();
    EXPECT_EQ(Button("WaveUpdateButton")->text(), "Стоп");
    ASSERT_TRUE(WaitForLog("Идет запись звуковых данных..."));
    EXPECT_EQ(Progress()->maximum(), 662);
    EXPECT_FALSE(Button("BlowUpdateButton")->isEnabled());
    ASSERT_TRUE(WaitForBox(2, 60000));
    EXPECT_EQ(dialogs.shown().value(1), "Сообщение: Данные успешно записаны.");

    k57::images::SoundPackage package;
    std::vector<uint8_t> bytes(size_t(package.size()));
    package.read(bytes.data(), int(bytes.size()));
    EXPECT_EQ(unit.image(), bytes);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), 662);
    ASSERT_EQ(unit.commits().size(), 1u);
    EXPECT_EQ(unit.commits()[0].size, 677857u);
    EXPECT_TRUE(unit.commits()[0].accepted);
    EXPECT_EQ(Button("WaveUpdateButton")->text(), "Обновить звук до 677857");
    EXPECT_EQ(Progress()->value(), 662);
    QStringList log = Log();
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log.mid(0, 2),
              (QStringList{"Подготовка к записи, ждите...", "Идет запись звуковых данных..."}));
    EXPECT_TRUE(log[2].startsWith("Звуковые данные записаны. Передано фрагментов: 662 из 662"))
        << log[2].toStdString();
}

TEST_F(UpdatesTest, TheStopButtonEndsASoundTransferWithoutCommit) {
    k57::sim::Unit& unit = Plug(5);
    Open();
    dialogs.answers = {k57::Answer::Ok};
    Button("WaveUpdateButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(unit.requests(), kDataFragment) >= 3; }, 5000));
    Button("WaveUpdateButton")->click();
    ASSERT_TRUE(Settle());  // the fragment on its way when "Стоп" was pressed
    int sent = Count(unit.requests(), kDataFragment);
    QTest::qWait(50);
    EXPECT_EQ(Count(unit.requests(), kDataFragment), sent);
    EXPECT_TRUE(unit.commits().empty());
    EXPECT_TRUE(Log().last().startsWith("Обновление отменено: остановлено, передано фрагментов: "))
        << Log().last().toStdString();
    EXPECT_EQ(Button("WaveUpdateButton")->text(), "Обновить звук до 677857");
    EXPECT_TRUE(Button("BlowUpdateButton")->isEnabled());
}

TEST_F(UpdatesTest, ASoundStartTheUnitRefusesRestoresTheButton) {
    k57::sim::UnitOptions options;
    options.fault = k57::sim::UnitOptions::Fault::Undecodable;
    Plug(5, options);
    Open();
    dialogs.answers = {k57::Answer::Ok, k57::Answer::Yes};  // on without a backup
    Button("WaveUpdateButton")->click();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(dialogs.shown().value(2),
              "Ошибка: Устройство не подключено или занято.\nОбновление отменено.");
    EXPECT_EQ(Button("WaveUpdateButton")->text(), "Обновить звук до 677857");
    EXPECT_TRUE(Button("ReadButton")->isEnabled());
}

}  // namespace
