// The program in English (K57_TEST_LANG=en): the editor, the diagnostic
// monitor with its plot and the CAN signals window say nothing in Russian
// of their own; only the catalogue's names and descriptions and the unit's
// texts stay as they are. The texts of the layers below the windows
// (validation, discovery, the catalogue's loader) come in English too.

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "CanFrameLog.h"
#include "CanHuntForm.h"
#include "CanMonitorForm.h"
#include "CanSignalsForm.h"
#include "Cp1251.h"
#include "DiagnosticForm.h"
#include "DiagnosticPlotForm.h"
#include "EmbeddedImages.h"
#include "ParameterList.h"
#include "ParametersEditForm.h"
#include "PlotWidget.h"
#include "QuickSessions.h"
#include "RecordingNotifier.h"
#include "ScriptedDialogs.h"
#include "SettingsMessages.h"
#include "SimulatedUnits.h"
#include "T110_Device.h"
#include "TextWalk.h"
#include "WindowProbe.h"

namespace {

using k57::test::Child;
using k57::test::CyrillicTexts;

std::string Join(const QStringList& lines) {
    return lines.join('\n').toStdString();
}

// Every text the catalogue gives the editor, as the editor shows it.
std::set<QString> CatalogueTexts(const ParameterList& list) {
    std::set<QString> texts;
    auto add = [&](const std::string& bytes) {
        texts.insert(QString::fromStdString(k57::cp1251::ToUtf8(bytes)));
    };
    for (int g = 0; g < list.GroupCount(); ++g) {
        add(list.GroupAt(g).name);
    }
    for (int p = 0; p < list.ParameterCount(); ++p) {
        const Parameter& parameter = list.ParameterAt(p);
        add(parameter.name);
        add(parameter.description);
        add(parameter.defaultValue);
        add(list.DisplayValue(parameter.key));
    }
    for (const EnumValueList& items : list.Enums()) {
        for (const EnumItem& item : items.items) {
            add(item.text);
        }
    }
    return texts;
}

// The texts of the menu `open` pops up, while it is up.
QStringList PopupTexts(const std::function<void()>& open) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions()) {
                texts << action->text();
            }
            popup->close();
        }
    });
    open();
    return texts;
}

// --- the parameter editor ----------------------------------------------------

class EnglishEditorTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
        ASSERT_EQ(list.loadError(), "");
        list.SetValuesFromText("CanMode=9\n");  // a choice none of the items names
        editor.parameters = &list;
        editor.show();
        QApplication::setActiveWindow(&editor);
        tree = Child<QTreeWidget>(editor, "Tree");
    }

    QTreeWidgetItem* Node(const std::string& key) {
        const Parameter& p = list.ParameterAt(list.IndexOf(key));
        for (int g = 0; g < tree->topLevelItemCount(); ++g) {
            QTreeWidgetItem* group = tree->topLevelItem(g);
            for (int i = 0; i < group->childCount(); ++i) {
                if (group->child(i)->text(0).toStdString() == k57::cp1251::ToUtf8(p.name)) {
                    return group->child(i);
                }
            }
        }
        ADD_FAILURE() << key;
        return nullptr;
    }

    // Russian left in the window that the catalogue does not account for.
    QStringList ProgramRussian() {
        const std::set<QString> catalogue = CatalogueTexts(list);
        return CyrillicTexts(editor, [&](const QString& text) { return catalogue.count(text); });
    }

    k57::test::ScriptedDialogs dialogs;
    k57::DeviceSession session{k57::test::QuickSessions()};
    ParameterList list{k57::images::Catalogue()};
    TParametersEditForm editor{dialogs, session};
    QTreeWidget* tree = nullptr;
};

