#include "Decoder.h"

#include <cstring>

namespace k57::dbc {

int64_t RawValue(const Signal& signal, const uint8_t* data) {
    uint64_t bits = signal.plan.Extract(data);
    if (signal.isSigned && signal.valueType == ValueType::Integer && signal.length < 64) {
        int unused = 64 - signal.length;
        return int64_t(bits << unused) >> unused;
    }
    return int64_t(bits);
}

double PhysicalValue(const Signal& signal, int64_t raw) {
    if (signal.decimalScale != 0) {  // whole numbers, exact; one rounding
        return double(raw * signal.factorUnits + signal.offsetUnits) / signal.decimalScale;
    }
    double value;
    switch (signal.valueType) {
        case ValueType::Float: {
            uint32_t bits = uint32_t(raw);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            value = f;
            break;
        }
        case ValueType::Double:
            std::memcpy(&value, &raw, sizeof value);
            break;
        default:
            value = signal.isSigned ? double(raw) : double(uint64_t(raw));
    }
    return value * signal.factor + signal.offset;
}

void Decode(const Message& message, const uint8_t* data, size_t length, std::vector<Value>& out) {
    out.clear();
    // The multiplexors first, each after the one that selects it.
    int64_t multiplexorRaw[Message::kMaxMultiplexors];
    bool present[Message::kMaxMultiplexors];
    for (size_t slot = 0; slot < message.multiplexors.size(); ++slot) {
        const Signal& signal = message.signalList[size_t(message.multiplexors[slot])];
        int parent = signal.multiplexorSlot;
        present[slot] =
            signal.plan.bytesNeeded <= length &&
            (!signal.isMultiplexed ||
             (parent >= 0 && present[parent] && signal.SelectedBy(multiplexorRaw[parent])));
        if (present[slot]) {
            multiplexorRaw[slot] = RawValue(signal, data);
        }
    }
    for (const Signal& signal : message.signalList) {
        if (signal.plan.bytesNeeded > length) {
            continue;
        }
        if (signal.isMultiplexed) {
            int slot = signal.multiplexorSlot;
            if (slot < 0 || !present[slot] || !signal.SelectedBy(multiplexorRaw[slot])) {
                continue;
            }
        }
        Value value;
        value.signal = &signal;
        value.raw = RawValue(signal, data);
        value.physical = PhysicalValue(signal, value.raw);
        if (!signal.valueTexts.empty()) {
            value.text = signal.ValueText(value.raw);
        }
        out.push_back(value);
    }
}

std::vector<Value> Decode(const Message& message, const uint8_t* data, size_t length) {
    std::vector<Value> out;
    Decode(message, data, length, out);
    return out;
}

}  // namespace k57::dbc
