#include "Database.h"

#include <algorithm>
#include <cmath>

namespace k57::dbc {

namespace {

uint64_t Key(uint32_t id, bool extended) { return uint64_t(extended) << 32 | id; }

// Finds the fewest decimal places (1 to 9) that write the factor and the
// offset exactly as read; none for integral ones (plain arithmetic is exact
// for them) or where the whole numbers could outgrow a double's 53 bits.
void PlanDecimals(Signal& signal) {
    signal.decimalScale = 0;
    if (signal.valueType != ValueType::Integer || signal.length > 52 ||
        (signal.factor == std::trunc(signal.factor) &&
         signal.offset == std::trunc(signal.offset))) {
        return;
    }
    const double largestRaw = std::ldexp(1.0, signal.length);
    double scale = 1;
    for (int places = 1; places <= 9; ++places) {
        scale *= 10;
        double factor = std::nearbyint(signal.factor * scale);
        double offset = std::nearbyint(signal.offset * scale);
        if (factor / scale == signal.factor && offset / scale == signal.offset) {
            if (largestRaw * std::fabs(factor) + std::fabs(offset) < 0x1p53) {
                signal.factorUnits = int64_t(factor);
                signal.offsetUnits = int64_t(offset);
                signal.decimalScale = scale;
            }
            return;
        }
    }
}

// The signal that selects `signal`: the one SG_MUL_VAL_ names, or else the
// message's top-level "M" signal.
int MultiplexorOf(const Message& message, const Signal& signal) {
    const std::vector<Signal>& list = message.signalList;
    for (size_t i = 0; i < list.size(); ++i) {
        const Signal& candidate = list[i];
        bool named = !signal.multiplexorName.empty();
        if (candidate.isMultiplexor && &candidate != &signal &&
            (named ? candidate.name == signal.multiplexorName : !candidate.isMultiplexed)) {
            return int(i);
        }
    }
    return -1;
}

// Orders the message's multiplexors so that one selected by another comes
// after it, and gives every multiplexed signal its multiplexor's slot.
void LinkMultiplexors(Message& message) {
    std::vector<Signal>& list = message.signalList;
    std::vector<int> multiplexorOf(list.size(), -1);
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].isMultiplexed) {
            multiplexorOf[i] = MultiplexorOf(message, list[i]);
        }
    }
    std::vector<int> slot(list.size(), -1);
    message.multiplexors.clear();
    for (bool progress = true; progress && message.multiplexors.size() < Message::kMaxMultiplexors;) {
        progress = false;
        for (size_t i = 0; i < list.size(); ++i) {
            if (slot[i] >= 0 || !list[i].isMultiplexor ||
                message.multiplexors.size() >= Message::kMaxMultiplexors) {
                continue;
            }
            if (!list[i].isMultiplexed ||
                (multiplexorOf[i] >= 0 && slot[size_t(multiplexorOf[i])] >= 0)) {
                slot[i] = int(message.multiplexors.size());
                message.multiplexors.push_back(int(i));
                progress = true;
            }
        }
    }
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].multiplexorSlot = multiplexorOf[i] >= 0 ? slot[size_t(multiplexorOf[i])] : -1;
    }
}

}  // namespace

const std::string* Signal::ValueText(int64_t raw) const {
    auto at = std::lower_bound(valueTexts.begin(), valueTexts.end(), raw,
                               [](const auto& entry, int64_t value) { return entry.first < value; });
    return at != valueTexts.end() && at->first == raw ? &at->second : nullptr;
}

bool Signal::SelectedBy(int64_t multiplexorRaw) const {
    for (const MultiplexRange& range : multiplexValues) {
        if (multiplexorRaw >= range.low && multiplexorRaw <= range.high) {
            return true;
        }
    }
    return false;
}

const Signal* Message::FindSignal(const std::string& wanted) const {
    for (const Signal& signal : signalList) {
        if (signal.name == wanted) {
            return &signal;
        }
    }
    return nullptr;
}

Signal* Message::FindSignal(const std::string& wanted) {
    return const_cast<Signal*>(static_cast<const Message*>(this)->FindSignal(wanted));
}

const Message* Database::Find(uint32_t id, bool extended) const {
    auto at = index_.find(Key(id, extended));
    return at == index_.end() ? nullptr : &messages[at->second];
}

Message* Database::Find(uint32_t id, bool extended) {
    return const_cast<Message*>(static_cast<const Database*>(this)->Find(id, extended));
}

int Database::SignalCount() const {
    int count = 0;
    for (const Message& message : messages) {
        count += int(message.signalList.size());
    }
    return count;
}

int Database::ValueTableCount() const {
    int count = 0;
    for (const Message& message : messages) {
        for (const Signal& signal : message.signalList) {
            count += !signal.valueTexts.empty();
        }
    }
    return count;
}

void Database::Finish() {
    index_.clear();
    for (size_t i = 0; i < messages.size(); ++i) {
        Message& message = messages[i];
        index_.emplace(Key(message.id, message.extended), i);
        for (Signal& signal : message.signalList) {
            std::sort(signal.valueTexts.begin(), signal.valueTexts.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            std::optional<BitPlan> plan = BitPlan::For(signal.startBit, signal.length,
                                                       signal.byteOrder == ByteOrder::Motorola);
            // A signal no frame can hold is never decoded.
            signal.plan = plan ? *plan : BitPlan{};
            if (!plan) {
                signal.plan.bytesNeeded = BitPlan::kMaxBytes + 1;
            }
            PlanDecimals(signal);
        }
        LinkMultiplexors(message);
    }
}

}  // namespace k57::dbc
