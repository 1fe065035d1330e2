#include "TestDataDir.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace k57::test {

namespace {

constexpr char kOption[] = "--k57-data-dir=";

bool kept = true;

// Puts the folder back after any test that left K57_DATA_DIR changed.
class DataDirGuard : public ::testing::EmptyTestEventListener {
  public:
    explicit DataDirGuard(QByteArray folder) : folder_(std::move(folder)) {}

    void OnTestEnd(const ::testing::TestInfo& test) override {
        if (qgetenv("K57_DATA_DIR") == folder_) {
            return;
        }
        std::fprintf(stderr, "%s.%s left K57_DATA_DIR changed: later tests would write "
                     "elsewhere than their own data folder\n",
                     test.test_suite_name(), test.name());
        qputenv("K57_DATA_DIR", folder_);
        kept = false;
    }

  private:
    QByteArray folder_;
};

QString TakeOption(int& argc, char** argv) {
    QString base;
    int next = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kOption, sizeof kOption - 1) == 0) {
            base = QString::fromLocal8Bit(argv[i] + sizeof kOption - 1);
        } else {
            argv[next++] = argv[i];
        }
    }
    argc = next;
    return base;
}

}  // namespace

bool UseOwnDataDir(int& argc, char** argv) {
    QString base = TakeOption(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            return true;  // only the tests' names: nothing runs
        }
    }
    if (base.isEmpty()) {
        base = qEnvironmentVariable("K57_DATA_DIR");
    }
    if (base.isEmpty()) {
        std::fprintf(stderr,
                     "%s: no data folder for the tests: set K57_DATA_DIR or give %sFOLDER "
                     "(ctest does); without one the tests would write into your own "
                     "service journal\n",
                     argv[0], kOption);
        return false;
    }
    static std::unique_ptr<QTemporaryDir> own;
    QDir().mkpath(base);
    own = std::make_unique<QTemporaryDir>(base + "/" + QFileInfo(argv[0]).baseName() + "-XXXXXX");
    if (!own->isValid()) {
        std::fprintf(stderr, "%s: cannot make a data folder in %s\n", argv[0],
                     base.toLocal8Bit().constData());
        return false;
    }
    QByteArray folder = QDir(own->path()).absolutePath().toLocal8Bit();
    qputenv("K57_DATA_DIR", folder);
    ::testing::UnitTest::GetInstance()->listeners().Append(new DataDirGuard(folder));
    return true;
}

bool DataDirKept() {
    return kept;
}

}  // namespace k57::test
