#include "DeviceSession.h"

#include <QString>

namespace k57 {

void DeviceSession::Submit(QObject* context, Request request, Done done) {
    std::shared_ptr<DeviceInterface> device = device_;
    if (!device) {
        worker_.Submit(
            context, [] { return kPortUnavailable; }, std::move(done), nullptr);
        return;
    }
    // The flag is cleared when the request starts, not when it is queued:
    // a request queued behind an abandoned one must not revive that one.
    worker_.Submit(
        context,
        [device, request = std::move(request)] {
            device->SetAbandoned(false);
            return request(*device);
        },
        std::move(done), [device] { return QString::fromStdString(device->PortName()); });
}

void DeviceSession::Abandon() {
    if (device_ && worker_.busy()) {
        device_->SetAbandoned(true);
    }
}

}  // namespace k57
