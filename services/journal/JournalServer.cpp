#include "JournalServer.h"

#include "PrivateFiles.h"
#include "ToolSettings.h"

namespace k57 {

namespace {

constexpr const char* kKey = "Journal/server";

}  // namespace

bool ServerFromEnvironment() {
    return !qEnvironmentVariable("K57_JOURNAL_SERVER").trimmed().isEmpty();
}

std::string ConfiguredServer() {
    if (ServerFromEnvironment()) {
        return qEnvironmentVariable("K57_JOURNAL_SERVER").trimmed().toStdString();
    }
    return ToolSettings().value(kKey).toString().trimmed().toStdString();
}

bool StoreServer(const std::string& conninfo) {
    QSettings settings = ToolSettings();
    if (conninfo.empty()) {
        settings.remove(kKey);
    } else {
        settings.setValue(kKey, QString::fromStdString(conninfo));
    }
    settings.sync();
    // The address may hold a password: the file is the user's alone.
    privatefiles::MakePrivate(settings.fileName().toStdString());
    return settings.status() == QSettings::NoError;
}

}  // namespace k57
