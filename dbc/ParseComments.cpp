#include "ParseContext.h"

// CM_: the file's own comment and those of its messages and signals; the
// nodes' and environment variables' are counted and read past.
namespace k57::dbc {

bool Parser::Comment(const Token& keyword) {
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
        Warn(keyword.line,
             "CM_ for message " + std::to_string(*id) + ", which the file does not define");
    }
    return End(keyword);
}

}  // namespace k57::dbc
