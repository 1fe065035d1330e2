#pragma once

namespace k57 {

// What the windows say when a request to the unit got nothing usable; the
// log says why beside it.
inline constexpr char kNotConnected[] = "Устройство не подключено или занято";

}  // namespace k57
