#include "TempDir.h"

#include <QSettings>
#include <QtGlobal>
#include <filesystem>
#include <random>

#ifdef _WIN32
#include <windows.h>
#endif

namespace k57::test {

namespace {

std::string RandomName(const char* prefix) {
    static std::mt19937 random{std::random_device{}()};
    return prefix + std::to_string(random());
}

}  // namespace

TempDir::TempDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / RandomName("k57test-");
        if (fs::create_directory(candidate, error)) {
            path_ = candidate.generic_string();
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

IsolatedPorts::IsolatedPorts() {
    qputenv("K57_PORTS_DIR", QByteArray::fromStdString(dir_.path()));
}

IsolatedPorts::~IsolatedPorts() {
    qunsetenv("K57_PORTS_DIR");
}

void IsolatedSettings::UseDataDir() {
    hadDataDir_ = qEnvironmentVariableIsSet("K57_DATA_DIR");
    dataDir_ = qEnvironmentVariable("K57_DATA_DIR").toStdString();
    qputenv("K57_DATA_DIR", QByteArray::fromStdString(dir_.path()));
}

void IsolatedSettings::GiveBackDataDir() {
    if (hadDataDir_) {
        qputenv("K57_DATA_DIR", QByteArray::fromStdString(dataDir_));
    } else {
        qunsetenv("K57_DATA_DIR");
    }
}

#ifdef _WIN32
// The stored port goes to a registry key of the test's own.
IsolatedSettings::IsolatedSettings() : key_("SOFTWARE\\ZK\\" + RandomName("k57test-")) {
    qputenv("K57_REGISTRY_KEY", QByteArray::fromStdString(key_));
    UseDataDir();
}

IsolatedSettings::~IsolatedSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_.c_str());
    qunsetenv("K57_REGISTRY_KEY");
    GiveBackDataDir();
}
#else
IsolatedSettings::IsolatedSettings() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir_.path()));
    UseDataDir();
}

IsolatedSettings::~IsolatedSettings() {
    GiveBackDataDir();
}
#endif

}  // namespace k57::test
