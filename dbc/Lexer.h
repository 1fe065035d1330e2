#pragma once

#include <string_view>
#include <vector>

// The words of a DBC file. Internal to the parser.
namespace k57::dbc {

struct Token {
    enum Kind {
        Word,    // letters, digits and '_', not a number: BO_, 64_BIT_LE
        Number,  // 12, 0.005, 1E-005 (no sign: '-' and '+' are punctuation)
        String,  // the bytes between the quotes, escapes kept
        Punct,   // one character: : | @ + - ( ) [ ] , ; and anything unknown
    };
    Kind kind;
    std::string_view text;
    int line;              // where the token starts, from 1
    bool lineStart;        // the first token on its line
    bool atColumnZero;     // lineStart and not indented
};

struct LexResult {
    // A token takes 32 bytes: a text of nothing but signs would take 32
    // times its size. Real databases have one token in four or five bytes,
    // so this is far beyond any of them (about 12 MB of DBC text).
    static constexpr size_t kMaxTokens = 3'000'000;

    std::vector<Token> tokens;
    int unterminatedStringLine = 0;  // the lexing stopped at that string
    bool tooMany = false;            // the lexing stopped at kMaxTokens
};

// `text` must outlive the tokens. "//" starts a comment to the end of the line.
LexResult Lex(std::string_view text);

}  // namespace k57::dbc
