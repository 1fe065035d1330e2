#include "CandumpReader.h"

#include <string_view>

#include "FileRead.h"
#include "HexDigit.h"

namespace k57 {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// "(SECONDS.FRACTION)" from `at`, as microseconds.
bool ReadStamp(const std::string& line, size_t& at, int64_t& microseconds) {
    if (at >= line.size() || line[at] != '(') {
        return false;
    }
    int64_t seconds = 0, fraction = 0;
    int digits = 0, fractionDigits = 0;
    bool point = false;
    for (++at; at < line.size() && line[at] != ')'; ++at) {
        char c = line[at];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9' && !point && digits < 12) {
            seconds = seconds * 10 + (c - '0');
            ++digits;
        } else if (c >= '0' && c <= '9' && point) {
            if (fractionDigits < 6) {
                fraction = fraction * 10 + (c - '0');
            }
            ++fractionDigits;
        } else {
            return false;
        }
    }
    if (at >= line.size() || digits == 0) {
        return false;
    }
    ++at;
    for (int i = fractionDigits; i < 6; ++i) {
        fraction *= 10;
    }
    microseconds = seconds * 1000000 + fraction;
    return true;
}

// Views into the line rather than copies: a log has millions of lines.
std::string_view Word(const std::string& line, size_t& at) {
    while (at < line.size() && IsSpace(line[at])) {
        ++at;
    }
    size_t start = at;
    while (at < line.size() && !IsSpace(line[at])) {
        ++at;
    }
    return std::string_view(line).substr(start, at - start);
}

}  // namespace

bool ParseCandumpLine(const std::string& line, CandumpFrame& frame, std::string& reason) {
    std::string interface = std::move(frame.interface);  // its buffer, kept for the next line
    frame = CandumpFrame{};
    frame.interface = std::move(interface);
    frame.interface.clear();
    size_t at = 0;
    while (at < line.size() && IsSpace(line[at])) {
        ++at;
    }
    if (!ReadStamp(line, at, frame.microseconds)) {
        reason = "no \"(seconds.micros)\" stamp";
        return false;
    }
    frame.interface = Word(line, at);
    std::string_view text = Word(line, at);
    if (frame.interface.empty() || text.empty()) {
        reason = "no interface and ID#DATA after the stamp";
        return false;
    }
    if (!Word(line, at).empty()) {
        reason = "more after ID#DATA";
        return false;
    }
    size_t hash = text.find('#');
    if (hash == std::string_view::npos || (hash != 3 && hash != 8)) {
        reason = "the identifier is not 3 or 8 hex digits before '#'";
        return false;
    }
    if (text.substr(hash, 2) == "##") {
        reason.clear();  // CAN FD
        return false;
    }
    for (size_t i = 0; i < hash; ++i) {
        int digit = HexDigit(text[i]);
        if (digit < 0) {
            reason = "the identifier is not hex";
            return false;
        }
        frame.id = frame.id << 4 | uint32_t(digit);
    }
    frame.extended = hash == 8;
    if (frame.id > (frame.extended ? 0x1FFFFFFFu : 0x7FFu)) {
        reason = "identifier out of range (an error frame?)";
        return false;
    }
    std::string_view payload = text.substr(hash + 1);
    if (!payload.empty() && (payload[0] == 'R' || payload[0] == 'r')) {
        frame.remote = true;
        int length = payload.size() == 2 ? HexDigit(payload[1]) : payload.size() == 1 ? 0 : -1;
        if (length < 0 || length > 8) {
            reason = "a remote frame's length is not 0 to 8";
            return false;
        }
        frame.length = uint8_t(length);
        return true;
    }
    // can-utils may separate bytes with dots and add "_L" for a length code
    // above 8.
    size_t underscore = payload.find('_');
    if (underscore != std::string_view::npos) {
        if (underscore + 2 != payload.size() || HexDigit(payload[underscore + 1]) < 0) {
            reason = "malformed length code after '_'";
            return false;
        }
        payload = payload.substr(0, underscore);
    }
    int nibble = -1;
    for (char c : payload) {
        if (c == '.' && nibble < 0) {
            continue;
        }
        int digit = HexDigit(c);
        if (digit < 0) {
            reason = "the data are not pairs of hex digits";
            return false;
        }
        if (nibble < 0) {
            nibble = digit;
        } else if (frame.length == 8) {
            reason = "more than 8 data bytes";
            return false;
        } else {
            frame.data[frame.length++] = uint8_t(nibble << 4 | digit);
            nibble = -1;
        }
    }
    if (nibble >= 0) {
        reason = "the data are not pairs of hex digits";
        return false;
    }
    return true;
}

bool CandumpReader::Next(CandumpFrame& frame) {
    std::string& line = lineText_;
    std::string& reason = reason_;
    bool cut = false;
    while (ReadLine(in_, line, FileLimits::kLine, cut)) {
        ++line_;
        if (cut) {
            Malformed("longer than " + std::to_string(FileLimits::kLine) + " bytes");
            continue;
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        if (ParseCandumpLine(line, frame, reason)) {
            return true;
        }
        if (reason.empty()) {
            ++canFd_;
        } else {
            Malformed(reason);
        }
    }
    return false;
}

void CandumpReader::Malformed(const std::string& message) {
    ++malformed_;
    if (problems_.size() < kMaxProblems) {
        problems_.push_back({line_, message});
    }
}

}  // namespace k57
