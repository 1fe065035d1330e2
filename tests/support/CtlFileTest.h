#pragma once

#include <gtest/gtest.h>

#include "CtlProcess.h"
#include "FileInFolder.h"

namespace k57::test {

// k57ctl on files alone, no unit: a folder of its own to write them in and
// settings of its own.
class CtlFileTest : public ::testing::Test {
  protected:
    // The file `name` in the test's folder, holding `bytes`; its path.
    QString Write(const char* name, const QByteArray& bytes) {
        return WriteFileIn(dir_, name, bytes);
    }
    CtlRun Ctl(const QStringList& args) { return RunCtl(args, settings_); }

    TempDir dir_;
    IsolatedSettings settings_;
};

}  // namespace k57::test
