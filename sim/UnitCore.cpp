#include "UnitCore.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "Crc32.h"
#include "MessageFactory.h"
#include "Messages.h"

using namespace orvan::tms::messages;

namespace k57::sim {

namespace {

// A partial frame older than this is dropped: the tool gave up on it.
constexpr uint64_t kStaleFrameUs = 1'000'000;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Bytes Encoded(AbstractMessage& message) {
    Bytes frame = message.encode();
    frame.insert(frame.end(), AbstractMessage::kTrailerSize, 0);
    return frame;
}

Outgoing Text(const std::string& text) {
    return {false, 0, Bytes(text.begin(), text.end())};
}

}  // namespace

UnitCore::UnitCore(UnitOptions options) : options_(std::move(options)) {
    if (!options_.settingsFile.empty()) {
        options_.settings = ReadFile(options_.settingsFile);
    }
    can_ = std::make_unique<CanTraffic>(options_);
}

UnitCore::~UnitCore() = default;

uint64_t UnitCore::NextDueUs(uint64_t nowUs) const {
    if ((diagnosticMode_ && options_.diagnosticFlood) || (canOpen_ && options_.canNoise)) {
        return nowUs;
    }
    uint64_t due = nowUs + 100'000;
    if (diagnosticMode_) {
        due = std::min(due, nextDiagnosticUs_);
    }
    if (canOpen_) {
        due = std::min(due, can_->NextDueUs());
    }
    return due;
}

std::string UnitCore::Stream(uint64_t nowUs) {
    static const char* const kEvents[] = {"$AccE: Motion detected", "$VS: Voltage 12.4 V",
                                          "$Can: Door open"};
    std::string text;
    if (diagnosticMode_ && options_.diagnosticFlood) {
        for (int i = 0; i < 64; ++i) {
            text += "\r\n$VS: Voltage 12.4 V";
        }
    }
    if (canOpen_ && options_.canNoise) {
        text += std::string(4096, 'x');
    }
    if (diagnosticMode_ && nowUs >= nextDiagnosticUs_) {
        int k = diagnosticLines_++;
        char line[96];
        std::snprintf(line, sizeof line, "\r\n$AccD:\t%.2f,\t%.2f,\t%.2f",
                      100.0 * ((k % 21) - 10) / 7, -3.5 + k % 8, 980.25 + k % 5);
        text += line;
        if (k % 10 == 9) {
            text += std::string("\r\n") + kEvents[(k / 10) % 3];
        }
        nextDiagnosticUs_ = nowUs + uint64_t(options_.diagnosticPeriodMs) * 1000;
    }
    if (canOpen_) {
        text += can_->Due(nowUs);
    }
    return text;
}

// One ASCII command of the CAN channel, without its CR; the reply.
std::string UnitCore::Command(const std::string& command, uint64_t nowUs) {
    canCommands_.push_back(command);
    if (options_.canSilent) {
        return {};
    }
    if (command == "V") {
        return "V1010\r";
    }
    if (command == "v") {
        return "vK57SIM\r";
    }
    if (command.size() == 2 && command[0] == 'S' && command[1] >= '0' && command[1] <= '8') {
        return "\r";
    }
    if (command == "O") {
        canOpen_ = true;
        can_->Start(nowUs);
        return "\r";
    }
    if (command == "C") {
        canOpen_ = false;
        return "\r";
    }
    return "\a";  // not understood
}

// An ASCII command starts with its letter; frames never start with one of
// these bytes. False while the command's CR has not arrived.
bool UnitCore::HandleCommand(std::vector<Outgoing>& out, uint64_t nowUs) {
    auto cr = std::find(inbox_.begin(), inbox_.end(), '\r');
    if (cr == inbox_.end()) {
        return false;
    }
    std::string reply = Command(std::string(inbox_.begin(), cr), nowUs);
    inbox_.erase(inbox_.begin(), cr + 1);
    if (!reply.empty()) {
        out.push_back(Text(reply));
    }
    return true;
}

std::vector<Outgoing> UnitCore::Receive(const uint8_t* bytes, size_t n, uint64_t nowUs) {
    if (!inbox_.empty() && nowUs - lastInputUs_ > kStaleFrameUs) {
        inbox_.clear();
    }
    lastInputUs_ = nowUs;
    inbox_.insert(inbox_.end(), bytes, bytes + n);

    static const std::string kCommandLetters = "VvSOC";
    std::vector<Outgoing> out;
    while (!inbox_.empty()) {
        if (kCommandLetters.find(char(inbox_[0])) != std::string::npos) {
            if (!HandleCommand(out, nowUs)) {
                break;
            }
            continue;
        }
        if (inbox_.size() < 4) {
            break;
        }
        uint16_t word = uint16_t(inbox_[0] | inbox_[1] << 8);
        size_t length = size_t(inbox_[2] | inbox_[3] << 8);
        size_t frameSize = length + 8;
        if (inbox_.size() < frameSize) {
            break;
        }
        auto request = createMessage(word, inbox_.data() + 4, uint16_t(length));
        inbox_.erase(inbox_.begin(), inbox_.begin() + long(frameSize));
        uint16_t code = uint16_t(word & 0x7FFF);
        requests_.push_back(code);
        // A framed request means the tool has left the text modes.
        diagnosticMode_ = false;
        canOpen_ = false;
        std::unique_ptr<Message> reply = request ? Answer(code, request.get()) : nullptr;
        if (reply) {
            out.push_back({true, code, Encoded(*reply)});
        }
    }
    return out;
}

std::unique_ptr<AbstractMessage> UnitCore::Answer(uint16_t code, const Message* request) {
    switch (code) {
        case kReqIdInfo:
            return std::make_unique<IdInfoMessage>(options_.serial);
        case kIdSet:
            options_.serial = static_cast<const IdSetMessage*>(request)->getValue();
            return std::make_unique<IdInfoMessage>(options_.serial);
        case kReqVersion:
            return std::make_unique<TextMessage>(options_.versionText);
        case kReqSettings: {
            auto reply = std::make_unique<SettingsMessage>();
            reply->setText(options_.settings);
            return reply;
        }
        case kSettings:
            // A write is acknowledged with an empty settings message.
            options_.settings = static_cast<const SettingsMessage*>(request)->text();
            if (!options_.settingsFile.empty()) {
                std::ofstream(options_.settingsFile, std::ios::binary) << options_.settings;
            }
            return std::make_unique<SettingsMessage>();
        case kRestart:
            ++restarts_;
            return nullptr;
        case kDiagnosticModeEnable:
            diagnosticMode_ = true;
            return nullptr;
        case kBeginFirmwareUpdate:
        case kBeginWaveUpdate:
            image_.clear();
            return std::make_unique<BeginUpdateAckMessage>();
        case kDataFragment: {
            auto* fragment = static_cast<const DataFragmentMessage*>(request);
            size_t end = fragment->getOffset() + fragment->getData().size();
            if (image_.size() < end) {
                image_.resize(end);
            }
            std::copy(fragment->getData().begin(), fragment->getData().end(),
                      image_.begin() + fragment->getOffset());
            return std::make_unique<DataFragmentAckMessage>();
        }
        case kCommitUpdate: {
            // The first eight bytes hold the sound package's header, or 0xFF
            // ahead of a firmware image; size and checksum cover the rest.
            auto* commit = static_cast<const CommitUpdateMessage*>(request);
            uint32_t size = commit->getSize();
            bool matches = image_.size() == size_t(size) + 8 &&
                           Crc32(image_.data() + 8, size) == commit->getChecksum();
            commits_.push_back({size, commit->getChecksum(), matches});
            return matches ? std::make_unique<CommitUpdateAckMessage>() : nullptr;
        }
        default:
            return nullptr;
    }
}

}  // namespace k57::sim
