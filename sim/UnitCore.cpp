#include "UnitCore.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "Crc32.h"
#include "FileRead.h"
#include "FrameTrace.h"
#include "MessageFactory.h"
#include "Messages.h"
#include "SafeSave.h"

using namespace orvan::tms::messages;

namespace k57::sim {

namespace {

// A partial frame older than this is dropped: the tool gave up on it.
constexpr uint64_t kStaleFrameUs = 1'000'000;

// The unit's memory holds one settings text (at most 1016 bytes); a file
// that cannot be one leaves the unit with none.
std::string ReadFile(const std::string& path) {
    std::string text, ignored;
    return ReadWholeFile(path, FileLimits::kMegabyte, text, ignored) ? text : std::string();
}

// Saved whole or not at all, as the unit's flash keeps it.
void Keep(const std::string& path, const std::string& settings) {
    std::string error;
    if (!SafeSave(path, settings, error)) {
        std::fprintf(stderr, "k57sim: cannot keep the settings in %s: %s\n", path.c_str(),
                     error.c_str());
    }
}

Outgoing Text(const std::string& text) {
    return {false, 0, Bytes(text.begin(), text.end())};
}

}  // namespace

Bytes EncodedFrame(AbstractMessage& message) {
    Bytes frame = message.encode();
    frame.insert(frame.end(), AbstractMessage::kTrailerSize, 0);
    return frame;
}

UnitCore::UnitCore(UnitOptions options, std::shared_ptr<Trace> trace)
    : options_(std::move(options)), trace_(std::move(trace)) {
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

std::string UnitCore::Stream(uint64_t nowUs, std::string* canFrames) {
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
        if (options_.diagnosticMotion) {
            if (!motion_) {
                motion_ = std::make_unique<MotionTrace>();
                motionStartUs_ = nowUs;
            }
            MotionTrace::Reading r = motion_->At(double(nowUs - motionStartUs_) / 1e6);
            std::snprintf(line, sizeof line, "\r\n$AccD:\t%.2f,\t%.2f,\t%.2f", r.x, r.y, r.z);
            text += line;
            if (!r.event.empty()) {
                text += "\r\n" + r.event;
            }
        } else {
            std::snprintf(line, sizeof line, "\r\n$AccD:\t%.2f,\t%.2f,\t%.2f",
                          100.0 * ((k % 21) - 10) / 7, -3.5 + k % 8, 980.25 + k % 5);
            text += line;
            if (k % 10 == 9) {
                text += std::string("\r\n") + kEvents[(k / 10) % 3];
            }
        }
        nextDiagnosticUs_ = nowUs + uint64_t(options_.diagnosticPeriodMs) * 1000;
    }
    if (canOpen_) {
        (canFrames ? *canFrames : text) += can_->Due(nowUs);
    }
    return text;
}

// One ASCII command of the CAN channel, without its CR; the reply, as
// serial CAN adapters give it: CR for done, BELL for a command it does not
// know or cannot do now.
std::string UnitCore::Command(const std::string& command, uint64_t nowUs) {
    canCommands_.push_back(command);
    if (options_.canSilent) {
        return {};
    }
    static const std::string kBell = "\a";
    char letter = command.empty() ? '\0' : command[0];
    switch (letter) {
        case 'V':
            return command.size() == 1 ? "V1010\r" : kBell;
        case 'v':
            return command.size() == 1 ? "vK57SIM\r" : kBell;
        case 'N':  // the serial number, four characters as adapters give it
            return command.size() == 1 ? "NK057\r" : kBell;
        case 'S':
            return command.size() == 2 && command[1] >= '0' && command[1] <= '8' && !canOpen_
                       ? "\r"
                       : kBell;
        case 's':  // bit timing registers: taken, and the rate stays as set
            return command.size() == 5 && !canOpen_ ? "\r" : kBell;
        case 'O':  // a second open changes nothing
            if (command.size() != 1) {
                return kBell;
            }
            if (!canOpen_) {
                canOpen_ = true;
                can_->Start(nowUs);
            }
            return "\r";
        case 'C':
            if (command.size() != 1) {
                return kBell;
            }
            canOpen_ = false;
            return "\r";
        case 't':
        case 'r':  // frames to send: taken while open, not put on a bus
            return canOpen_ && command.size() >= 5 ? "z\r" : kBell;
        case 'T':
        case 'R':
            return canOpen_ && command.size() >= 10 ? "Z\r" : kBell;
        default:
            return kBell;
    }
}

namespace {

const std::set<int> kRequestCodes = {
    kReqIdInfo,    kIdSet,        kReqVersion,          kRestart,         kDiagnosticModeEnable,
    kCommitUpdate, kDataFragment, kBeginFirmwareUpdate, kBeginWaveUpdate, kReqSettings,
    kSettings};

// Whether the first bytes can begin a request frame: a known request code,
// whose high byte is 0 (or the flag bit), and a length a request can have.
// Text never has a 0 or 0x80 as its second byte.
bool FrameStart(const Bytes& inbox) {
    if (inbox.size() < 4) {
        return inbox.size() < 2 || inbox[1] == 0x00 || inbox[1] == 0x80;
    }
    uint16_t word = uint16_t(inbox[0] | inbox[1] << 8);
    size_t length = size_t(inbox[2] | inbox[3] << 8);
    return kRequestCodes.count(word & 0x7FFF) && length <= 2048;
}

bool IsText(uint8_t byte) {
    return byte >= 0x20 && byte < 0x7F;
}

}  // namespace

// A command line ends with CR; a line feed after it is let go.
bool UnitCore::HandleCommand(std::vector<Outgoing>& out, uint64_t nowUs) {
    auto cr = std::find(inbox_.begin(), inbox_.end(), '\r');
    if (cr == inbox_.end()) {
        return false;
    }
    frametrace::Bytes(TraceEntry::Direction::In, "text", inbox_.data(),
                      size_t(cr + 1 - inbox_.begin()), *trace_);
    std::string reply = Command(std::string(inbox_.begin(), cr), nowUs);
    inbox_.erase(inbox_.begin(), cr + 1);
    if (!reply.empty()) {
        out.push_back(Text(reply));
    }
    return true;
}

// The text channel and the framed protocol share the line: a well-formed
// request frame is one whatever mode the unit is in; printable bytes up to
// a CR are a command; any other byte (a stray CR or LF) is let go.
std::vector<Outgoing> UnitCore::Receive(const uint8_t* bytes, size_t n, uint64_t nowUs) {
    if (!inbox_.empty() && nowUs - lastInputUs_ > kStaleFrameUs) {
        frametrace::Partial(TraceEntry::Direction::In, inbox_.data(), inbox_.size(),
                            "dropped: the rest never came", *trace_);
        inbox_.clear();
    }
    lastInputUs_ = nowUs;
    inbox_.insert(inbox_.end(), bytes, bytes + n);

    std::vector<Outgoing> out;
    while (!inbox_.empty()) {
        if (FrameStart(inbox_)) {
            if (inbox_.size() < 4) {
                break;  // too early to tell
            }
            size_t frameSize = size_t(inbox_[2] | inbox_[3] << 8) + 8;
            if (inbox_.size() < frameSize) {
                break;
            }
            HandleFrame(out);
            continue;
        }
        if (IsText(inbox_[0])) {
            if (!HandleCommand(out, nowUs)) {
                break;
            }
            continue;
        }
        frametrace::Bytes(TraceEntry::Direction::In, "noise", inbox_.data(), 1, *trace_);
        inbox_.erase(inbox_.begin());
    }
    return out;
}

void UnitCore::HandleFrame(std::vector<Outgoing>& out) {
    uint16_t word = uint16_t(inbox_[0] | inbox_[1] << 8);
    size_t length = size_t(inbox_[2] | inbox_[3] << 8);
    auto request = createMessage(word, inbox_.data() + 4, uint16_t(length));
    frametrace::Received(inbox_.data(), length + 8, 0, request ? "" : "cannot be decoded",
                         *trace_);
    inbox_.erase(inbox_.begin(), inbox_.begin() + long(length + 8));
    uint16_t code = uint16_t(word & 0x7FFF);
    requests_.push_back(code);
    // A framed request means the tool has left the text modes.
    diagnosticMode_ = false;
    motion_.reset();
    canOpen_ = false;
    std::unique_ptr<Message> reply = request ? Answer(code, request.get()) : nullptr;
    if (reply) {
        out.push_back({true, code, EncodedFrame(*reply)});
    }
}

// An accepted image takes effect: new firmware reports its own type,
// version and build from the information block 256 bytes into the image
// (the unit restarts into it); new sound data is remembered by its size and
// checksum.
void UnitCore::Install(const Commit& commit) {
    if (!firmwareUpdate_) {
        sound_ = commit;
        return;
    }
    constexpr size_t kInfo = 8 + 256, kType = 48, kVersion = 16, kExtra = 32;
    if (image_.size() >= kInfo + kType + kVersion + kExtra) {
        auto field = [&](size_t at, size_t size) {
            const char* text = reinterpret_cast<const char*>(image_.data() + kInfo + at);
            return std::string(text, strnlen(text, size));
        };
        options_.versionText = field(0, kType) + "\n" + field(kType, kVersion) + "\n" +
                               field(kType + kVersion, kExtra);
    }
    if (options_.resetSettingsOnFirmware) {
        options_.settings.clear();
        if (!options_.settingsFile.empty()) {
            Keep(options_.settingsFile, {});
        }
    }
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
            if (options_.keepSettingsOnWrite || options_.hangUpOnSettingsWrite) {
                return std::make_unique<SettingsMessage>();
            }
            options_.settings = static_cast<const SettingsMessage*>(request)->text();
            if (!options_.settingsFile.empty()) {
                Keep(options_.settingsFile, options_.settings);
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
            firmwareUpdate_ = code == kBeginFirmwareUpdate;
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
            // A unit that refuses its commits takes nothing it was sent.
            if (!matches || options_.refuseCommits) {
                return nullptr;
            }
            Install(commits_.back());
            return std::make_unique<CommitUpdateAckMessage>();
        }
        default:
            return nullptr;
    }
}

}  // namespace k57::sim
