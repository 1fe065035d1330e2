#include "Parse.h"

#include "FileRead.h"
#include "ParseContext.h"

// The file as a whole: statements one after another, each read by the part
// of the parser that knows its keyword; what the model has no use for is
// counted and read past.
namespace k57::dbc {

namespace {

// Every statement keyword of the format: a line that starts with one of
// them starts a new statement, which ends one that lacks its ';'.
const std::set<std::string_view> kKeywords = {
    "VERSION",     "NS_",          "BS_",          "BU_",           "BO_",
    "SG_",         "CM_",          "VAL_",         "SIG_VALTYPE_",  "SG_MUL_VAL_",
    "BA_DEF_",     "BA_",          "BA_DEF_DEF_",  "BA_DEF_REL_",   "BA_REL_",
    "BA_DEF_DEF_REL_", "BA_DEF_SGTYPE_", "BA_SGTYPE_", "VAL_TABLE_", "BO_TX_BU_",
    "EV_",         "ENVVAR_DATA_", "SIG_GROUP_",   "SIG_TYPE_REF_", "SGTYPE_",
    "SGTYPE_VAL_", "SIGTYPE_VALTYPE_", "BU_SG_REL_", "BU_EV_REL_",  "BU_BO_REL_",
    "CAT_DEF_",    "CAT_",         "FILTER",       "EV_DATA_",      "NS_DESC_",
};

}  // namespace

bool IsKeyword(std::string_view word) {
    return kKeywords.count(word) != 0;
}

std::string Quoted(const Token* token) {
    if (token->kind == Token::String) {
        return "a text";
    }
    return "'" + std::string(token->text) + "'";
}

void Parser::Run() {
    while (at_ < tokens_.size()) {
        const Token& keyword = tokens_[at_++];
        lineBound_ = true;
        if (keyword.kind != Token::Word) {
            Error(keyword.line, "unexpected " + Quoted(&keyword) + " at the start of a statement");
            SkipLine();
            continue;
        }
        Statement(keyword);
    }
}

void Parser::Statement(const Token& keyword) {
    std::string_view word = keyword.text;
    if (word == "VERSION") {
        if (const Token* version = Next(); version && version->kind == Token::String) {
            result_.database.version = Text(Take());
        }
        EndOfLine(keyword);
    } else if (word == "NS_") {
        // The symbols a file may use, one per indented line.
        while (at_ < tokens_.size() && !tokens_[at_].atColumnZero) {
            ++at_;
        }
    } else if (word == "BS_" || word == "BU_") {
        ++result_.skipped[std::string(word)];
        lineBound_ = false;
        while (Next()) {
            ++at_;
        }
    } else if (word == "BO_") {
        MessageLine(keyword);
    } else if (word == "SG_") {
        SignalLine(keyword);
    } else {
        lineBound_ = false;
        bool done = word == "CM_"            ? Comment(keyword)
                    : word == "VAL_"         ? ValueTexts(keyword)
                    : word == "SIG_VALTYPE_" ? ValueTypeOf(keyword)
                    : word == "SG_MUL_VAL_"  ? MultiplexValues(keyword)
                                             : Unused(keyword);
        if (!done) {
            SkipStatement();
        }
    }
}

bool Parser::Unused(const Token& keyword) {
    if (kKeywords.count(keyword.text)) {
        ++result_.skipped[std::string(keyword.text)];
    } else {
        Error(keyword.line, "unknown keyword " + Quoted(&keyword));
    }
    SkipStatement();
    return true;
}

std::string Diagnostic::ToString() const {
    // Line 0 is the file as a whole: it did not open.
    std::string where = line > 0 ? file + ":" + std::to_string(line) : file;
    return where + ": " + (warning ? "warning: " : "") + message;
}

int ParseResult::ErrorCount() const {
    int count = unlistedErrors;
    for (const Diagnostic& diagnostic : diagnostics) {
        count += !diagnostic.warning;
    }
    return count;
}

ParseResult Parse(std::string_view text, Encoding encoding, const std::string& fileName) {
    ParseResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    LexResult lexed = Lex(text);
    if (lexed.tooMany) {
        result.diagnostics.push_back(
            {fileName, 0, "more than " + std::to_string(LexResult::kMaxTokens) + " words and signs",
             false});
        return result;
    }
    Parser(std::move(lexed.tokens), lexed.unterminatedStringLine != 0, encoding, fileName, result)
        .Run();
    if (lexed.unterminatedStringLine) {
        result.diagnostics.push_back({fileName, lexed.unterminatedStringLine,
                                      "a text in quotes that is never closed", false});
    }
    Database& database = result.database;
    database.Finish();
    for (const Message& message : database.messages) {
        for (const Signal& signal : message.signalList) {
            if (!signal.Reachable()) {
                result.diagnostics.push_back(
                    {fileName, signal.line,
                     "signal " + signal.name + " is never decoded: " +
                         (signal.multiplexorName.empty()
                              ? "its message has no M signal"
                              : "no multiplexor " + signal.multiplexorName + " selects it"),
                     true});
            }
        }
    }
    return result;
}

ParseResult ParseFile(const std::string& path, Encoding encoding) {
    std::string text, error;
    if (!ReadWholeFile(path, FileLimits::kDbcFile, text, error)) {
        ParseResult result;
        result.diagnostics.push_back({path, 0, "cannot be read: " + error, false});
        return result;
    }
    return Parse(text, encoding, path);
}

}  // namespace k57::dbc
