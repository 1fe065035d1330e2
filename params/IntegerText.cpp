#include "IntegerText.h"

namespace k57 {

namespace {

int DigitValue(char c, int base) {
    int d = c >= '0' && c <= '9'   ? c - '0'
            : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                   : 99;
    return d < base ? d : -1;
}

}  // namespace

bool ParseInteger(const std::string& text, int32_t& value) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) {
        return false;
    }
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') {
        ++i;
    }
    int base = 10;
    if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i += 1;
    }
    if (i >= text.size()) {
        return false;
    }
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int d = DigitValue(text[i], base);
        if (d < 0) {
            return false;
        }
        magnitude = magnitude * base + d;
        if (magnitude > limit) {
            return false;
        }
    }
    value = int32_t(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace k57
