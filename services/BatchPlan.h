#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ParameterList.h"
#include "SettingsService.h"
#include "SettingsVerdict.h"
#include "ValuesFile.h"

namespace k57 {

// Many units programmed alike: a template, the settings file every unit
// gets, and a values file giving each unit, by its serial number, values
// of its own over it. Both are checked in full before the first unit is
// touched: the template line by line, the values file cell by cell by the
// same rules, and every unit's own settings text as a whole.
class BatchPlan {
  public:
    // `catalogue` judges the keys and values; its values are not changed.
    BatchPlan(SettingsFileVerdict templateFile, ValuesFile values, ParameterList& catalogue);
    static BatchPlan Read(const std::string& templatePath, const std::string& valuesPath,
                          ParameterList& catalogue);

    bool ok() const;
    const SettingsFileVerdict& templateFile() const { return template_; }
    // The values file's problems, each cell's and each unit's text's
    // included, by row and column.
    const std::vector<ValuesProblem>& valueProblems() const { return values_.problems(); }
    const ValuesFile& values() const { return values_; }
    // The keys the rows give values of (the header's, after "serial").
    int OwnKeyCount() const;

    // The settings text for the unit (Windows-1251, lines ended by LF): the
    // template's lines, each key the unit's row has a value for taking that
    // value in its place, and the row's other keys after them in the
    // header's order. An empty cell leaves the template's line, or, when it
    // has none, the unit's default. Nothing when no row has the serial.
    std::optional<std::string> TextFor(uint32_t serial) const;
    // The template's text alone: for a unit with no row, when told to.
    std::string TemplateText() const { return TextOf(UnitValues{}); }
    // The values file's row of the unit; 0 when it has none.
    int RowOf(uint32_t serial) const;
    // The serial numbers given rows.
    std::set<uint32_t> Serials() const;
    // Eight hex digits telling this batch from others in the journal: the
    // same template and values give the same mark, so a run started again
    // knows which rows the earlier runs used.
    std::string Mark() const;

  private:
    const UnitValues* UnitOf(uint32_t serial) const;
    std::string TextOf(const UnitValues& unit) const;
    void CheckCells(const SettingsService& settings);
    void CheckTexts(const SettingsService& settings);

    SettingsFileVerdict template_;
    ValuesFile values_;
    // The header's columns a unit's text takes: a catalogue key's first.
    std::vector<bool> ownColumns_;
};

}  // namespace k57
