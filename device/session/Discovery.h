#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "DeviceInterface.h"
#include "Notifier.h"
#include "VersionInfo.h"

namespace k57 {

// A unit that discovery found: its port's short name ("COMn"), identity and
// version.
struct FoundUnit {
    std::string port;
    uint32_t serial = 0;
    VersionInfo info{};
};

// Called with a port's short name before the unit behind it is asked;
// returning false ends the scan there.
using PortVisit = std::function<bool(const std::string& port)>;

// Walks COM2..COM254 in order, asks every port that exists and can be held
// for a unit identity and a version, and stops at the first unit that
// answers both. Shows nothing and stores nothing: the caller decides.
bool FindUnit(DeviceInterface& session, FoundUnit& found, const PortVisit& visit = {});

// The four lines that announce a found unit: port, type, version, number.
NoticeText FoundUnitNotice(const FoundUnit& unit);

}  // namespace k57
