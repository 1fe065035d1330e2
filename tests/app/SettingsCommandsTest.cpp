#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "CtlProcess.h"
#include "MainForm.h"
#include "Messages.h"
#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "Settle.h"
#include "SimulatedUnits.h"
#include "UnitText.h"

namespace {

class SettingsCommandsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        form = std::make_unique<TMainForm>(dialogs, k57::test::QuickSessions());
        editor = std::make_unique<TParametersEditForm>(dialogs, form->Device(), form.get());
        form->SetEditor(editor.get());
    }

    // Presses a button of the main window; while the editor is open, runs
    // `inEditor` and closes it. True when the editor was shown.
    bool Press(
        const char* button, std::function<void()> inEditor = [] {}) {
        // The request runs first, with the event loop going: look until
        // the editor is up.
        bool shown = false;
        QTimer look;
        look.setInterval(5);
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (editor->isVisible()) {
                look.stop();
                shown = true;
                inEditor();
                editor->CloseActionExecute();
            }
        });
        look.start();
        form->findChild<QPushButton*>(button)->click();
        k57::test::Settle(form->Device());
        return shown;
    }

    std::string Value(const char* key) {
        ParameterList& list = form->parameterList();
        return list.ParameterAt(list.IndexOf(key)).value;
    }

    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    k57::test::ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TParametersEditForm> editor;
    std::string Name(const char* key) {
        ParameterList& list = form->parameterList();
        return list.ParameterAt(list.IndexOf(key)).name;
    }

    k57::test::TempDir dir;
};

TEST_F(SettingsCommandsTest, ReadingTheUnitOpensTheEditorOnItsSettings) {
    k57::sim::UnitOptions options;
    options.settings = "MicLevel=10\nUnknownKey=1\n";
    Plug(5, options);
    form->parameterList().SetValue("KickSens", "1");
    EXPECT_TRUE(Press("ReadButton"));
    EXPECT_EQ(Value("MicLevel"), "10");
    EXPECT_EQ(Value("KickSens"), "7");
    EXPECT_EQ(editor->parameters, &form->parameterList());
}

TEST_F(SettingsCommandsTest, AnAbsentUnitKeepsTheEditorClosed) {
    EXPECT_FALSE(Press("ReadButton"));
    EXPECT_EQ(dialogs.shown(),
              QStringList{"Загрузка не возможна: Устройство не подключено или занято."});
}

TEST_F(SettingsCommandsTest, AFileSavedByTheEditorReadsBackToTheSameBytes) {
    QString original = dir.path().c_str() + QString("/original.txt");
    QString first = dir.path().c_str() + QString("/first.txt");
    QString second = dir.path().c_str() + QString("/second.txt");
    Write(original, "PinCod=1234\rNameBT=\xC6\xF3\xEA\n\nMicLevel=08\r\nStray line\nCanMode=2");

    dialogs.files = {original, first};
    EXPECT_TRUE(Press("OpenFileButton", [&] { editor->SaveActionExecute(); }));
    EXPECT_EQ(Value("NameBT"), "\xC6\xF3\xEA");
    QByteArray saved = Bytes(first);
    EXPECT_EQ(saved, "PinCod=1234\r\nNameBT=\xC6\xF3\xEA\r\nMicLevel=08\r\nCanMode=2\r\n");

    dialogs.files = {first, second};
    EXPECT_TRUE(Press("OpenFileButton", [&] { editor->SaveActionExecute(); }));
    EXPECT_EQ(Bytes(second), saved);
    EXPECT_EQ(dialogs.filters.value(0), "текстовые файлы настроек | *.txt");
}

TEST_F(SettingsCommandsTest, AnUnreadableFileIsReportedAndChangesNothing) {
    form->parameterList().SetValue("MicLevel", "3");
    dialogs.files = {dir.path().c_str() + QString("/missing.txt")};
    EXPECT_FALSE(Press("OpenFileButton"));
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(Value("MicLevel"), "3");
    dialogs.files = {};
    EXPECT_FALSE(Press("OpenFileButton"));  // cancelled
}

TEST_F(SettingsCommandsTest, AFileOpensWithItsInvalidValuesListedAndLeftAtTheirDefaults) {
    QString path = dir.path().c_str() + QString("/mixed.txt");
    Write(path, "MicLevel=10\r\nKickSens=42\r\nPinCod=12\r\nNameBT=" + QByteArray(40, 'x') +
                    "\r\nAccLow=12000\r\nKickSens=3\r\n");
    dialogs.files = {path};
    EXPECT_TRUE(Press("OpenFileButton"));
    EXPECT_EQ(Value("MicLevel"), "10");
    EXPECT_EQ(Value("KickSens"), "3");  // a later good line still counts
    EXPECT_EQ(Value("PinCod"), "");
    EXPECT_EQ(Value("NameBT"), "");
    EXPECT_EQ(Value("AccLow"), "12000");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].caption, "Внимание");
    EXPECT_TRUE(
        dialogs.boxes[0].text.endsWith("оставлены значения по умолчанию:\n"
                                       "строка 2, KickSens: 42 - многовато будет.\n"
                                       "строка 3, PinCod: Маленькая длинна текста\n"
                                       "строка 4, NameBT: Превышена длинна текста"))
        << dialogs.boxes[0].text.toStdString();
}

