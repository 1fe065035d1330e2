#include "ParseContext.h"

// What a signal's raw values mean: the texts VAL_ gives them and the
// floating-point types SIG_VALTYPE_ declares.
namespace k57::dbc {

// VAL_ id signal (value "text")* ;
bool Parser::ValueTexts(const Token& keyword) {
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
bool Parser::ValueTypeOf(const Token& keyword) {
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
                                    " bits, a " + (*type == 1 ? "float" : "double") + " needs " +
                                    std::to_string(needed));
        } else {
            signal->valueType = *type == 1   ? ValueType::Float
                                : *type == 2 ? ValueType::Double
                                             : ValueType::Integer;
        }
    }
    return End(keyword);
}

}  // namespace k57::dbc
