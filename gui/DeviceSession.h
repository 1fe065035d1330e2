#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "RequestWorker.h"
#include "SessionFactory.h"

namespace k57 {

// The process's one device session, owned by the main window, which
// replaces it when the port changes. Other windows reach the unit through
// it, and submit their requests to its worker thread.
class DeviceSession {
  public:
    using Request = std::function<int(DeviceInterface&)>;
    using Done = std::function<void(int result)>;

    explicit DeviceSession(SessionFactory factory = MakeUnitSession)
        : factory_(std::move(factory)) {}
    // Ends the request that runs now at its next look at the port.
    ~DeviceSession() { Abandon(); }
    DeviceInterface* get() const { return device_.get(); }
    // A new session on the port stored now. A request already submitted
    // keeps the session it was submitted on.
    void Replace() { device_ = factory_(); }

    // Queues `request` for the worker thread on the session as it is now;
    // `done` gets the result on the GUI thread, unless `context` is gone by
    // then. Without a session the result is -1.
    void Submit(QObject* context, Request request, Done done);
    // Ends the request that runs now at its next look at the port; one
    // submitted after it is not affected.
    void Abandon();
    bool running() const { return worker_.busy(); }
    RequestWorker& worker() { return worker_; }

  private:
    SessionFactory factory_;
    std::shared_ptr<DeviceInterface> device_;
    RequestWorker worker_;
};

}  // namespace k57
