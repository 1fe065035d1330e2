#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include "TempDir.h"

namespace k57::test {

// k57ctl run as a program: its exit code, stdout and stderr.
struct CtlRun {
    int code = -1;
    QString out;
    QString err;
};

// Runs k57ctl with `args`, `input` on its stdin, the stored port of
// `settings` and the environment of the test (ports directory, registry key).
inline CtlRun RunCtl(const QStringList& args, const IsolatedSettings& settings,
                     const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(settings.directory()));
    process.setProcessEnvironment(env);
    process.start(K57CTL_PATH, args);
    process.write(input);
    process.closeWriteChannel();
    CtlRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    // Windows consoles end lines in CR LF.
    run.out = QString::fromUtf8(process.readAllStandardOutput()).replace("\r\n", "\n");
    run.err = QString::fromUtf8(process.readAllStandardError()).replace("\r\n", "\n");
    return run;
}

}  // namespace k57::test
