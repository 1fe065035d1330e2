#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Lexer.h"
#include "Parse.h"

// What the parts of the DBC parser share: where reading stands in the
// tokens, the database being built and the diagnostics. Internal to the
// parser; each group of statements reads itself in its own file.
namespace k57::dbc {

// A statement keyword of the format (Parse.cpp).
bool IsKeyword(std::string_view word);
// A token as a diagnostic names it: 'BO_', or "a text" for a quoted one.
std::string Quoted(const Token* token);

class Parser {
  public:
    // `truncated`: the tokens stop at a text in quotes that is never closed.
    Parser(std::vector<Token> tokens, bool truncated, Encoding encoding, const std::string& file,
           ParseResult& result)
        : tokens_(std::move(tokens)),
          truncated_(truncated),
          encoding_(encoding),
          file_(file),
          result_(result) {}

    void Run();

  private:
    // --- the statements, by keyword (Parse.cpp)
    void Statement(const Token& keyword);
    bool Unused(const Token& keyword);

    // --- tokens (ParseTokens.cpp)

    // The next token of the current statement, or nullptr: a line-bound
    // statement ends with its line, any statement where the next begins.
    const Token* Next() const {
        if (at_ >= tokens_.size()) {
            return nullptr;
        }
        const Token& token = tokens_[at_];
        if (token.lineStart &&
            (lineBound_ || (token.kind == Token::Word && IsKeyword(token.text)))) {
            return nullptr;
        }
        return &token;
    }
    const Token* Take() {
        const Token* token = Next();
        if (token) {
            ++at_;
        }
        return token;
    }
    bool IsPunct(const Token* token, char c) const {
        return token && token->kind == Token::Punct && token->text[0] == c;
    }
    bool Accept(char c);
    bool Expect(char c, const char* where);
    bool Unexpected(const std::string& wanted);
    int LastLine() const { return at_ > 0 ? tokens_[at_ - 1].line : 1; }

    // The next token if it is of `kind`; else an error and nullptr.
    const Token* TakeOf(Token::Kind kind, const char* what);
    std::optional<std::string> Word(const char* what);
    std::optional<std::string> String(const char* what);
    std::string Text(const Token* token);

    // The next token as a number of type T up to `largest`; else an error.
    template <typename T>
    std::optional<T> TakeNumber(const char* what, T largest = std::numeric_limits<T>::max());
    // A number with an optional sign.
    std::optional<double> Real(const char* what);
    // An integer with an optional sign. Values above INT64_MAX keep their
    // 64 bits, as a 64-bit unsigned signal's raw value does.
    std::optional<int64_t> Integer(const char* what);
    std::optional<uint64_t> Unsigned(const char* what, uint64_t largest);

    void SkipLine();
    // To the statement's ';' or to where the next statement begins.
    void SkipStatement();
    // The statement's ';'. Where the next statement begins instead, the
    // statement counts as complete: some tools leave the ';' out.
    bool End(const Token& keyword);
    void EndOfLine(const Token& keyword);

    void Error(int line, const std::string& message);
    void Warn(int line, const std::string& message);
    void Note(Diagnostic diagnostic);

    // --- messages and their signals: BO_, SG_ (ParseMessages.cpp)
    Message* MessageFor(uint64_t dbcId);
    // The signal a statement names by message and signal, or a warning.
    Signal* SignalFor(int line, int64_t dbcId, const std::string& name, const char* keyword);
    void MessageLine(const Token& keyword);
    void SignalLine(const Token& keyword);
    bool SignalFields(Signal& signal);

    // --- comments: CM_ (ParseComments.cpp)
    bool Comment(const Token& keyword);

    // --- what a signal's values mean: VAL_, SIG_VALTYPE_ (ParseValues.cpp)
    bool ValueTexts(const Token& keyword);
    bool ValueTypeOf(const Token& keyword);

    // --- multiplexing: SG_'s M and mN, SG_MUL_VAL_ (ParseMultiplexing.cpp)
    bool Multiplexing(const std::string& word, Signal& signal);
    bool MultiplexValues(const Token& keyword);

    std::vector<Token> tokens_;
    bool truncated_;
    Encoding encoding_;
    const std::string& file_;
    ParseResult& result_;
    size_t at_ = 0;
    bool lineBound_ = true;
    int current_ = -1;           // the message SG_ lines belong to
    bool inBadMessage_ = false;  // its BO_ line was refused: its SG_ lines go quietly
    std::unordered_map<uint64_t, size_t> byDbcId_;
    std::set<std::pair<uint64_t, std::string>> extendedDone_;  // signals SG_MUL_VAL_ named
};

}  // namespace k57::dbc
