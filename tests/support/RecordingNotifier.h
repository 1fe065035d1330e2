#pragma once

#include <string>
#include <vector>

#include "Notifier.h"

namespace k57::test {

// Collects the device layer's message boxes while it is installed.
class RecordingNotifier : public Notifier {
  public:
    struct Box {
        WindowHandle owner;
        std::string caption;
        std::string text;
    };

    RecordingNotifier() { SetNotifier(this); }
    ~RecordingNotifier() override { SetNotifier(nullptr); }

    void Notify(WindowHandle owner, const std::string& caption, const NoticeText& text) override {
        boxes.push_back({owner, caption, text.toUtf8()});
    }

    std::vector<Box> boxes;
};

}  // namespace k57::test
