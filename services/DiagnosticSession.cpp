#include "DiagnosticSession.h"

#include <algorithm>
#include <string>

namespace k57 {

void DiagnosticSession::Stop() {
    if (link_) {
        link_->Close();
    }
    link_ = nullptr;
}

bool DiagnosticSession::Connected() const {
    return link_ && link_->WaitForInput(0);
}

DiagnosticLines::Result DiagnosticSession::Pump(int maxBytes, int waitMs) {
    if (!link_ || (waitMs > 0 && !link_->WaitForInput(uint32_t(waitMs)))) {
        return {};
    }
    int waiting = std::min(link_->Available(), maxBytes);
    if (waiting <= 0) {
        return {};
    }
    std::string bytes(size_t(waiting), '\0');
    if (link_->Read(bytes.data(), waiting) != waiting) {
        return {};
    }
    return lines_.Feed(bytes);
}

}  // namespace k57
