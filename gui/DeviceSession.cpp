#include "DeviceSession.h"

#include <QString>

namespace k57 {

int DeviceSession::Run(const std::function<int(DeviceInterface&)>& request) {
    DeviceInterface* device = device_.get();
    if (!device) {
        return kPortUnavailable;
    }
    device->SetAbandoned(false);
    return runner_.Run([&] { return request(*device); },
                       [device] { return QString::fromStdString(device->PortName()); });
}

void DeviceSession::Abandon() {
    if (device_ && runner_.running()) {
        device_->SetAbandoned(true);
    }
}

}  // namespace k57
