#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ParameterList.h"
#include "SettingsVerdict.h"

namespace k57 {

// Reading, judging and applying settings texts for the window and k57ctl
// alike: a text from the unit, a settings file, or typed assignments. Each
// line is judged once, by the editor's rules for its value and by the
// catalogue for its key, its enumeration's choices and its form; a key set
// by an earlier good line may not be set again.
class SettingsService {
  public:
    // The list whose catalogue judges and whose values are set. Not owned.
    explicit SettingsService(ParameterList& list) : list_(list) {}

    // A text that is not the unit's: a NUL byte is a problem of its line.
    SettingsVerdict Check(std::string_view text) const;
    // KEY=VALUE assignments typed in UTF-8, numbered from 1 in order.
    SettingsVerdict CheckAssignments(const std::vector<std::string>& utf8) const;
    // One value for `key` (both Windows-1251), judged as a line "key=value"
    // of a text would be: nothing when it may be written.
    std::optional<SettingsProblem> CheckValue(const std::string& key,
                                              const std::string& value) const;
    // A settings file: refused as a whole when unreadable, too large, holding
    // a NUL or an overlong line; otherwise read as UTF-8 or Windows-1251
    // (ToUnitText) and judged line by line.
    SettingsFileVerdict ReadFile(const std::string& path) const;

    // The unit's text (up to its first NUL) applied as the unit holds it:
    // every value back to its default, then every line whose key is known,
    // valid or not, so nothing the unit holds is lost. The verdict tells
    // which values the editor would refuse.
    SettingsVerdict LoadUnitText(const std::string& text);
    // Every value back to its default, then the good lines: a line with a
    // problem leaves its parameter at its default.
    void LoadGoodLines(const SettingsVerdict& verdict);
    // The good lines over the current values.
    void Apply(const SettingsVerdict& verdict);

  private:
    // `outsideCodePage`: lines whose characters the unit's code page lacks.
    SettingsVerdict Check(std::string_view text, const std::vector<int>& outsideCodePage) const;
    // Judges a line's key and value; `seen` maps keys of earlier good lines
    // to their line numbers.
    void Judge(SettingsLine& line, std::map<std::string, int>& seen) const;

    ParameterList& list_;
};

}  // namespace k57
