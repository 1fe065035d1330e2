#include "ParseContext.h"

// Messages and their signals: a BO_ line opens a message, the SG_ lines
// after it are its signals with their bits, scaling, range, unit and
// receivers. Statements later in the file find them by identifier and name.
namespace k57::dbc {

namespace {

constexpr uint64_t kExtendedFlag = 0x80000000u;

}  // namespace

Message* Parser::MessageFor(uint64_t dbcId) {
    auto found = byDbcId_.find(dbcId);
    return found == byDbcId_.end() ? nullptr : &result_.database.messages[found->second];
}

Signal* Parser::SignalFor(int line, int64_t dbcId, const std::string& name, const char* keyword) {
    Message* message = MessageFor(uint64_t(dbcId));
    Signal* signal = message ? message->FindSignal(name) : nullptr;
    if (!message) {
        Warn(line, std::string(keyword) + " for " + name + " of message " + std::to_string(dbcId) +
                       ", which the file does not define");
    } else if (!signal) {
        Warn(line, std::string(keyword) + " for " + name + ", which message " + message->name +
                       " does not have");
    }
    return signal;
}

void Parser::MessageLine(const Token& keyword) {
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
            Error(keyword.line, "message " + message.name + ": identifier " + std::to_string(*id) +
                                    " beyond 29 bits");
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

void Parser::SignalLine(const Token& keyword) {
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
bool Parser::SignalFields(Signal& signal) {
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

}  // namespace k57::dbc
