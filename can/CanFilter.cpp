#include "CanFilter.h"

#include <cstdio>

namespace k57 {

namespace {

constexpr uint32_t kStandardBits = 0x7FF, kExtendedBits = 0x1FFFFFFF;

// Hex digits only, 1 to 8 of them.
bool HexNumber(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    value = 0;
    for (char c : text) {
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + uint32_t(digit);
    }
    return true;
}

bool Word(const std::string& word, CanFilter::Rule& rule, std::string& error) {
    if (word.size() < 2 || (word[0] != '+' && word[0] != '-')) {
        error = "\"" + word + "\": a filter word is +ID, -ID, +ID/MASK or -ID/MASK";
        return false;
    }
    rule.include = word[0] == '+';
    size_t slash = word.find('/');
    std::string id = word.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    rule.extended = id.size() > 3;
    uint32_t bits = rule.extended ? kExtendedBits : kStandardBits;
    if (!HexNumber(id, rule.id) || rule.id > bits) {
        error = "\"" + word + "\": the identifier is not 1 to 3 hex digits up to 7FF, or 4 to 8 up to 1FFFFFFF";
        return false;
    }
    rule.mask = bits;
    if (slash != std::string::npos &&
        (!HexNumber(word.substr(slash + 1), rule.mask) || rule.mask > bits)) {
        error = "\"" + word + "\": the mask is not a hex number within the identifier's bits";
        return false;
    }
    return true;
}

}  // namespace

bool CanFilter::Parse(const std::string& text, CanFilter& filter, std::string& error) {
    CanFilter parsed;
    std::string word;
    for (size_t i = 0; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ' ';
        if (c != ' ' && c != ',' && c != '\t' && c != '\r' && c != '\n') {
            word += c;
            continue;
        }
        if (word.empty()) {
            continue;
        }
        Rule rule;
        if (!Word(word, rule, error)) {
            return false;
        }
        parsed.anyInclude_ = parsed.anyInclude_ || rule.include;
        parsed.rules_.push_back(rule);
        word.clear();
    }
    filter = std::move(parsed);
    return true;
}

bool CanFilter::Passes(uint32_t id, bool extended) const {
    bool included = !anyInclude_;
    for (const Rule& rule : rules_) {
        if (rule.extended != extended || (id & rule.mask) != (rule.id & rule.mask)) {
            continue;
        }
        if (!rule.include) {
            return false;
        }
        included = true;
    }
    return included;
}

std::string CanFilter::Text() const {
    std::string text;
    for (const Rule& rule : rules_) {
        char word[32];
        uint32_t bits = rule.extended ? kExtendedBits : kStandardBits;
        int n = std::snprintf(word, sizeof word, rule.extended ? "%c%08X" : "%c%03X",
                              rule.include ? '+' : '-', unsigned(rule.id));
        if (rule.mask != bits) {
            std::snprintf(word + n, sizeof word - size_t(n), "/%X", unsigned(rule.mask));
        }
        text += (text.empty() ? "" : " ") + std::string(word);
    }
    return text;
}

}  // namespace k57
