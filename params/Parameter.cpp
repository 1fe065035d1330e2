#include "Parameter.h"

#include "IntegerText.h"

Parameter::Parameter(std::string key, ParameterType type, std::string enumName, std::string value,
                     std::string defaultValue, int32_t min, int32_t max, std::string name,
                     std::string description, std::string groupName) {
    this->key = std::move(key);
    this->type = type;
    this->enumName = std::move(enumName);
    this->value = std::move(value);
    this->defaultValue = std::move(defaultValue);
    this->min = min;
    this->max = max;
    this->name = std::move(name);
    this->description = std::move(description);
    this->groupName = std::move(groupName);
}

const EnumItem* EnumValueList::ItemAt(int index) const {
    return unsigned(index) < items.size() ? &items[size_t(index)] : nullptr;
}

std::string EnumValueList::TextOf(const std::string& valueText) const {
    int32_t value;
    if (!k57::ParseInteger(valueText, value)) {
        return {};
    }
    for (const EnumItem& item : items) {
        if (item.value == value) {
            return item.text;
        }
    }
    return {};
}
