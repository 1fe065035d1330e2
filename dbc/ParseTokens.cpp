#include "Numbers.h"
#include "ParseContext.h"

// Reading a statement's fields: the next token of the statement and what it
// must be, the numbers with and without signs, the statement's end, and the
// diagnostics with the line they belong to.
namespace k57::dbc {

namespace {

// A quoted text's bytes without their escapes: \" and \\ stand for " and \.
std::string Unescape(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) {
            ++i;
        }
        out += raw[i];
    }
    return out;
}

}  // namespace

bool Parser::Accept(char c) {
    if (IsPunct(Next(), c)) {
        ++at_;
        return true;
    }
    return false;
}

bool Parser::Expect(char c, const char* where) {
    if (Accept(c)) {
        return true;
    }
    return Unexpected(std::string("'") + c + "' " + where);
}

bool Parser::Unexpected(const std::string& wanted) {
    const Token* found = Next();
    if (!found && truncated_ && at_ >= tokens_.size()) {
        return false;  // the unclosed text is the fault, reported once
    }
    std::string what = found                   ? Quoted(found)
                       : at_ >= tokens_.size() ? "the end of the file"
                       : lineBound_            ? "the end of the line"
                                               : "the next statement";
    Error(found ? found->line : LastLine(), "expected " + wanted + ", found " + what);
    return false;
}

const Token* Parser::TakeOf(Token::Kind kind, const char* what) {
    const Token* token = Next();
    if (!token || token->kind != kind) {
        Unexpected(what);
        return nullptr;
    }
    ++at_;
    return token;
}

std::optional<std::string> Parser::Word(const char* what) {
    const Token* token = TakeOf(Token::Word, what);
    return token ? std::optional<std::string>(token->text) : std::nullopt;
}

std::optional<std::string> Parser::String(const char* what) {
    const Token* token = TakeOf(Token::String, what);
    return token ? std::optional<std::string>(Text(token)) : std::nullopt;
}

std::string Parser::Text(const Token* token) {
    return ToUtf8(Unescape(token->text), encoding_);
}

template <typename T>
std::optional<T> Parser::TakeNumber(const char* what, T largest) {
    const Token* token = Next();
    std::optional<T> value;
    if (token && token->kind == Token::Number) {
        value = Read<T>(token->text);
    }
    if (!value || *value > largest) {
        Unexpected(what);
        return std::nullopt;
    }
    ++at_;
    return value;
}

std::optional<double> Parser::Real(const char* what) {
    bool negative = Accept('-');
    if (!negative) {
        Accept('+');
    }
    std::optional<double> value = TakeNumber<double>(what);
    return value && negative ? -*value : value;
}

std::optional<int64_t> Parser::Integer(const char* what) {
    bool negative = Accept('-');
    std::optional<uint64_t> value = TakeNumber<uint64_t>(what);
    if (!value) {
        return std::nullopt;
    }
    return negative ? int64_t(0 - *value) : int64_t(*value);
}

std::optional<uint64_t> Parser::Unsigned(const char* what, uint64_t largest) {
    return TakeNumber<uint64_t>(what, largest);
}

void Parser::SkipLine() {
    while (at_ < tokens_.size() && !tokens_[at_].lineStart) {
        ++at_;
    }
}

void Parser::SkipStatement() {
    lineBound_ = false;
    while (const Token* token = Take()) {
        if (IsPunct(token, ';')) {
            return;
        }
    }
}

bool Parser::End(const Token& keyword) {
    if (Accept(';')) {
        return true;
    }
    if (!Next()) {
        Warn(LastLine(), "no ';' at the end of " + std::string(keyword.text));
        return true;
    }
    return Unexpected("';' to end " + std::string(keyword.text));
}

void Parser::EndOfLine(const Token& keyword) {
    if (const Token* extra = Next()) {
        Error(extra->line,
              "unexpected " + Quoted(extra) + " after " + std::string(keyword.text) + "'s fields");
        SkipLine();
    }
}

void Parser::Error(int line, const std::string& message) {
    Note({file_, line, message, false});
}
void Parser::Warn(int line, const std::string& message) {
    Note({file_, line, message, true});
}
// A file of nothing but errors would keep one for every line.
void Parser::Note(Diagnostic diagnostic) {
    if (result_.diagnostics.size() < ParseResult::kMaxDiagnostics) {
        result_.diagnostics.push_back(std::move(diagnostic));
    } else {
        ++(diagnostic.warning ? result_.unlistedWarnings : result_.unlistedErrors);
    }
}

}  // namespace k57::dbc
