#pragma once

#include <string>
#include <vector>

#include "Parameter.h"

// The unit's settings as the catalogue describes them, and their current
// values. Loaded once; afterwards no record is added or removed, so pointers
// to records stay valid for the life of the list.
class ParameterList {
  public:
    ParameterList() = default;
    // Loads the catalogue document (Windows-1251 XML bytes).
    explicit ParameterList(const std::string& catalogue) { LoadCatalogue(catalogue); }

    // Replaces the whole content; on any error the list is left empty and
    // loadError() says why.
    void LoadCatalogue(const std::string& catalogue);
    // Empty after a good load; otherwise a UTF-8 text for the user.
    const std::string& loadError() const { return loadError_; }

    int GroupCount() const { return int(groups_.size()); }
    const ParameterGroup& GroupAt(int index) const { return groups_[size_t(index)]; }
    int ParameterCount() const { return int(parameters_.size()); }
    Parameter& ParameterAt(int index) { return parameters_[size_t(index)]; }
    const Parameter& ParameterAt(int index) const { return parameters_[size_t(index)]; }
    const std::vector<EnumValueList>& Enums() const { return enums_; }

    void ResetToDefaults();
    // Every value back to its default, then the text's key=value lines on
    // top, in order (a key given twice keeps the last); lines end in CR, LF
    // or both, and the text ends at its first NUL. Unknown keys and lines
    // without "=" are skipped; nothing is validated.
    void SetValuesFromText(const std::string& text);
    // "key=value\n" for every value that differs from its default.
    std::string ValuesToText() const;
    // The non-empty lines of `text` (up to its first NUL) whose key the
    // catalogue does not know, each ended by LF, in their order.
    std::string UnknownLines(const std::string& text) const;

    int IndexOf(const std::string& key) const;
    void SetValue(const std::string& key, const std::string& value);
    // The value, or for an Enum parameter its item's text.
    std::string DisplayValue(const std::string& key) const;
    const EnumValueList* FindEnum(const std::string& name) const;
    std::vector<Parameter> GroupParameters(const std::string& groupName) const;

  private:
    std::vector<ParameterGroup> groups_;
    std::vector<EnumValueList> enums_;
    std::vector<Parameter> parameters_;
    std::string loadError_;
};
