#pragma once

#include <cstdint>
#include <memory>

#include "AbstractMessage.h"

namespace orvan::tms::messages {

// Turns a received frame into its message, or null when the code is not
// part of the protocol or the payload does not fit the code's layout.
std::unique_ptr<AbstractMessage> createMessage(uint16_t typeWord, const uint8_t* payload,
                                               uint16_t length);

// Whether a frame of this type word may announce `length` payload bytes: the
// code is part of the protocol and the length is one its layout can have.
// A header that fails this cannot start a frame, so a reader looking for
// one can let its first byte go.
bool headerFits(uint16_t typeWord, uint16_t length);

}  // namespace orvan::tms::messages
