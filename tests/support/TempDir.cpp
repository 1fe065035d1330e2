#include "TempDir.h"

#include <QSettings>
#include <cstdlib>
#include <filesystem>

namespace k57::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "k57test-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
        path_ = pattern;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

IsolatedPorts::IsolatedPorts() {
    setenv("K57_PORTS_DIR", dir_.path().c_str(), 1);
}

IsolatedPorts::~IsolatedPorts() {
    unsetenv("K57_PORTS_DIR");
}

IsolatedSettings::IsolatedSettings() {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(dir_.path()));
}

}  // namespace k57::test
