// The settings text: any text reads without harm, and what the list then
// writes reads back to the same values.

#include <cstdlib>

#include "FuzzCatalogue.h"
#include "SettingsService.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParameterList& list = FuzzCatalogue();
    std::string text(reinterpret_cast<const char*>(data), size);
    k57::SettingsService settings(list);
    k57::SettingsVerdict verdict = settings.Check(text);
    settings.LoadUnitText(text);
    std::string once = list.ValuesToText();
    list.SetValuesFromText(once);
    if (list.ValuesToText() != once) {
        std::abort();
    }
    // The good lines of any text make a text without problems.
    settings.LoadGoodLines(verdict);
    if (!settings.Check(list.ValuesToText()).ok()) {
        std::abort();
    }
    return 0;
}
