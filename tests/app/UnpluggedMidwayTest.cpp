// A unit pulled out while the main window writes its settings or updates
// it: the log says at once that the line was lost and what to do, and the
// boxes keep the words technicians know.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include "EmbeddedImages.h"
#include "MainForm.h"
#include "Messages.h"
#include "ParametersEditForm.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "WindowProbe.h"

using namespace orvan::tms::messages;

namespace {

using k57::test::Count;

class UnpluggedMidwayTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    // Pulls `unit` once it has had `requests` of `code`; then waits for a
    // log line: true when one came, with the time it took after the pull.
    bool PullAfter(k57::sim::Unit& unit, int code, int requests, const QString& line) {
        if (!QTest::qWaitFor([&] { return Count(unit.requests(), code) >= requests; }, 60000)) {
            return false;
        }
        unit.Unplug();
        QElapsedTimer pulled;
        pulled.start();
        bool logged = QTest::qWaitFor(
            [&] { return k57::test::LogLines(*form).contains(line); }, 30000);
        tookMs = pulled.elapsed();
        return logged && k57::test::Settle(form->Device());
    }

    k57::test::ScriptedDialogs dialogs;
    // The real four-second time-out: the line must come before it.
    std::unique_ptr<TMainForm> form = std::make_unique<TMainForm>(dialogs);
    qint64 tookMs = -1;
};

TEST_F(UnpluggedMidwayTest, AWriteCutOffIsLoggedAsALostLineWithWhatToDo) {
    k57::sim::UnitOptions options;
    options.hangUpOnSettingsWrite = true;
    k57::sim::Unit& unit = Plug(5, options);
    ParameterList list;
    list.LoadCatalogue(k57::images::Catalogue());
    list.SetValuesFromText("MicLevel=4\n");
    TParametersEditForm editor(dialogs, form->Device(), form.get());
    form->SetEditor(&editor);
    editor.parameters = &list;
    editor.show();
    dialogs.answers = {k57::Answer::Ok};
    editor.SendActionExecute();
    const QString lost =
        "COM5: связь потеряна во время записи; прочитайте настройки, чтобы проверить";
    ASSERT_TRUE(PullAfter(unit, kSettings, 1, lost))
        << k57::test::LogLines(*form).join('\n').toStdString();
    EXPECT_LT(tookMs, 2000);
    EXPECT_TRUE(k57::test::LogLines(*form).filter("нет ответа").isEmpty());
    // The box is the one a write whose end is unknown always had.
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.startsWith(
        "Настройки отправлены, но прочитать их обратно не удалось"))
        << dialogs.boxes[1].text.toStdString();
    EXPECT_EQ(dialogs.boxes[1].icon, k57::Icon::Warning);
}

TEST_F(UnpluggedMidwayTest, AnUpdateCutOffIsLoggedAsALostLineWithWhatToDo) {
    k57::sim::Unit& unit = Plug(5);
    dialogs.answers = {k57::Answer::Ok};
    form->findChild<QPushButton*>("BlowUpdateButton")->click();
    const QString lost = "COM5: связь потеряна во время обновления; подключите устройство и "
                         "повторите обновление";
    ASSERT_TRUE(PullAfter(unit, kDataFragment, 5, lost))
        << k57::test::LogLines(*form).join('\n').toStdString();
    EXPECT_LT(tookMs, 2000);
    QStringList log = k57::test::LogLines(*form);
    EXPECT_TRUE(log.filter("нет ответа").isEmpty()) << log.join('\n').toStdString();
    EXPECT_TRUE(unit.commits().empty());
    EXPECT_EQ(dialogs.shown().value(1), "Ошибка: Ошибка при передачи данных");
    EXPECT_EQ(dialogs.boxes.at(1).icon, k57::Icon::Warning);
    EXPECT_EQ(dialogs.boxes.at(0).icon, k57::Icon::None);  // the question before
}

}  // namespace
