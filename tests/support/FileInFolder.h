#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "TempDir.h"

namespace k57::test {

// The file `name` in `folder`, holding `bytes`; its path.
inline QString WriteFileIn(const TempDir& folder, const char* name, const QByteArray& bytes) {
    QString path = QString::fromStdString(folder.path()) + "/" + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

}  // namespace k57::test
