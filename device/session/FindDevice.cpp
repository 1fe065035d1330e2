// Port discovery: walks COM2..COM254, asks every port that exists for a unit
// identity and a version, reports the first unit found and stores its port.

#include "SerialBackend.h"
#include "StoredPort.h"
#include "T110_Device.h"

namespace {

// Opens the port exclusively and reads its line settings without changing
// them: a port that passes is a serial device nobody else holds.
bool Probe(const std::string& path) {
    std::string reason;
    k57::serial::Device* device = k57::serial::OpenExclusive(path, reason);
    if (!device) {
        return false;
    }
    k57::serial::LineSettings settings;
    bool usable = k57::serial::ReadLineSettings(device, settings);
    k57::serial::Close(device);
    return usable;
}

}  // namespace

int T110_Device::FindDevice(k57::WindowHandle owner) {
    for (int n = 2; n <= 254; ++n) {
        // The session opens exactly the device the probe opened: the port
        // layer takes the device path as it is.
        std::string path = "\\\\.\\COM" + std::to_string(n);
        if (!Probe(path)) {
            continue;
        }
        SetPortName(path.c_str());
        uint32_t serial = 0;
        std::string text;
        if (ReadIdInfo(serial) != k57::kReplyOk || ReadVersion(text) != k57::kReplyOk) {
            continue;
        }
        VersionInfo info;
        ParseVersion(info, text);
        k57::NoticeText found("Порт:\tCOM" + std::to_string(n) + "\nТип:\t");
        found.addUnitText(info.type).add("\nВерсия:\t").addUnitText(info.version);
        found.add("\nНомер:\t" + std::to_string(serial) + "\n");
        k57::CurrentNotifier().Notify(owner, "Устройство найдено", found);
        k57::StoredPort::Write("COM" + std::to_string(n));
        return 1;
    }
    k57::CurrentNotifier().Notify(owner, "Внимание", "Устройство не найдено");
    return 0;
}
