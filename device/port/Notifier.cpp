#include "Notifier.h"

#include <cstdio>

#include "Cp1251.h"

namespace k57 {

NoticeText& NoticeText::add(const std::string& utf8) {
    runs_.push_back({false, utf8});
    return *this;
}

NoticeText& NoticeText::addUnitText(const std::string& windows1251) {
    runs_.push_back({true, windows1251});
    return *this;
}

std::string NoticeText::toUtf8() const {
    std::string out;
    for (const Run& run : runs_) {
        if (!run.fromUnit) {
            out += run.bytes;
            continue;
        }
        out += cp1251::ToUtf8(run.bytes);
    }
    return out;
}

namespace {

class StderrNotifier : public Notifier {
  public:
    void Notify(WindowHandle, const std::string& caption, const NoticeText& text) override {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.toUtf8().c_str());
    }
};

StderrNotifier defaultNotifier;
Notifier* current = &defaultNotifier;

}  // namespace

Notifier& CurrentNotifier() {
    return *current;
}

void SetNotifier(Notifier* notifier) {
    current = notifier ? notifier : &defaultNotifier;
}

}  // namespace k57
