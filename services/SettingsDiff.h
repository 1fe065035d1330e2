#pragma once

#include <string>
#include <vector>

class ParameterList;

namespace k57 {

// One parameter whose value differs between two settings texts. Texts are
// Windows-1251 bytes: the key, the catalogue's name for it, the values.
struct SettingDifference {
    std::string key;
    std::string name;
    std::string before;
    std::string after;
};

// The catalogue's parameters whose values differ between `before` and
// `after`, in catalogue order. Each text is read as the unit reads it: a
// key absent is at its default, the last of a repeated key counts, and keys
// the catalogue does not have are left out.
std::vector<SettingDifference> DiffSettings(const ParameterList& catalogue,
                                            const std::string& before, const std::string& after);
// The PIN and the phone numbers among them masked, as shown by default.
void MaskDifferences(std::vector<SettingDifference>& differences);

}  // namespace k57
