#pragma once

#include <cstdint>
#include <memory>

#include "AbstractMessage.h"

namespace orvan::tms::messages {

// Turns a received frame into its message, or null when the code is not
// part of the protocol or the payload does not fit the code's layout.
std::unique_ptr<AbstractMessage> createMessage(uint16_t typeWord, const uint8_t* payload,
                                               uint16_t length);

}  // namespace orvan::tms::messages
