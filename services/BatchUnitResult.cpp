#include "BatchUnit.h"

namespace k57 {

// Apart from ProgramUnit: the summary and the JSON lines name results
// without running a unit.
const char* ResultCode(BatchUnitResult::Result result) {
    switch (result) {
        case BatchUnitResult::Result::Ok:
            return "ok";
        case BatchUnitResult::Result::Failed:
            return "failed";
        case BatchUnitResult::Result::Skipped:
            break;
    }
    return "skipped";
}

}  // namespace k57
