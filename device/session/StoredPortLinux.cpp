// The stored port off Windows: a per-user settings file.

#include <QSettings>
#include <memory>

#include "StoredPort.h"

namespace k57::StoredPort {

namespace {

std::unique_ptr<QSettings> Open() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "k57tool",
                                       "k57tool");
}

}  // namespace

std::string Read() {
    QVariant value = Open()->value("Port");
    return value.toString().toStdString();
}

bool Write(const std::string& port) {
    auto settings = Open();
    settings->setValue("Port", QString::fromStdString(port));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace k57::StoredPort
