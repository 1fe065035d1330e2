#pragma once

#include <memory>

#include "T110_Device.h"

namespace k57 {

// The process's one device session, owned by the main window, which
// replaces it when the port changes. Other windows reach the unit through it.
class DeviceSession {
  public:
    T110_Device* get() const { return device_.get(); }
    // A new session on the port stored now.
    void Replace() { device_ = std::make_unique<T110_Device>(); }

  private:
    std::unique_ptr<T110_Device> device_;
};

}  // namespace k57
