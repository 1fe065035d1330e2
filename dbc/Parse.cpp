#include "Parse.h"

#include <set>
#include <iterator>
#include <limits>
#include <unordered_map>

#include "FileRead.h"
#include "Lexer.h"
#include "Numbers.h"

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

constexpr uint64_t kExtendedFlag = 0x80000000u;

std::string Quoted(const Token* token) {
    if (token->kind == Token::String) {
        return "a text";
    }
    return "'" + std::string(token->text) + "'";
}

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

    void Run() {
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

  private:
    void Statement(const Token& keyword) {
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
            bool done = word == "CM_"             ? Comment(keyword)
                        : word == "VAL_"          ? ValueTexts(keyword)
                        : word == "SIG_VALTYPE_"  ? ValueTypeOf(keyword)
                        : word == "SG_MUL_VAL_"   ? MultiplexValues(keyword)
                                                  : Unused(keyword);
            if (!done) {
                SkipStatement();
            }
        }
    }

    // --- tokens

    // The next token of the current statement, or nullptr: a line-bound
    // statement ends with its line, any statement where the next begins.
    const Token* Next() const {
        if (at_ >= tokens_.size()) {
            return nullptr;
        }
        const Token& token = tokens_[at_];
        if (token.lineStart &&
            (lineBound_ || (token.kind == Token::Word && kKeywords.count(token.text)))) {
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
    bool Accept(char c) {
        if (IsPunct(Next(), c)) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Expect(char c, const char* where) {
        if (Accept(c)) {
            return true;
        }
        return Unexpected(std::string("'") + c + "' " + where);
    }
    bool Unexpected(const std::string& wanted) {
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
    int LastLine() const { return at_ > 0 ? tokens_[at_ - 1].line : 1; }

    // The next token if it is of `kind`; else an error and nullptr.
    const Token* TakeOf(Token::Kind kind, const char* what) {
        const Token* token = Next();
        if (!token || token->kind != kind) {
            Unexpected(what);
            return nullptr;
        }
        ++at_;
        return token;
    }
    std::optional<std::string> Word(const char* what) {
        const Token* token = TakeOf(Token::Word, what);
        return token ? std::optional<std::string>(token->text) : std::nullopt;
    }
    std::optional<std::string> String(const char* what) {
        const Token* token = TakeOf(Token::String, what);
        return token ? std::optional<std::string>(Text(token)) : std::nullopt;
    }
    std::string Text(const Token* token) { return ToUtf8(Unescape(token->text), encoding_); }

    // The next token as a number of type T up to `largest`; else an error.
    template <typename T>
    std::optional<T> TakeNumber(const char* what, T largest = std::numeric_limits<T>::max()) {
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
    // A number with an optional sign.
    std::optional<double> Real(const char* what) {
        bool negative = Accept('-');
        if (!negative) {
            Accept('+');
        }
        std::optional<double> value = TakeNumber<double>(what);
        return value && negative ? -*value : value;
    }
    // An integer with an optional sign. Values above INT64_MAX keep their
    // 64 bits, as a 64-bit unsigned signal's raw value does.
    std::optional<int64_t> Integer(const char* what) {
        bool negative = Accept('-');
        std::optional<uint64_t> value = TakeNumber<uint64_t>(what);
        if (!value) {
            return std::nullopt;
        }
        return negative ? int64_t(0 - *value) : int64_t(*value);
    }
    std::optional<uint64_t> Unsigned(const char* what, uint64_t largest) {
        return TakeNumber<uint64_t>(what, largest);
    }

    void SkipLine() {
        while (at_ < tokens_.size() && !tokens_[at_].lineStart) {
            ++at_;
        }
    }
    // To the statement's ';' or to where the next statement begins.
    void SkipStatement() {
        lineBound_ = false;
        while (const Token* token = Take()) {
            if (IsPunct(token, ';')) {
                return;
            }
        }
    }
    // The statement's ';'. Where the next statement begins instead, the
    // statement counts as complete: some tools leave the ';' out.
    bool End(const Token& keyword) {
        if (Accept(';')) {
            return true;
        }
        if (!Next()) {
            Warn(LastLine(), "no ';' at the end of " + std::string(keyword.text));
            return true;
        }
        return Unexpected("';' to end " + std::string(keyword.text));
    }
    void EndOfLine(const Token& keyword) {
        if (const Token* extra = Next()) {
            Error(extra->line, "unexpected " + Quoted(extra) + " after " +
                                   std::string(keyword.text) + "'s fields");
            SkipLine();
        }
    }

    void Error(int line, const std::string& message) { Note({file_, line, message, false}); }
    void Warn(int line, const std::string& message) { Note({file_, line, message, true}); }
    // A file of nothing but errors would keep one for every line.
    void Note(Diagnostic diagnostic) {
        if (result_.diagnostics.size() < ParseResult::kMaxDiagnostics) {
            result_.diagnostics.push_back(std::move(diagnostic));
        } else {
            ++(diagnostic.warning ? result_.unlistedWarnings : result_.unlistedErrors);
        }
    }

    // --- the model

    Message* MessageFor(uint64_t dbcId) {
        auto found = byDbcId_.find(dbcId);
        return found == byDbcId_.end() ? nullptr : &result_.database.messages[found->second];
    }
    // The signal a statement names by message and signal, or a warning.
    Signal* SignalFor(int line, int64_t dbcId, const std::string& name, const char* keyword) {
        Message* message = MessageFor(uint64_t(dbcId));
        Signal* signal = message ? message->FindSignal(name) : nullptr;
        if (!message) {
            Warn(line, std::string(keyword) + " for " + name + " of message " +
                           std::to_string(dbcId) + ", which the file does not define");
        } else if (!signal) {
            Warn(line, std::string(keyword) + " for " + name + ", which message " + message->name +
                           " does not have");
        }
        return signal;
    }

    void MessageLine(const Token& keyword) {
        current_ = -1;
        inBadMessage_ = true;
        std::optional<uint64_t> id = Unsigned("a message identifier", 0xFFFFFFFFu);
        std::optional<std::string> name = id ? Word("a message name") : std::nullopt;
        std::optional<uint64_t> size;
        if (name && Expect(':', "after the message name")) {
            size = Unsigned("the message's length in bytes", 255);
        }
        if (!size) {
            SkipLine();
            return;
        }
        Message message;
        message.extended = *id & kExtendedFlag;
        message.id = uint32_t(*id & ~kExtendedFlag);
        message.name = *name;
        message.size = int(*size);
        message.line = keyword.line;
        if (const Token* transmitter = Next(); transmitter && transmitter->kind == Token::Word) {
            message.transmitter = std::string(Take()->text);
        }
        EndOfLine(keyword);
        if (message.extended && message.id > 0x1FFFFFFF) {
            // The pseudo-message some tools keep signals in that no frame carries.
            if (message.name == "VECTOR__INDEPENDENT_SIG_MSG") {
                ++result_.skipped["BO_ VECTOR__INDEPENDENT_SIG_MSG"];
            } else {
                Error(keyword.line, "message " + message.name + ": identifier " +
                                        std::to_string(*id) + " beyond 29 bits");
            }
            return;
        }
        if (message.size > BitPlan::kMaxBytes) {
            Error(keyword.line, "message " + message.name + ": " + std::to_string(message.size) +
                                    " bytes, more than a CAN FD frame holds");
            return;
        }
        if (const Message* first = MessageFor(*id)) {
            Error(keyword.line, "message " + message.name + ": identifier " + std::to_string(*id) +
                                    " already used by " + first->name + " at line " +
                                    std::to_string(first->line));
            return;
        }
        byDbcId_[*id] = result_.database.messages.size();
        current_ = int(result_.database.messages.size());
        inBadMessage_ = false;
        result_.database.messages.push_back(std::move(message));
    }

    void SignalLine(const Token& keyword) {
        if (current_ < 0) {
            if (!inBadMessage_) {
                Error(keyword.line, "SG_ outside a message");
            }
            SkipLine();
            return;
        }
        Signal signal;
        signal.line = keyword.line;
        if (!SignalFields(signal)) {
            SkipLine();
            return;
        }
        Message& message = result_.database.messages[size_t(current_)];
        std::optional<BitPlan> plan =
            BitPlan::For(signal.startBit, signal.length, signal.byteOrder == ByteOrder::Motorola);
        if (!plan) {
            Error(keyword.line, "signal " + signal.name + ": " + std::to_string(signal.length) +
                                    " bits from bit " + std::to_string(signal.startBit) +
                                    " do not fit in a frame");
            return;
        }
        if (message.FindSignal(signal.name)) {
            Error(keyword.line, "signal " + signal.name + " defined twice in " + message.name);
            return;
        }
        if (plan->bytesNeeded > message.size) {
            Warn(keyword.line, "signal " + signal.name + " reaches byte " +
                                   std::to_string(plan->bytesNeeded) + " of the " +
                                   std::to_string(message.size) + "-byte message " + message.name);
        }
        message.signalList.push_back(std::move(signal));
    }

    // name [M|mN|mNM] : start|length@order sign (factor,offset) [min|max] "unit" receivers
    bool SignalFields(Signal& signal) {
        std::optional<std::string> name = Word("a signal name");
        if (!name) {
            return false;
        }
        signal.name = *name;
        if (const Token* mux = Next(); mux && mux->kind == Token::Word) {
            if (!Multiplexing(std::string(Take()->text), signal)) {
                return false;
            }
        }
        if (!Expect(':', "after the signal name")) {
            return false;
        }
        std::optional<uint64_t> start = Unsigned("the start bit", BitPlan::kMaxBytes * 8 - 1);
        std::optional<uint64_t> length;
        if (!start || !Expect('|', "after the start bit") ||
            !(length = Unsigned("a length of 1 to 64 bits", 64))) {
            return false;
        }
        if (*length == 0) {
            Error(LastLine(), "signal " + signal.name + " has no bits");
            return false;
        }
        if (!Expect('@', "after the length")) {
            return false;
        }
        signal.startBit = int(*start);
        signal.length = int(*length);
        std::optional<uint64_t> order = Unsigned("byte order 0 or 1", 1);
        if (!order) {
            return false;
        }
        signal.byteOrder = *order == 1 ? ByteOrder::Intel : ByteOrder::Motorola;
        if (Accept('-')) {
            signal.isSigned = true;
        } else if (!Expect('+', "or '-' for the signedness")) {
            return false;
        }
        std::optional<double> factor, offset, minimum, maximum;
        if (!Expect('(', "before the factor") || !(factor = Real("the factor")) ||
            !Expect(',', "after the factor") || !(offset = Real("the offset")) ||
            !Expect(')', "after the offset") || !Expect('[', "before the minimum") ||
            !(minimum = Real("the minimum")) || !Expect('|', "after the minimum") ||
            !(maximum = Real("the maximum")) || !Expect(']', "after the maximum")) {
            return false;
        }
        signal.factor = *factor;
        signal.offset = *offset;
        signal.minimum = *minimum;
        signal.maximum = *maximum;
        std::optional<std::string> unit = String("the unit in quotes");
        if (!unit) {
            return false;
        }
        signal.unit = *unit;
        while (const Token* receiver = Take()) {
            if (receiver->kind == Token::Word) {
                signal.receivers.emplace_back(receiver->text);
            } else if (!IsPunct(receiver, ',')) {
                Error(receiver->line, "unexpected " + Quoted(receiver) + " among the receivers");
                return false;
            }
        }
        return true;
    }

    // "M", "mN" or "mNM".
    bool Multiplexing(const std::string& word, Signal& signal) {
        if (word == "M") {
            signal.isMultiplexor = true;
            return true;
        }
        size_t digits = word.size() > 1 && word.back() == 'M' ? word.size() - 2 : word.size() - 1;
        std::optional<uint64_t> value;
        if (word[0] == 'm' && digits > 0) {
            value = ToUnsigned(std::string_view(word).substr(1, digits));
        }
        if (!value || *value > uint64_t(INT64_MAX)) {
            Error(LastLine(), "signal " + signal.name + ": '" + word +
                                  "' is not M, mN or mNM");
            return false;
        }
        signal.isMultiplexed = true;
        signal.isMultiplexor = word.back() == 'M';
        signal.multiplexValues = {{int64_t(*value), int64_t(*value)}};
        return true;
    }

    bool Comment(const Token& keyword) {
        const Token* what = Next();
        if (what && what->kind == Token::String) {
            result_.database.comment = Text(Take());
            return End(keyword);
        }
        std::optional<std::string> object = Word("a text, BU_, BO_, SG_ or EV_");
        if (!object) {
            return false;
        }
        if (*object == "BU_" || *object == "EV_") {
            if (!Word("a name") || !String("the comment in quotes")) {
                return false;
            }
            ++result_.skipped["CM_ " + *object];
            return End(keyword);
        }
        if (*object != "BO_" && *object != "SG_") {
            Error(keyword.line, "CM_ " + *object + ": expected a text, BU_, BO_, SG_ or EV_");
            return false;
        }
        std::optional<int64_t> id = Integer("a message identifier");
        std::optional<std::string> name;
        if (!id || (*object == "SG_" && !(name = Word("a signal name")))) {
            return false;
        }
        std::optional<std::string> text = String("the comment in quotes");
        if (!text) {
            return false;
        }
        if (name) {
            if (Signal* signal = SignalFor(keyword.line, *id, *name, "CM_")) {
                signal->comment = *text;
            }
        } else if (Message* message = MessageFor(uint64_t(*id))) {
            message->comment = *text;
        } else {
            Warn(keyword.line, "CM_ for message " + std::to_string(*id) +
                                   ", which the file does not define");
        }
        return End(keyword);
    }

    // VAL_ id signal (value "text")* ;
    bool ValueTexts(const Token& keyword) {
        const Token* first = Next();
        if (first && first->kind == Token::Word) {
            ++result_.skipped["VAL_ (environment variable)"];
            return false;
        }
        std::optional<int64_t> id = Integer("a message identifier");
        std::optional<std::string> name = id ? Word("a signal name") : std::nullopt;
        if (!name) {
            return false;
        }
        std::vector<std::pair<int64_t, std::string>> texts;
        while (Next() && !IsPunct(Next(), ';')) {
            std::optional<int64_t> value = Integer("a value or ';'");
            std::optional<std::string> text = value ? String("the value's text") : std::nullopt;
            if (!text) {
                return false;
            }
            texts.emplace_back(*value, std::move(*text));
        }
        if (Signal* signal = SignalFor(keyword.line, *id, *name, "VAL_")) {
            signal->valueTexts = std::move(texts);
        }
        return End(keyword);
    }

    // SIG_VALTYPE_ id signal : 0|1|2 ;
    bool ValueTypeOf(const Token& keyword) {
        std::optional<int64_t> id = Integer("a message identifier");
        std::optional<std::string> name = id ? Word("a signal name") : std::nullopt;
        if (!name) {
            return false;
        }
        Accept(':');
        std::optional<uint64_t> type = Unsigned("value type 0, 1 or 2", 2);
        if (!type) {
            return false;
        }
        if (Signal* signal = SignalFor(keyword.line, *id, *name, "SIG_VALTYPE_")) {
            int needed = *type == 1 ? 32 : *type == 2 ? 64 : signal->length;
            if (signal->length != needed) {
                Error(keyword.line, "signal " + *name + " has " + std::to_string(signal->length) +
                                        " bits, a " + (*type == 1 ? "float" : "double") +
                                        " needs " + std::to_string(needed));
            } else {
                signal->valueType = *type == 1   ? ValueType::Float
                                    : *type == 2 ? ValueType::Double
                                                 : ValueType::Integer;
            }
        }
        return End(keyword);
    }

    // SG_MUL_VAL_ id signal multiplexor low-high, low-high ... ;
    bool MultiplexValues(const Token& keyword) {
        std::optional<int64_t> id = Integer("a message identifier");
        std::optional<std::string> name = id ? Word("a signal name") : std::nullopt;
        std::optional<std::string> multiplexor = name ? Word("a multiplexor name") : std::nullopt;
        if (!multiplexor) {
            return false;
        }
        std::vector<MultiplexRange> ranges;
        do {
            std::optional<int64_t> low = Integer("the low end of a range");
            if (!low || !Expect('-', "between a range's ends")) {
                return false;
            }
            std::optional<int64_t> high = Integer("the high end of a range");
            if (!high) {
                return false;
            }
            ranges.push_back({*low, *high});
        } while (Accept(','));
        if (Signal* signal = SignalFor(keyword.line, *id, *name, "SG_MUL_VAL_")) {
            if (!signal->isMultiplexed) {
                Warn(keyword.line, "SG_MUL_VAL_ for " + *name + ", which has no mN on its SG_ line");
            } else {
                // The first SG_MUL_VAL_ of a signal replaces what its mN said.
                if (extendedDone_.insert({uint64_t(*id), *name}).second) {
                    signal->multiplexValues.clear();
                }
                signal->multiplexorName = *multiplexor;
                signal->multiplexValues.insert(signal->multiplexValues.end(), ranges.begin(),
                                               ranges.end());
            }
        }
        return End(keyword);
    }

    bool Unused(const Token& keyword) {
        if (kKeywords.count(keyword.text)) {
            ++result_.skipped[std::string(keyword.text)];
        } else {
            Error(keyword.line, "unknown keyword " + Quoted(&keyword));
        }
        SkipStatement();
        return true;
    }

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

}  // namespace

std::string Diagnostic::ToString() const {
    return file + ":" + std::to_string(line) + ": " + (warning ? "warning: " : "") + message;
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
            {fileName, 0,
             "more than " + std::to_string(LexResult::kMaxTokens) + " words and signs", false});
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
                         (signal.multiplexorName.empty() ? "its message has no M signal"
                                                         : "no multiplexor " +
                                                               signal.multiplexorName +
                                                               " selects it"),
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
