// The catalogue loader on any document: it loads or refuses with a reason.

#include <cstdlib>

#include "ParameterList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ParameterList list(std::string(reinterpret_cast<const char*>(data), size));
    if (list.loadError().empty()) {
        list.SetValuesFromText(list.ValuesToText());
        for (int i = 0; i < list.ParameterCount(); ++i) {
            list.DisplayValue(list.ParameterAt(i).key);
        }
    } else if (list.ParameterCount() != 0 || list.GroupCount() != 0) {
        std::abort();  // a refused catalogue leaves the list empty
    }
    return 0;
}
