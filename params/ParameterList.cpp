#include "ParameterList.h"

void ParameterList::ResetToDefaults() {
    for (Parameter& p : parameters_) {
        p.ResetToDefault();
    }
}

int ParameterList::IndexOf(const std::string& key) const {
    for (size_t i = 0; i < parameters_.size(); ++i) {
        if (parameters_[i].key == key) {
            return int(i);
        }
    }
    return -1;
}

void ParameterList::SetValue(const std::string& key, const std::string& value) {
    int index = IndexOf(key);
    if (index != -1) {
        parameters_[size_t(index)].value = value;
    }
}

std::string ParameterList::DisplayValue(const std::string& key) const {
    int index = IndexOf(key);
    if (index == -1) {
        return {};
    }
    const Parameter& p = parameters_[size_t(index)];
    if (p.type != ParameterType::Enum) {
        return p.value;
    }
    const EnumValueList* list = FindEnum(p.enumName);
    return list ? list->TextOf(p.value) : std::string();
}

const EnumValueList* ParameterList::FindEnum(const std::string& name) const {
    for (const EnumValueList& list : enums_) {
        if (list.name == name) {
            return &list;
        }
    }
    return nullptr;
}

std::vector<Parameter> ParameterList::GroupParameters(const std::string& groupName) const {
    std::vector<Parameter> members;
    for (const Parameter& p : parameters_) {
        if (p.groupName == groupName) {
            members.push_back(p);
        }
    }
    return members;
}
