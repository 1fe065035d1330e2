#include "SettingsDiff.h"

#include "ParameterList.h"
#include "SettingsMask.h"

namespace k57 {

std::vector<SettingDifference> DiffSettings(const ParameterList& catalogue,
                                            const std::string& before, const std::string& after) {
    ParameterList old = catalogue;
    ParameterList now = catalogue;
    old.SetValuesFromText(before);
    now.SetValuesFromText(after);
    std::vector<SettingDifference> differences;
    for (int i = 0; i < now.ParameterCount(); ++i) {
        const Parameter& was = old.ParameterAt(i);
        const Parameter& is = now.ParameterAt(i);
        if (was.value != is.value) {
            differences.push_back({is.key, is.name, was.value, is.value});
        }
    }
    return differences;
}

void MaskDifferences(std::vector<SettingDifference>& differences) {
    for (SettingDifference& d : differences) {
        d.before = MaskSettingValue(d.key, d.before);
        d.after = MaskSettingValue(d.key, d.after);
    }
}

}  // namespace k57
