#pragma once

#include <cstdint>

// Checksum of update images: the reflected CRC-32 polynomial 0xEDB88320 with
// initial value 0 and no final inversion. It is not the common CRC-32, and
// the unit compares exactly this value.
uint32_t Crc32(const uint8_t* data, unsigned length);
