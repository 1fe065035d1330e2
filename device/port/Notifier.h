#pragma once

#include <string>
#include <utility>
#include <vector>

namespace k57 {

// A text for the user. The program's own words are UTF-8; words that came
// from the unit stay Windows-1251 bytes until the text is shown.
class NoticeText {
  public:
    NoticeText() = default;
    NoticeText(const char* utf8) { add(utf8); }
    NoticeText(const std::string& utf8) { add(utf8); }

    NoticeText& add(const std::string& utf8);
    NoticeText& addUnitText(const std::string& windows1251);
    std::string toUtf8() const;

  private:
    struct Run {
        bool fromUnit;
        std::string bytes;
    };
    std::vector<Run> runs_;
};

// Opaque handle of the window that owns a message box; null for none.
using WindowHandle = void*;

// The device layer's only way to reach the user: one-button message boxes.
// The GUI installs its own; until then the default writes to stderr.
class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void Notify(WindowHandle owner, const std::string& caption, const NoticeText& text) = 0;
};

Notifier& CurrentNotifier();
// Installs `notifier` (not owned); null restores the stderr default.
void SetNotifier(Notifier* notifier);

}  // namespace k57
