// The values file of a batch: any bytes read without harm, the problems in
// the order of their rows, and a plan without problems gives every unit a
// settings text the settings checks pass and the unit can take.

#include <cstdlib>

#include "BatchPlan.h"
#include "DeviceInterface.h"
#include "FuzzCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParameterList& list = FuzzCatalogue();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    k57::SettingsService settings(list);
    k57::SettingsFileVerdict templateFile;
    templateFile.verdict = settings.Check("MicLevel=10\nUserNumber1=+70000000000\n");
    k57::BatchPlan plan(templateFile, k57::ReadValues(bytes, list), list);
    int lastRow = 0;
    for (const k57::ValuesProblem& problem : plan.valueProblems()) {
        if (problem.row < lastRow || problem.column < 0 || problem.row < 0) {
            std::abort();
        }
        lastRow = problem.row;
    }
    if (!plan.ok()) {
        return 0;
    }
    for (const k57::UnitValues& unit : plan.values().units) {
        std::optional<std::string> text = plan.TextFor(unit.serial);
        if (!text || text->size() > k57::kMaxSettingsText || !settings.Check(*text).ok()) {
            std::abort();
        }
    }
    return 0;
}
