#include "BatchPlan.h"

#include <algorithm>
#include <cstdio>

#include "DeviceInterface.h"
#include "SettingsService.h"

namespace k57 {

namespace {

using Kind = ValuesProblem::Kind;

ValuesProblem RowProblem(Kind kind, const UnitValues& unit) {
    ValuesProblem problem;
    problem.kind = kind;
    problem.row = unit.row;
    return problem;
}

}  // namespace

BatchPlan::BatchPlan(SettingsFileVerdict templateFile, ValuesFile values, ParameterList& catalogue)
    : template_(std::move(templateFile)), values_(std::move(values)) {
    ownColumns_.assign(values_.columns.size(), false);
    for (size_t i = 1; i < values_.columns.size(); ++i) {
        const std::string& key = values_.columns[i];
        ownColumns_[i] = catalogue.IndexOf(key) >= 0 &&
                         std::find(values_.columns.begin() + 1, values_.columns.begin() + long(i),
                                   key) == values_.columns.begin() + long(i);
    }
    SettingsService settings(catalogue);
    CheckCells(settings);
    if (template_.readable() && template_.verdict.ok()) {
        CheckTexts(settings);
    }
    values_.SortProblems();
}

BatchPlan BatchPlan::Read(const std::string& templatePath, const std::string& valuesPath,
                          ParameterList& catalogue) {
    SettingsService settings(catalogue);
    return BatchPlan(settings.ReadFile(templatePath), ReadValuesFile(valuesPath, catalogue),
                     catalogue);
}

bool BatchPlan::ok() const {
    return template_.readable() && template_.verdict.ok() && values_.ok();
}

int BatchPlan::OwnKeyCount() const {
    return values_.columns.empty() ? 0 : int(values_.columns.size()) - 1;
}

// Each cell by the rule a settings line with its key is judged by.
void BatchPlan::CheckCells(const SettingsService& settings) {
    std::vector<ValuesProblem> found;
    for (const UnitValues& unit : values_.units) {
        for (size_t i = 1; i < unit.cells.size(); ++i) {
            const std::string& key = values_.columns[i];
            int column = int(i) + 1;
            if (unit.cells[i].empty() || !ownColumns_[i] ||
                values_.HasProblemAt(unit.row, column)) {
                continue;
            }
            if (std::optional<SettingsProblem> rule = settings.CheckValue(key, unit.cells[i])) {
                ValuesProblem problem = RowProblem(Kind::Value, unit);
                problem.column = column;
                problem.key = key;
                problem.value = unit.cells[i];
                problem.rule = rule;
                found.push_back(problem);
            }
        }
    }
    for (ValuesProblem& problem : found) {
        values_.Add(std::move(problem));
    }
}

// Every unit's text as the unit would get it, so that what only the
// template and a row together do is caught before the first unit.
void BatchPlan::CheckTexts(const SettingsService& settings) {
    std::vector<ValuesProblem> found;
    for (const UnitValues& unit : values_.units) {
        if (values_.HasProblemInRow(unit.row)) {
            continue;
        }
        std::string text = TextOf(unit);
        SettingsVerdict verdict = settings.Check(text);
        for (const SettingsLine& line : verdict.Problems()) {
            ValuesProblem problem = RowProblem(Kind::Value, unit);
            auto column = std::find(values_.columns.begin(), values_.columns.end(), line.key);
            problem.column =
                column == values_.columns.end() ? 0 : int(column - values_.columns.begin()) + 1;
            problem.key = line.key;
            problem.value = line.value;
            problem.rule = line.problem;
            found.push_back(problem);
        }
        if (text.size() > kMaxSettingsText) {
            ValuesProblem tooLong = RowProblem(Kind::TextTooLong, unit);
            tooLong.count = int(text.size());
            found.push_back(tooLong);
        } else if (verdict.SetsNothing()) {
            found.push_back(RowProblem(Kind::SetsNothing, unit));
        }
    }
    for (ValuesProblem& problem : found) {
        values_.Add(std::move(problem));
    }
}

std::string BatchPlan::TextOf(const UnitValues& unit) const {
    std::vector<bool> used(unit.cells.size(), false);
    auto ownValue = [&](const std::string& key) -> const std::string* {
        for (size_t i = 1; i < unit.cells.size(); ++i) {
            if (ownColumns_[i] && values_.columns[i] == key && !unit.cells[i].empty()) {
                used[i] = true;
                return &unit.cells[i];
            }
        }
        return nullptr;
    };
    std::string text;
    for (const SettingsLine& line : template_.verdict.lines) {
        const std::string* own = ownValue(line.key);
        text += line.key + "=" + (own ? *own : line.value) + "\n";
    }
    for (size_t i = 1; i < unit.cells.size(); ++i) {
        if (ownColumns_[i] && !used[i] && !unit.cells[i].empty()) {
            text += values_.columns[i] + "=" + unit.cells[i] + "\n";
        }
    }
    return text;
}

const UnitValues* BatchPlan::UnitOf(uint32_t serial) const {
    for (const UnitValues& unit : values_.units) {
        if (unit.serial == serial && !values_.HasProblemAt(unit.row, 1)) {
            return &unit;
        }
    }
    return nullptr;
}

std::optional<std::string> BatchPlan::TextFor(uint32_t serial) const {
    const UnitValues* unit = UnitOf(serial);
    return unit ? std::optional(TextOf(*unit)) : std::nullopt;
}

int BatchPlan::RowOf(uint32_t serial) const {
    const UnitValues* unit = UnitOf(serial);
    return unit ? unit->row : 0;
}

std::set<uint32_t> BatchPlan::Serials() const {
    std::set<uint32_t> serials;
    for (const UnitValues& unit : values_.units) {
        if (!values_.HasProblemAt(unit.row, 1)) {
            serials.insert(unit.serial);
        }
    }
    return serials;
}

std::string BatchPlan::Mark() const {
    // FNV-1a: the same on every platform and build, unlike std::hash.
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](const std::string& bytes) {
        for (unsigned char c : bytes) {
            hash = (hash ^ c) * 1099511628211ull;
        }
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    };
    add(TemplateText());
    for (const UnitValues& unit : values_.units) {
        add(std::to_string(unit.serial));
        add(TextOf(unit));
    }
    char mark[9];
    std::snprintf(mark, sizeof mark, "%08x", unsigned((hash >> 32) ^ hash));
    return mark;
}

}  // namespace k57
