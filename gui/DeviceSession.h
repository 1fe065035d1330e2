#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "RequestRunner.h"
#include "SessionFactory.h"

namespace k57 {

// The process's one device session, owned by the main window, which
// replaces it when the port changes. Other windows reach the unit through
// it, and run their requests through Run, off the GUI thread.
class DeviceSession {
  public:
    explicit DeviceSession(SessionFactory factory = MakeUnitSession)
        : factory_(std::move(factory)) {}
    DeviceInterface* get() const { return device_.get(); }
    // A new session on the port stored now.
    void Replace() { device_ = factory_(); }

    // Runs one request on the session (there must be one) off the GUI
    // thread; see RequestRunner.
    int Run(const std::function<int(DeviceInterface&)>& request);
    // Ends the request that runs now at its next look at the port.
    void Abandon();
    bool running() const { return runner_.running(); }
    RequestRunner& runner() { return runner_; }

  private:
    SessionFactory factory_;
    std::unique_ptr<DeviceInterface> device_;
    RequestRunner runner_;
};

}  // namespace k57
