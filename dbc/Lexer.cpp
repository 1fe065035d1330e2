#include "Lexer.h"

#include <algorithm>

namespace k57::dbc {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) {
    return IsDigit(c) || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The length of the number at `at`: digits, an optional fraction and an
// optional exponent; 0 when there is none or a word goes on after it.
size_t NumberLength(std::string_view text, size_t at) {
    size_t end = at;
    auto digits = [&] {
        size_t from = end;
        while (end < text.size() && IsDigit(text[end])) {
            ++end;
        }
        return end > from;
    };
    bool whole = digits();
    bool fraction = false;
    if (end < text.size() && text[end] == '.') {
        ++end;
        fraction = digits();
    }
    if (!whole && !fraction) {
        return 0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t mark = end++;
        if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
            ++end;
        }
        if (!digits()) {
            end = mark;
        }
    }
    return end < text.size() && IsWordChar(text[end]) ? 0 : end - at;
}

}  // namespace

LexResult Lex(std::string_view text) {
    LexResult result;
    // Never reallocated, so never held twice; the untouched part takes no memory.
    result.tokens.reserve(std::min(text.size() + 1, LexResult::kMaxTokens));
    int line = 1;
    bool lineStart = true;
    bool indented = false;
    size_t at = 0;
    while (at < text.size()) {
        char c = text[at];
        if (c == '\n') {
            ++line;
            lineStart = true;
            indented = false;
            ++at;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            indented = indented || lineStart;
            ++at;
            continue;
        }
        if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            while (at < text.size() && text[at] != '\n') {
                ++at;
            }
            continue;
        }
        Token token{Token::Punct, {}, line, lineStart, lineStart && !indented};
        lineStart = false;
        if (c == '"') {
            size_t end = at + 1;
            int lines = 0;
            while (end < text.size() && text[end] != '"') {
                if (text[end] == '\\' && end + 1 < text.size()) {
                    ++end;
                }
                lines += text[end] == '\n';
                ++end;
            }
            if (end >= text.size()) {
                result.unterminatedStringLine = line;
                return result;
            }
            token.kind = Token::String;
            token.text = text.substr(at + 1, end - at - 1);
            line += lines;
            at = end + 1;
        } else if (size_t length = NumberLength(text, at)) {
            token.kind = Token::Number;
            token.text = text.substr(at, length);
            at += length;
        } else if (IsWordChar(c)) {
            size_t end = at;
            while (end < text.size() && IsWordChar(text[end])) {
                ++end;
            }
            token.kind = Token::Word;
            token.text = text.substr(at, end - at);
            at = end;
        } else {
            token.text = text.substr(at, 1);
            ++at;
        }
        if (result.tokens.size() == LexResult::kMaxTokens) {
            result.tooMany = true;
            return result;
        }
        result.tokens.push_back(token);
    }
    return result;
}

}  // namespace k57::dbc
