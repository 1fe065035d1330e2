#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Records of the parameter catalogue. Every text is a Windows-1251 byte
// string, as the catalogue and the unit store it.

enum class ParameterType { String, Number, Enum };

struct ParameterStruct {
    std::string key;
    ParameterType type = ParameterType::String;
    std::string enumName;
    std::string value;
    std::string defaultValue;
    int32_t min = 0;
    int32_t max = 0;
    std::string name;
    std::string description;
    std::string groupName;
};

struct Parameter : ParameterStruct {
    Parameter(std::string key, ParameterType type, std::string enumName, std::string value,
              std::string defaultValue, int32_t min, int32_t max, std::string name,
              std::string description, std::string groupName);

    // Exact text comparison: "08" is not "8".
    bool IsDefault() const { return value == defaultValue; }
    void ResetToDefault() { value = defaultValue; }
};

struct ParameterGroup {
    std::string name;
    std::string after;  // stored, never used: groups keep document order
};

struct EnumItem {
    int32_t value;
    std::string text;
};

class EnumValueList {
  public:
    explicit EnumValueList(std::string name) : name(std::move(name)) {}

    void Add(int32_t value, std::string text) { items.push_back({value, std::move(text)}); }
    int Count() const { return int(items.size()); }
    // Null when `index`, taken as unsigned, is past the end (so -1 too).
    const EnumItem* ItemAt(int index) const;
    // The text of the first item whose value equals the number written in
    // `valueText`; empty when none does or the text is not a number.
    std::string TextOf(const std::string& valueText) const;

    std::string name;
    std::vector<EnumItem> items;
};
