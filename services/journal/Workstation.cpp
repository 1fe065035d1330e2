#include "Workstation.h"

#include <QDir>
#include <QSysInfo>
#include <QUuid>
#include <QtGlobal>

namespace k57 {

namespace {

std::string FirstSet(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        QString value = qEnvironmentVariable(name).trimmed();
        if (!value.isEmpty()) {
            return value.toStdString();
        }
    }
    return {};
}

}  // namespace

std::string ThisPc() {
    std::string name = FirstSet({"K57_PC_NAME"});
    return name.empty() ? QSysInfo::machineHostName().toStdString() : name;
}

std::string ThisUser() {
    std::string name = FirstSet({"K57_USER_NAME", "USER", "USERNAME", "LOGNAME"});
    // A service or a shell that sets none of them: the home folder is
    // named after the login on every system the tool runs on.
    return name.empty() ? QDir::home().dirName().toStdString() : name;
}

std::string NewUuid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
}

}  // namespace k57
