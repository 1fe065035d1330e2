// The diagnostic line reader: any split of the same bytes gives the same
// readings and events.

#include <cstdlib>

#include "DiagnosticLines.h"

namespace {

struct Seen {
    std::vector<std::string> events;
    std::optional<int> axis[3];
};

void Add(Seen& seen, const k57::DiagnosticLines::Result& result) {
    seen.events.insert(seen.events.end(), result.events.begin(), result.events.end());
    for (int i = 0; i < 3; ++i) {
        if (result.axis[i]) {
            seen.axis[i] = result.axis[i];
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    k57::DiagnosticLines whole, pieces;
    Seen once, split;
    Add(once, whole.Feed(bytes));
    uint8_t step = data[0];
    for (size_t at = 0; at < bytes.size();) {
        step = uint8_t(step * 73 + 11);
        size_t n = std::min(bytes.size() - at, size_t(1 + step % 17));
        Add(split, pieces.Feed(bytes.substr(at, n)));
        at += n;
    }
    if (once.events != split.events) {
        std::abort();
    }
    for (int i = 0; i < 3; ++i) {
        if (once.axis[i] != split.axis[i]) {
            std::abort();
        }
    }
    return 0;
}
