#include "TextArguments.h"

namespace k57 {

std::string WithArguments(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            size_t n = static_cast<size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                result += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

}  // namespace k57
