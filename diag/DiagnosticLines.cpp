#include "DiagnosticLines.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace k57 {

namespace {

const char* const kEventTags[] = {"$AccE:", "$VS:", "$Can:"};

bool StartsWith(const std::string& s, size_t at, const char* tag) {
    return s.compare(at, std::strlen(tag), tag) == 0;
}

// The longest prefix of `s` (after blanks) that is a decimal number:
// sign, digits with an optional point, optional exponent.
std::string NumberPrefix(const std::string& s) {
    size_t i = s.find_first_not_of(" \t\r\n\v\f");
    if (i == std::string::npos) {
        return {};
    }
    size_t start = i;
    if (s[i] == '+' || s[i] == '-') {
        ++i;
    }
    size_t digits = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, ++digits) {
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i, ++digits) {
        }
    }
    if (digits == 0) {
        return {};
    }
    size_t mantissaEnd = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t e = i + 1;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            ++e;
        }
        size_t expDigits = e;
        while (e < s.size() && std::isdigit(static_cast<unsigned char>(s[e]))) {
            ++e;
        }
        i = e > expDigits ? e : mantissaEnd;
    }
    return s.substr(start, i - start);
}

// Splits `s` at any of `delimiters`, skipping empty pieces.
std::vector<std::string> Tokens(const std::string& s, const char* delimiters) {
    std::vector<std::string> tokens;
    for (size_t at = s.find_first_not_of(delimiters); at != std::string::npos;) {
        size_t end = s.find_first_of(delimiters, at);
        tokens.push_back(s.substr(at, end - at));
        at = end == std::string::npos ? end : s.find_first_not_of(delimiters, end);
    }
    return tokens;
}

}  // namespace

int ReadingValue(const std::string& token) {
    std::string number = NumberPrefix(token);
    if (number.empty()) {
        return 0;
    }
    float value = std::strtof(number.c_str(), nullptr);
    if (!(value >= -2147483648.0f && value < 2147483648.0f)) {
        return value < 0 ? INT32_MIN : INT32_MAX;  // beyond the label's integer
    }
    return int(value);
}

double ReadingReal(const std::string& token) {
    std::string number = NumberPrefix(token);
    if (!number.empty() && number[0] == '+') {
        number.erase(0, 1);  // from_chars takes no plus sign
    }
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

DiagnosticLines::Result DiagnosticLines::Feed(const std::string& bytes) {
    Result result;
    pending_ += bytes;
    size_t start = 0;
    for (size_t end; (end = pending_.find_first_of("\r\n", start)) != std::string::npos;
         start = end + 1) {
        HandleLine(pending_.substr(start, end - start), result);
    }
    pending_.erase(0, start);
    if (pending_.size() > kMaxPending) {
        pending_.clear();  // no line is this long: drop what never ends
    }
    return result;
}

void DiagnosticLines::HandleLine(const std::string& line, Result& result) const {
    for (size_t at = line.find('$'); at != std::string::npos; at = line.find('$', at + 1)) {
        if (StartsWith(line, at, "$AccD:")) {
            // The tag runs to the first ':' or TAB; up to three values follow.
            size_t tagEnd = line.find_first_of(":\t", at);
            std::vector<std::string> values = Tokens(line.substr(tagEnd + 1), ",\t");
            Result::Reading reading{{NAN, NAN, NAN}};
            for (size_t i = 0; i < values.size() && i < 3; ++i) {
                result.axis[i] = ReadingValue(values[i]);
                reading.axis[i] = ReadingReal(values[i]);
            }
            if (!values.empty()) {
                result.readings.push_back(reading);
            }
            continue;
        }
        for (const char* tag : kEventTags) {
            if (StartsWith(line, at, tag)) {
                result.events.push_back(line.substr(at));
            }
        }
    }
}

}  // namespace k57
