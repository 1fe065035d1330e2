#pragma once

#include <functional>
#include <memory>

#include "DeviceInterface.h"

namespace k57 {

// Makes a new device session on the port stored now. Programs pass one to
// whatever holds their session; tests pass their own.
using SessionFactory = std::function<std::unique_ptr<DeviceInterface>()>;

// The session that speaks to a real unit over its serial port.
std::unique_ptr<DeviceInterface> MakeUnitSession();

}  // namespace k57
