#pragma once

#include <QApplication>
#include <QStringList>
#include <deque>
#include <vector>

#include "DialogService.h"

namespace k57::test {

// Answers message boxes and file dialogs from a script and records them.
class ScriptedDialogs : public DialogService {
  public:
    struct Box {
        QWidget* owner;
        QString caption;
        QString text;
        Buttons buttons;
        bool busyPointer;  // shown while the busy pointer was up
        Answer preferred;  // what Enter would answer
        Icon icon;
    };

    Answer message(QWidget* owner, const QString& caption, const QString& text, Buttons buttons,
                   Answer preferred, Icon icon) override {
        boxes.push_back({owner, caption, text, buttons, QApplication::overrideCursor() != nullptr,
                         preferred, icon});
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        // Unscripted: OK where it is the only button, otherwise decline.
        return buttons == Buttons::Ok         ? Answer::Ok
               : buttons == Buttons::OkCancel ? Answer::Cancel
                                              : Answer::No;
    }
    void error(QWidget*, const QString& text) override { errors << text; }
    QString openFileName(QWidget*, const QString& filter, const QString&) override {
        filters << filter;
        return Next();
    }
    QString saveFileName(QWidget*, const QString& filter, const QString&,
                         const QString& suggested) override {
        filters << filter;
        suggestions << suggested;
        return Next();
    }

    // "caption: text" of every box so far.
    QStringList shown() const {
        QStringList list;
        for (const Box& b : boxes) {
            list << b.caption + ": " + b.text;
        }
        return list;
    }

    std::deque<Answer> answers;
    std::deque<QString> files;  // paths the file dialogs return; empty: cancelled
    std::vector<Box> boxes;
    QStringList errors;
    QStringList suggestions;  // the names the save dialogs offered
    QStringList filters;

  private:
    QString Next() {
        if (files.empty()) {
            return {};
        }
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

// The dialogs the test program's application reports its errors to.
ScriptedDialogs& ApplicationDialogs();

}  // namespace k57::test
