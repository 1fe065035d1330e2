#pragma once

// The parameter editor on a shown window, over a session to simulated
// units: the fixture of the editor's tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "ParametersEditForm.h"
#include "QuickSessions.h"
#include "ScriptedDialogs.h"
#include "ShippedCatalogue.h"
#include "SimulatedUnits.h"

class EditorTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override {
        k57::StoredPort::Write("COM5");
        session.Replace();
        list.SetValuesFromText("");
        editor.parameters = &list;
        editor.show();
        QApplication::setActiveWindow(&editor);
        tree = editor.findChild<QTreeWidget*>("Tree");
        value = editor.findChild<QLineEdit*>("ValueEdit");
        enumValue = editor.findChild<QComboBox*>("EnumValue");
        sms = editor.findChild<QLabel*>("SmsLabel");
    }

    // Moves the tree to parameter `p` of group `g` (or to the group when p < 0).
    bool Select(int g, int p = -1) {
        QTreeWidgetItem* group = tree->topLevelItem(g);
        QTreeWidgetItem* node = p < 0 ? group : group->child(p);
        tree->setCurrentItem(node);
        return tree->currentItem() == node;
    }

    void Type(const QString& text) {
        value->setFocus();
        value->selectAll();
        bool ascii =
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii) {
            QTest::keyClicks(value, text);  // one change per keystroke
        } else {
            value->insert(text);
        }
    }

    std::string Value(const char* key) { return list.ParameterAt(list.IndexOf(key)).value; }
    QWidget* Panel() { return editor.findChild<QWidget*>("Panel1"); }

    k57::test::ScriptedDialogs dialogs;
    k57::DeviceSession session{k57::test::QuickSessions()};
    ParameterList list{k57::test::ShippedCatalogue()};
    TParametersEditForm editor{dialogs, session};
    QTreeWidget* tree;
    QLineEdit* value;
    QComboBox* enumValue;
    QLabel* sms;
};