TEST_F(EnglishEditorTest, MenusFramesAndCaptionsAreEnglishWhileTheCatalogueKeepsItsWords) {
    EXPECT_EQ(editor.windowTitle(), "Parameter editor");
    EXPECT_EQ(Child<QAction>(editor, "SaveAction")->text(), "Save to file");
    EXPECT_EQ(Child<QAction>(editor, "SendAction")->text(), "Write to unit");
    EXPECT_EQ(Child<QAction>(editor, "CloseAction")->text(), "Close");
    EXPECT_EQ(ProgramRussian(), QStringList()) << Join(ProgramRussian());

    // A number, a choice off the list and a text, each shown in its panel.
    for (const char* key : {"MicLevel", "CanMode", "PinCod"}) {
        tree->setCurrentItem(Node(key));
        ASSERT_TRUE(Child<QWidget>(editor, "Panel1")->isVisible()) << key;
        EXPECT_EQ(ProgramRussian(), QStringList()) << key << "\n" << Join(ProgramRussian());
    }
    tree->setCurrentItem(Node("CanMode"));
    EXPECT_EQ(Child<QComboBox>(editor, "EnumValue")->currentText(), "9 (not in the list)");

    tree->setCurrentItem(Node("MicLevel"));
    auto* value = Child<QLineEdit>(editor, "ValueEdit");
    value->selectAll();
    value->insert("7");
    tree->setCurrentItem(Node("PinCod"));
    EXPECT_EQ(editor.windowTitle(), "Parameter editor. Settings changed!");
    EXPECT_EQ(ProgramRussian(), QStringList()) << Join(ProgramRussian());
}

TEST_F(EnglishEditorTest, RefusalsQuestionsAndNoticesAreEnglish) {
    tree->setCurrentItem(Node("MicLevel"));
    auto* value = Child<QLineEdit>(editor, "ValueEdit");
    value->selectAll();
    value->insert("15");
    QTreeWidgetItem* pin = Node("PinCod");
    tree->setCurrentItem(pin);
    EXPECT_NE(tree->currentItem(), pin);  // refused: MicLevel stays
    EXPECT_EQ(dialogs.shown(), QStringList{"Error: 15 is too large (allowed 1 to 14)"});

    value->selectAll();
    value->insert("7");  // a change: closing asks
    dialogs.answers.push_back(k57::Answer::Cancel);
    Child<QAction>(editor, "SendAction")->trigger();
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_EQ(dialogs.shown()[1], "Warning: Write the settings to the unit?");

    dialogs.files.push_back({});  // the save dialog is cancelled
    Child<QAction>(editor, "SaveAction")->trigger();
    EXPECT_EQ(dialogs.filters.last(), "settings text files | *.txt");

    dialogs.answers.push_back(k57::Answer::Cancel);
    editor.close();
    ASSERT_EQ(dialogs.boxes.size(), 3u);
    EXPECT_EQ(dialogs.shown()[2], "Warning: Settings changed. Close without saving?");
    EXPECT_TRUE(editor.isVisible());
}

// --- the texts of the layers below the windows ---------------------------------

TEST(EnglishModelTexts, ValidationMessagesKeepTheValueAndTheLimits) {
    ParameterList list{k57::images::Catalogue()};
    const Parameter& mic = list.ParameterAt(list.IndexOf("MicLevel"));
    const Parameter& pin = list.ParameterAt(list.IndexOf("PinCod"));
    using P = k57::SettingsProblem;
    EXPECT_EQ(k57::RefusalMessage(mic, P::BelowMin, "0"), "0 is too small (allowed 1 to 14)");
    EXPECT_EQ(k57::RefusalMessage(mic, P::NotANumber, "x"),
              "x is not an integer (allowed 1 to 14)");
    EXPECT_EQ(k57::RefusalMessage(pin, P::TooShort, "12"), "Text too short (length must be 4)");
    EXPECT_EQ(k57::WindowMessage(P::NotAChoice, "9"), "9 is not one of the choices");
    EXPECT_EQ(k57::WindowMessage(P::DuplicateKey, "", 3), "parameter already set on line 3");
    EXPECT_EQ(k57::WindowMessage(P::UnknownKey), "no such parameter");
    EXPECT_EQ(k57::OffListChoice(""), "(not set)");
    // A value that itself looks like a placeholder is shown as typed.
    EXPECT_EQ(k57::WindowMessage(P::NotANumber, "%2"), "%2 is not an integer");
}

TEST(EnglishModelTexts, CatalogueAndEmbeddedDataErrorsAreEnglish) {
    ParameterList bad(
        "<resources><parameters><group name=\"g\">"
        "<parameter key=\"Mic\" type=\"float\" min=\"1\" max=\"2\"/>"
        "</group></parameters></resources>");
    EXPECT_EQ(bad.loadError(),
              "Parameter catalogue not loaded: element <parameter> (key=\"Mic\"): "
              "unknown type in attribute \"type\"");
    ParameterList broken("<resources><parameters>");
    EXPECT_EQ(broken.loadError().rfind("parser error: ", 0), 0u) << broken.loadError();
    try {
        k57::images::LoadFirmware(":/no-such-image.bin");
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Embedded data not found: :/no-such-image.bin");
    }
}

class EnglishDiscoveryTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { device.setReplyTimeout(300); }
    k57::test::RecordingNotifier notices;
    T110_Device device;
};

TEST_F(EnglishDiscoveryTest, TheFoundUnitIsDescribedInEnglishAroundTheUnitsOwnTexts) {
    k57::sim::UnitOptions options;
    options.serial = 42;
    Plug(3, options);
    ASSERT_EQ(device.FindDevice(nullptr), 1);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].caption, "Unit found");
    EXPECT_EQ(notices.boxes[0].text, "Port:\tCOM3\nType:\tK57BT\nVersion:\t000.008\nSerial:\t42\n");
}

TEST_F(EnglishDiscoveryTest, NoUnitIsAWarningInEnglish) {
    ASSERT_EQ(device.FindDevice(nullptr), 0);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].caption + ": " + notices.boxes[0].text, "Warning: Unit not found");
}

// --- the monitors ------------------------------------------------------------------

class EnglishMonitorsTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
    }
    k57::DeviceSession session{k57::test::QuickSessions()};
    k57::test::ScriptedDialogs dialogs;
};

TEST_F(EnglishMonitorsTest, TheDiagnosticMonitorItsPlotAndThePlotsMenuAreEnglish) {
    TDiagnosticForm form(session);
    form.SetDialogs(&dialogs);
    form.show();
    EXPECT_EQ(form.windowTitle(), "DiagnosticForm");  // the window's own name, in every language
    Child<QPushButton>(form, "PlotButton")->click();
    auto* plotForm = form.findChild<TDiagnosticPlotForm*>("DiagnosticPlotForm");
    ASSERT_TRUE(plotForm);
    EXPECT_EQ(plotForm->windowTitle(), "Motion sensor plot");
    EXPECT_EQ(CyrillicTexts(form), QStringList()) << Join(CyrillicTexts(form));

    k57::PlotWidget* plot = plotForm->plot();
    QStringList menu = PopupTexts([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                plot->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(plot, &event);
    });
    EXPECT_EQ(menu,
              (QStringList{"Pause", "Show all", "Autoscale", "", "Save as PNG…", "Save as CSV…"}));
    form.close();
}

TEST_F(EnglishMonitorsTest, TheCanSignalsWindowIsEnglishAndCountsFramesInEnglish) {
    k57::CanFrameLog log;
    TCanSignalsForm form{log};
    form.SetDialogs(&dialogs);
    form.show();
    EXPECT_EQ(Child<QLabel>(form, "FilesLabel")->text(), "No DBC files loaded");
    EXPECT_EQ(CyrillicTexts(form), QStringList()) << Join(CyrillicTexts(form));

    dialogs.files.push_back(K57_DBC_DATA "/tesla_can.dbc");
    Child<QPushButton>(form, "LoadButton")->click();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << Join(dialogs.errors);
    CanRecord frame;
    frame.id = 0x108;
    frame.dlc = 8;
    log.Add(frame, 1'000'000);
    form.RefreshTimer();
    auto* tree = Child<QTreeWidget>(form, "SignalsTree");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(1), "1 frame");
    log.Add(frame, 1'100'000);
    form.RefreshTimer();
    EXPECT_EQ(tree->topLevelItem(0)->text(1), "2 frames");
    EXPECT_EQ(CyrillicTexts(form), QStringList()) << Join(CyrillicTexts(form));
}

TEST_F(EnglishMonitorsTest, TheCanMonitorItsMenuAndTheHuntWindowAreEnglish) {
    TCanMonitorForm form(session);
    form.SetDialogs(&dialogs);
    form.show();
    QWidget* panel = form.findChild<QWidget*>("Panel1");
    ASSERT_TRUE(panel);
    QStringList menu = PopupTexts([&] {
        emit panel->customContextMenuRequested(QPoint(10, 10));
    });
    EXPECT_EQ(menu, (QStringList{"Save to file…", "Save signals as DBC…", "DBC signals…",
                                 "Signal hunt…"}));
    form.ShowHunt();
    auto* hunt = form.findChild<TCanHuntForm*>();
    ASSERT_TRUE(hunt);
    EXPECT_EQ(hunt->windowTitle(), "Signal hunt");
    EXPECT_EQ(CyrillicTexts(form), QStringList()) << Join(CyrillicTexts(form));
    EXPECT_EQ(CyrillicTexts(*hunt), QStringList()) << Join(CyrillicTexts(*hunt));
    form.close();
}

}  // namespace
