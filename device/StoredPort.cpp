#include "StoredPort.h"

#include <QSettings>
#include <memory>

namespace k57::StoredPort {

namespace {

std::unique_ptr<QSettings> Open() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>("HKEY_LOCAL_MACHINE\\SOFTWARE\\ZK\\VM_USB_PORT",
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "k57tool",
                                       "k57tool");
#endif
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
