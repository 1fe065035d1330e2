#include "Numbers.h"
#include "ParseContext.h"

// Multiplexing: the M and mN of an SG_ line (which signal selects, which is
// selected by one value) and SG_MUL_VAL_, which names another multiplexor
// and ranges of values instead (extended multiplexing).
namespace k57::dbc {

// "M", "mN" or "mNM".
bool Parser::Multiplexing(const std::string& word, Signal& signal) {
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
        Error(LastLine(), "signal " + signal.name + ": '" + word + "' is not M, mN or mNM");
        return false;
    }
    signal.isMultiplexed = true;
    signal.isMultiplexor = word.back() == 'M';
    signal.multiplexValues = {{int64_t(*value), int64_t(*value)}};
    return true;
}

// SG_MUL_VAL_ id signal multiplexor low-high, low-high ... ;
bool Parser::MultiplexValues(const Token& keyword) {
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

}  // namespace k57::dbc
