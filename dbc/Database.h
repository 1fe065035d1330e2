#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "BitPlan.h"

// A CAN signal database as read from a DBC file: which messages a bus
// carries and how their bytes become named values with units. Plain C++:
// the CAN window, its plot and k57ctl share it. Every text is UTF-8.
namespace k57::dbc {

enum class ByteOrder {
    Intel,     // "@1": little-endian, the start bit is the least significant
    Motorola,  // "@0": big-endian, the start bit is the most significant
};

enum class ValueType {
    Integer,
    Float,   // 32-bit IEEE (SIG_VALTYPE_ 1)
    Double,  // 64-bit IEEE (SIG_VALTYPE_ 2)
};

// Multiplexor values that select a signal, both ends included.
struct MultiplexRange {
    int64_t low = 0;
    int64_t high = 0;
};

struct Signal {
    std::string name;
    int startBit = 0;  // as written: the sawtooth numbering for Motorola
    int length = 1;    // 1 to 64
    ByteOrder byteOrder = ByteOrder::Intel;
    bool isSigned = false;
    ValueType valueType = ValueType::Integer;
    double factor = 1;
    double offset = 0;
    double minimum = 0;
    double maximum = 0;
    std::string unit;
    std::vector<std::string> receivers;
    std::string comment;
    // "M" or "mNM": other signals of the message depend on this one's value.
    bool isMultiplexor = false;
    // "mN" or "mNM": present only when a multiplexor selects it, by the
    // ranges below. The multiplexor is the message's "M" signal unless a
    // SG_MUL_VAL_ line names another (extended multiplexing).
    bool isMultiplexed = false;
    std::string multiplexorName;
    std::vector<MultiplexRange> multiplexValues;
    // VAL_: raw value -> text, ordered by value.
    std::vector<std::pair<int64_t, std::string>> valueTexts;
    int line = 0;  // where the SG_ line is

    // Filled when the database is complete (Database::Finish).
    BitPlan plan;
    // Factor and offset as whole numbers of 1/decimalScale (0.1 and -40 as
    // 1 and -400 tenths) when they are such decimals and raw * factor fits a
    // double exactly: the value is then one rounding of the decimal the file
    // means (12 * 0.1 is 1.2, not 1.2000000000000002). decimalScale 0: the
    // plain raw * factor + offset.
    int64_t factorUnits = 0;
    int64_t offsetUnits = 0;
    double decimalScale = 0;
    // Of the multiplexor that selects this signal, in Message::multiplexors;
    // -1 for a signal without one.
    int multiplexorSlot = -1;

    // The VAL_ text of `raw`, or nullptr.
    const std::string* ValueText(int64_t raw) const;
    bool SelectedBy(int64_t multiplexorRaw) const;
    // False for a multiplexed signal whose multiplexor is missing or sits in
    // a loop of multiplexors selecting each other: it is never decoded.
    bool Reachable() const { return !isMultiplexed || multiplexorSlot >= 0; }
};

struct Message {
    uint32_t id = 0;  // without the extended-frame flag
    bool extended = false;
    std::string name;
    int size = 0;  // bytes, as BO_ declares
    std::string transmitter;
    std::string comment;
    // Not "signals": the plot and window code include this with Qt's keywords.
    std::vector<Signal> signalList;
    int line = 0;

    // Filled by Database::Finish: the indexes of the multiplexors in
    // signalList, each after the one that selects it; at most
    // kMaxMultiplexors (what a file declares beyond is never decoded).
    static constexpr size_t kMaxMultiplexors = 32;
    std::vector<int> multiplexors;

    const Signal* FindSignal(const std::string& name) const;
    Signal* FindSignal(const std::string& name);
};

class Database {
  public:
    std::string version;
    std::string comment;
    std::vector<Message> messages;  // in the file's order

    const Message* Find(uint32_t id, bool extended) const;
    Message* Find(uint32_t id, bool extended);
    int SignalCount() const;
    int ValueTableCount() const;  // signals with VAL_ texts

    // Builds the lookup index, the signals' bit plans and the multiplexing
    // links. The parser calls it; code that builds a database by hand must.
    void Finish();

  private:
    std::unordered_map<uint64_t, size_t> index_;
};

}  // namespace k57::dbc
