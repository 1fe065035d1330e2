#include "MessageFactory.h"

#include <cstring>

#include "ByteBuffer.h"
#include "Messages.h"

namespace orvan::tms::messages {

namespace {

using Made = std::unique_ptr<AbstractMessage>;

uint32_t U32(const uint8_t* p) {
    return uint32_t(orvan::util::ByteBuffer(const_cast<uint8_t*>(p), 4).getInt());
}

uint16_t U16(const uint8_t* p) {
    return uint16_t(orvan::util::ByteBuffer(const_cast<uint8_t*>(p), 2).getShort());
}

Made MakeSimple(int16_t code) {
    switch (code) {
        case kReqIdInfo:
            return std::make_unique<ReqIdInfoMessage>();
        case kReqVersion:
            return std::make_unique<ReqVersionMessage>();
        case kRestart:
            return std::make_unique<RestartMessage>();
        case kDiagnosticModeEnable:
            return std::make_unique<DiagnosticModeEnableMessage>();
        case kCommitUpdateAck:
            return std::make_unique<CommitUpdateAckMessage>();
        case kDataFragmentAck:
            return std::make_unique<DataFragmentAckMessage>();
        case kBeginUpdateAck:
            return std::make_unique<BeginUpdateAckMessage>();
        case kBeginFirmwareUpdate:
            return std::make_unique<BeginFirmwareUpdateMessage>();
        case kBeginWaveUpdate:
            return std::make_unique<BeginWaveUpdateMessage>();
        case kReqSettings:
            return std::make_unique<ReqSettingsMessage>();
        default:
            return nullptr;
    }
}

Made MakeWithPayload(int16_t code, const uint8_t* p, uint16_t n) {
    switch (code) {
        case kIdInfo:
            return n == 4 ? std::make_unique<IdInfoMessage>(U32(p)) : nullptr;
        case kIdSet:
            return n == 4 ? std::make_unique<IdSetMessage>(U32(p)) : nullptr;
        case kText:
            if (n < 2 || n != U16(p) + 2) {
                return nullptr;
            }
            return std::make_unique<TextMessage>(
                std::string(reinterpret_cast<const char*>(p + 2), n - 2));
        case kCommitUpdate: {
            if (n != 8) {
                return nullptr;
            }
            auto commit = std::make_unique<CommitUpdateMessage>();
            commit->setSize(U32(p));
            commit->setChecksum(U32(p + 4));
            return commit;
        }
        case kDataFragment: {
            if (n < 6 || n != U16(p + 4) + 6) {
                return nullptr;
            }
            auto fragment = std::make_unique<DataFragmentMessage>();
            fragment->setOffset(U32(p));
            fragment->setData(Bytes(p + 6, p + n));
            return fragment;
        }
        case kSettings: {
            // The text ends at the first NUL; a payload without one ends at N.
            const void* nul = n ? std::memchr(p, 0, n) : nullptr;
            size_t length = nul ? size_t(static_cast<const uint8_t*>(nul) - p) : n;
            auto settings = std::make_unique<SettingsMessage>();
            settings->setText(std::string(reinterpret_cast<const char*>(p), length));
            return settings;
        }
        default:
            return nullptr;
    }
}

}  // namespace

bool headerFits(uint16_t typeWord, uint16_t length) {
    constexpr uint16_t kMost = 1016;  // the unit's largest payload
    switch (int16_t(typeWord & 0x7FFF)) {
        case kIdInfo:
        case kIdSet:
            return length == 4;
        case kCommitUpdate:
            return length == 8;
        case kText:
            return length >= 2 && length <= kMost;
        case kDataFragment:
            return length >= 6 && length <= kMost;
        case kSettings:
            return length <= kMost;
        default:
            return length == 0 && MakeSimple(int16_t(typeWord & 0x7FFF)) != nullptr;
    }
}

std::unique_ptr<AbstractMessage> createMessage(uint16_t typeWord, const uint8_t* payload,
                                               uint16_t length) {
    int16_t code = int16_t(typeWord & 0x7FFF);
    Made message = MakeSimple(code);
    if (!message) {
        message = MakeWithPayload(code, payload, length);
    }
    if (message) {
        message->setFlag((typeWord & 0x8000) != 0);
    }
    return message;
}

}  // namespace orvan::tms::messages
