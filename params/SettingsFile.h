#pragma once

#include <string>

namespace k57 {

// A settings file on disk: the settings text's key=value lines in
// Windows-1251, each ended by CR LF. Paths are UTF-8.
class SettingsFile {
  public:
    // The file's bytes as a settings text (the text reader takes CR LF, LF
    // or CR); false with `error` set when it cannot be read.
    static bool Read(const std::string& path, std::string& text, std::string& error);
    // Writes a settings text whose lines end in LF, as the list makes it,
    // with CR LF line ends. The file is written beside the old one and
    // renamed over it, so a failure leaves the previous file whole.
    static bool Write(const std::string& path, const std::string& text, std::string& error);
    // The text with every LF preceded by CR.
    static std::string WithCrLf(const std::string& text);
};

}  // namespace k57
