#include "SessionFactory.h"

#include "T110_Device.h"

namespace k57 {

std::unique_ptr<DeviceInterface> MakeUnitSession() {
    return std::make_unique<T110_Device>();
}

}  // namespace k57
