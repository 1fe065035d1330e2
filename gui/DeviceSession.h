#pragma once

#include <memory>
#include <utility>

#include "SessionFactory.h"

namespace k57 {

// The process's one device session, owned by the main window, which
// replaces it when the port changes. Other windows reach the unit through it.
class DeviceSession {
  public:
    explicit DeviceSession(SessionFactory factory = MakeUnitSession)
        : factory_(std::move(factory)) {}
    DeviceInterface* get() const { return device_.get(); }
    // A new session on the port stored now.
    void Replace() { device_ = factory_(); }

  private:
    SessionFactory factory_;
    std::unique_ptr<DeviceInterface> device_;
};

}  // namespace k57