TEST_F(SettingsCommandsTest, FilesThatAreNoSettingsTextAreRefused) {
    form->parameterList().SetValue("MicLevel", "3");
    QString nul = dir.path().c_str() + QString("/nul.txt");
    Write(nul, QByteArray("MicLevel=10\r\n\0KickSens=2\r\n", 26));
    QString huge = dir.path().c_str() + QString("/huge.txt");
    Write(huge, QByteArray(2 << 20, 'a'));
    QString longLine = dir.path().c_str() + QString("/long.txt");
    Write(longLine, "MicLevel=10\r\nNameBT=" + QByteArray(5000, 'b') + "\r\n");
    dialogs.files = {nul, huge, longLine};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(Press("OpenFileButton"));
    }
    ASSERT_EQ(dialogs.errors.size(), 3);
    EXPECT_TRUE(
        dialogs.errors[0].endsWith("в файле есть нулевой байт, это не текстовый файл настроек"));
    EXPECT_TRUE(dialogs.errors[1].startsWith("Не удалось открыть файл " + huge));
    EXPECT_TRUE(dialogs.errors[2].endsWith("строка 2 длиннее 4096 байт"));
    EXPECT_EQ(Value("MicLevel"), "3");
}

TEST_F(SettingsCommandsTest, InvalidValuesFromTheUnitAreKeptAndListed) {
    k57::sim::UnitOptions options;
    options.settings = "KickSens=42\nMicLevel=10\n";
    Plug(5, options);
    EXPECT_TRUE(Press("ReadButton"));
    EXPECT_EQ(Value("KickSens"), "42");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith("строка 1, KickSens: 42 - многовато будет."));
}

TEST_F(SettingsCommandsTest, SettingsWrittenToTheUnitReadBackTheSame) {
    k57::sim::Unit& unit = Plug(5);
    ParameterList& list = form->parameterList();
    dialogs.answers = {k57::Answer::Ok};
    EXPECT_TRUE(Press("ReadButton", [&] {
        list.SetValuesFromText("PinCod=4321\nNoteKick=5\nAccLow=12000\n");
        editor->SendActionExecute();
        EXPECT_TRUE(k57::test::Settle(form->Device()));
    }));
    std::string written = list.ValuesToText();
    EXPECT_EQ(unit.settings(), written);

    list.SetValuesFromText("");
    EXPECT_TRUE(Press("ReadButton"));
    EXPECT_EQ(list.ValuesToText(), written);
}

