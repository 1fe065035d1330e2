#pragma once

#include <string>

namespace k57 {

// A settings file on disk: the settings text's key=value lines in
// Windows-1251, each ended by CR LF. Paths are UTF-8.
class SettingsFile {
  public:
    // Settings files are a few hundred bytes; these bound what is taken.
    static constexpr long long kMaxSize = 1 << 20;
    static constexpr size_t kMaxLine = 4096;

    enum class Problem { None, Unreadable, TooLarge, NulByte, LongLine };

    // The file's bytes as a settings text (the text reader takes CR LF, LF
    // or CR). A file that cannot be read, is larger than kMaxSize, holds a
    // NUL byte (which would end the text there) or a line longer than
    // kMaxLine is refused: `problem` says which, and `detail` gives the
    // system's reason or the number of the line at fault.
    static bool Read(const std::string& path, std::string& text, Problem& problem,
                     std::string& detail);
    // Writes a settings text whose lines end in LF, as the list makes it,
    // with CR LF line ends. The file is written beside the old one and
    // renamed over it, so a failure leaves the previous file whole.
    static bool Write(const std::string& path, const std::string& text, std::string& error);
    // The text with every LF preceded by CR.
    static std::string WithCrLf(const std::string& text);
};

}  // namespace k57
