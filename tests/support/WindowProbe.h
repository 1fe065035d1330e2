#pragma once

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

namespace k57::test {

// A window's control by its object name; a missing one fails the test.
template <typename T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    EXPECT_TRUE(child) << name;
    return child;
}

// The main window's log (its memo "Memo1"), a line each.
inline QStringList LogLines(QWidget& window) {
    QString text = Child<QPlainTextEdit>(window, "Memo1")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

}  // namespace k57::test
