// k57ctl batch --report writes PDF certificates, for which Qt needs a
// QGuiApplication and a platform: on a PC with no display (over SSH, a
// production line's PC) k57ctl must take the offscreen one rather than end.

#include <gtest/gtest.h>

#include "CtlFileTest.h"

namespace {

// The environment's variable gone for the life of the object.
class Unset {
  public:
    explicit Unset(const char* name)
        : name_(name), value_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qunsetenv(name);
    }
    ~Unset() {
        if (had_) {
            qputenv(name_, value_);
        }
    }

  private:
    const char* name_;
    QByteArray value_;
    bool had_;
};

using ReportApplicationCtlTest = k57::test::CtlFileTest;

TEST_F(ReportApplicationCtlTest, ABatchWithAReportStartsWithNoDisplayAndNoPlatformChosen) {
    QString templ = Write("template.txt", "MicLevel=10\n");
    QString values = Write("values.csv", "serial,PinCod\n1001,1234\n");
    Unset platform("QT_QPA_PLATFORM");
    Unset display("DISPLAY");
    Unset wayland("WAYLAND_DISPLAY");
    k57::test::CtlRun run = Ctl({"batch", templ, "--values", values, "--check", "--report",
                                 QString::fromStdString(dir_.path()) + "/report"});
    // Ended by itself, whatever the batch command says of its options.
    EXPECT_GE(run.code, 0) << run.err.toStdString();
    EXPECT_LE(run.code, 1) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("platform plugin")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("qt.qpa")) << run.err.toStdString();
}

}  // namespace
