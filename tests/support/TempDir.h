#pragma once

#include <string>

namespace k57::test {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Points the COM port mapping at a private, empty ports directory for the
// life of the object, so tests never see a user's ports or real devices.
class IsolatedPorts {
  public:
    IsolatedPorts();
    ~IsolatedPorts();
    const std::string& directory() const { return dir_.path(); }

  private:
    TempDir dir_;
};

// Points the stored port at a private settings file (on Windows, a private
// registry key), and the service journal (K57_DATA_DIR) at the same private
// directory, for the life of the object.
class IsolatedSettings {
  public:
    IsolatedSettings();
    ~IsolatedSettings();
    const std::string& key() const { return key_; }
    // Where the settings file lives (XDG_CONFIG_HOME for a child program).
    const std::string& directory() const { return dir_.path(); }

  private:
    void UseDataDir();
    void GiveBackDataDir();

    TempDir dir_;
    std::string key_;
    std::string dataDir_;  // K57_DATA_DIR before, given back at the end
    bool hadDataDir_ = false;
};

}  // namespace k57::test
