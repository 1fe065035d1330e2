#pragma once

#include <gtest/gtest.h>

#include <QFile>

#include "CtlProcess.h"

namespace k57::test {

// k57ctl on files alone, no unit: a folder of its own to write them in and
// settings of its own.
class CtlFileTest : public ::testing::Test {
  protected:
    // The file `name` in the test's folder, holding `bytes`; its path.
    QString Write(const char* name, const QByteArray& bytes) {
        QString path = QString::fromStdString(dir_.path()) + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    CtlRun Ctl(const QStringList& args) { return RunCtl(args, settings_); }

    TempDir dir_;
    IsolatedSettings settings_;
};

}  // namespace k57::test