// The window and k57ctl judge a file alike: the same lines, the same keys,
// each in its own words.
TEST_F(SettingsCommandsTest, TheWindowAndK57ctlNameTheSameBadLines) {
    QString path = dir.path().c_str() + QString("/bad.txt");
    Write(path, "MicLevel=10\r\n"   // good
                "Colour=red\r\n"    // unknown key
                "KickSens=x\r\n"    // not a number
                "AccLow=99999\r\n"  // above the maximum
                "CanMode=9\r\n"     // not a choice
                "PinCod=12\r\n"     // too short
                "just words\r\n"    // not key=value
                "MicLevel=11\r\n"   // set on line 1 already
                "Stoper=1\r\n");    // good
    const QStringList expected = {"2 Colour",   "3 KickSens", "4 AccLow", "5 CanMode",
                                  "6 PinCod",   "7 ",         "8 MicLevel"};

    dialogs.files = {path};
    EXPECT_TRUE(Press("OpenFileButton"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    QStringList window;
    QRegularExpression windowLine("^строка (\\d+)(?:, ([^:]+))?: ");
    for (const QString& line : dialogs.boxes[0].text.split('\n')) {
        QRegularExpressionMatch m = windowLine.match(line);
        if (m.hasMatch()) {
            window << m.captured(1) + " " + m.captured(2);
        }
    }
    EXPECT_EQ(window, expected) << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(Value("MicLevel"), "10");
    EXPECT_EQ(Value("CanMode"), "1");
    EXPECT_EQ(Value("Stoper"), "1");

    k57::test::CtlRun ctl =
        k57::test::RunCtl({"settings", "write", "--dry-run", path}, settings_);
    EXPECT_EQ(ctl.code, 1);
    QStringList program;
    QRegularExpression ctlLine("^" + QRegularExpression::escape(path) + ":(\\d+): (?:(\\w+): )?");
    for (const QString& line : ctl.err.split('\n')) {
        QRegularExpressionMatch m = ctlLine.match(line);
        if (m.hasMatch()) {
            program << m.captured(1) + " " + m.captured(2);
        }
    }
    EXPECT_EQ(program, expected) << ctl.err.toStdString();
}

TEST_F(SettingsCommandsTest, TheEditorsWriteIsReadBackAndWhatTheUnitDidNotTakeIsNamed) {
    k57::sim::Unit& unit = Plug(5);
    ParameterList& list = form->parameterList();
    EXPECT_TRUE(Press("ReadButton", [&] {
        list.SetValue("MicLevel", "3");
        dialogs.answers = {k57::Answer::Ok};
        editor->SendActionExecute();
        EXPECT_TRUE(k57::test::Settle(form->Device()));
        EXPECT_EQ(dialogs.boxes.back().text,
                  "Настройки записаны и подтверждены: прочитанные из устройства совпадают.");

        unit.configure([](auto& o) { o.keepSettingsOnWrite = true; });
        list.SetValue("KickSens", "2");
        dialogs.answers = {k57::Answer::Ok};
        editor->SendActionExecute();
        EXPECT_TRUE(k57::test::Settle(form->Device()));
    }));
    EXPECT_EQ(unit.settings(), "MicLevel=3\n");
    const k57::test::ScriptedDialogs::Box& box = dialogs.boxes.back();
    EXPECT_EQ(box.caption, "Ошибка") << dialogs.shown().join('\n').toStdString();
    EXPECT_TRUE(box.text.contains(k57::FromUnit(Name("KickSens")))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("Загрузить настройки из устройства")) << box.text.toStdString();
}

TEST_F(SettingsCommandsTest, AWriteWithoutABackupIsAskedAboutEvenWhenTheUnitIsSilent) {
    k57::sim::Unit& unit = Plug(5);
    dialogs.answers = {k57::Answer::Ok};  // the write; the backup's question unscripted
    EXPECT_TRUE(Press("ReadButton", [&] {
        unit.configure([](auto& o) { o.fault = k57::sim::UnitOptions::Fault::Silent; });
        form->parameterList().SetValue("MicLevel", "3");
        editor->SendActionExecute();
        EXPECT_TRUE(k57::test::Settle(form->Device()));
    }));
    ASSERT_GE(dialogs.boxes.size(), 2u);
    const k57::test::ScriptedDialogs::Box& asked = dialogs.boxes[1];
    EXPECT_TRUE(asked.text.endsWith("Продолжить без резервной копии?")) << asked.text.toStdString();
    EXPECT_EQ(asked.preferred, k57::Answer::No);
    EXPECT_EQ(k57::test::Count(unit.requests(), orvan::tms::messages::kSettings), 0);
}

TEST_F(SettingsCommandsTest, AUtf8FileOpensAsTheUnitsTextAndBadPinsAndNumbersAreListed) {
    QString path = dir.path().c_str() + QString("/utf8.txt");
    Write(path, "NameBT=Лада\r\nPinCod=abcd\r\nUserNumber1=call me maybe\r\nBalans=日本\r\n");
    dialogs.files = {path};
    EXPECT_TRUE(Press("OpenFileButton"));
    EXPECT_EQ(Value("NameBT"), "\xCB\xE0\xE4\xE0");
    EXPECT_EQ(Value("PinCod"), "");
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.endsWith(
        "строка 2, PinCod: abcd - PIN-код: четыре цифры\n"
        "строка 3, UserNumber1: call me maybe - номер телефона: + и цифры\n"
        "строка 4, Balans: Значение содержит символы, которых нет в кодировке устройства "
        "(Windows-1251)."))
        << dialogs.boxes[0].text.toStdString();
}

TEST_F(SettingsCommandsTest, AFileThatSetsNothingOpensOnlyWhenTheUserAgrees) {
    form->parameterList().SetValue("MicLevel", "3");
    QString path = dir.path().c_str() + QString("/empty.txt");
    Write(path, "\r\n");
    dialogs.files = {path, path};
    EXPECT_FALSE(Press("OpenFileButton"));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains("PIN")) << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(dialogs.boxes[0].preferred, k57::Answer::No);
    EXPECT_EQ(Value("MicLevel"), "3");
    dialogs.answers = {k57::Answer::Yes};
    EXPECT_TRUE(Press("OpenFileButton"));
    EXPECT_EQ(Value("MicLevel"), "8");
}

}  // namespace
