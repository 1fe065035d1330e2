// Port discovery: walks COM2..COM254 and asks every port that exists for a
// unit identity and a version.

#include "Discovery.h"

#include "ProgramText.h"
#include "SerialBackend.h"
#include "StoredPort.h"
#include "T110_Device.h"

namespace k57 {

namespace {

// Opens the port exclusively and reads its line settings without changing
// them: a port that passes is a serial device nobody else holds.
bool Probe(const std::string& path) {
    std::string reason;
    serial::Device* device = serial::OpenExclusive(path, reason);
    if (!device) {
        return false;
    }
    serial::LineSettings settings;
    bool usable = serial::ReadLineSettings(device, settings);
    serial::Close(device);
    return usable;
}

}  // namespace

bool FindUnit(DeviceInterface& session, FoundUnit& found, const PortVisit& visit) {
    for (int n = 2; n <= 254; ++n) {
        // The session opens exactly the device the probe opened: the port
        // layer takes the device path as it is.
        std::string path = "\\\\.\\COM" + std::to_string(n);
        if (!Probe(path)) {
            continue;
        }
        std::string port = "COM" + std::to_string(n);
        if (visit && !visit(port)) {
            return false;
        }
        session.SetPortName(path.c_str());
        uint32_t serial = 0;
        std::string text;
        if (session.ReadIdInfo(serial) != kReplyOk || session.ReadVersion(text) != kReplyOk) {
            continue;
        }
        found.port = port;
        found.serial = serial;
        session.ParseVersion(found.info, text);
        return true;
    }
    return false;
}

NoticeText FoundUnitNotice(const FoundUnit& unit) {
    // A label and its value a line, as a table: each label is translated
    // on its own, the unit's own texts stay the unit's bytes.
    NoticeText notice(K57_TR("Discovery", "Порт:") + "\t" + unit.port + "\n");
    notice.add(K57_TR("Discovery", "Тип:") + "\t").addUnitText(unit.info.type);
    notice.add("\n" + K57_TR("Discovery", "Версия:") + "\t").addUnitText(unit.info.version);
    notice.add("\n" + K57_TR("Discovery", "Номер:") + "\t" + std::to_string(unit.serial) + "\n");
    return notice;
}

}  // namespace k57

// The session's own scan shows what it found (or that it found nothing) and
// stores the port it found.
int T110_Device::FindDevice(k57::WindowHandle owner) {
    k57::FoundUnit unit;
    if (!k57::FindUnit(*this, unit)) {
        k57::CurrentNotifier().Notify(owner, K57_TR("Discovery", "Внимание"),
                                      K57_TR("Discovery", "Устройство не найдено"));
        return 0;
    }
    k57::CurrentNotifier().Notify(owner, K57_TR("Discovery", "Устройство найдено"),
                                  k57::FoundUnitNotice(unit));
    k57::StoredPort::Write(unit.port);
    return 1;
}
