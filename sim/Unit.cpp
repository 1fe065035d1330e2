#include "Unit.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Crc32.h"
#include "MessageFactory.h"
#include "Messages.h"
#include "PortMapping.h"

using namespace orvan::tms::messages;

namespace k57::sim {

namespace {

// A partial frame older than this is dropped: the tool gave up on it.
constexpr uint64_t kStaleFrameUs = 1'000'000;

uint64_t NowUs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

Bytes Encoded(AbstractMessage& message) {
    Bytes frame = message.encode();
    frame.insert(frame.end(), AbstractMessage::kTrailerSize, 0);
    return frame;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

Unit::Unit(UnitOptions options) : options_(std::move(options)) {
    if (!options_.settingsFile.empty()) {
        options_.settings = ReadFile(options_.settingsFile);
    }
    can_ = std::make_unique<CanTraffic>(options_);
}

Unit::~Unit() {
    stop();
    if (registeredCom_) {
        ports::Unregister(registeredCom_);
    }
}

bool Unit::start() {
    if (!pty_.ok() || pipe(stopPipe_) != 0) {
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void Unit::stop() {
    if (thread_.joinable()) {
        char byte = 0;
        (void)!write(stopPipe_[1], &byte, 1);
        thread_.join();
    }
    for (int& fd : stopPipe_) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

bool Unit::registerAs(int comNumber) {
    if (!ports::Register(comNumber, devicePath())) {
        return false;
    }
    registeredCom_ = comNumber;
    return true;
}

void Unit::configure(const std::function<void(UnitOptions&)>& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change(options_);
}

void Unit::Serve() {
    uint8_t buffer[4096];
    for (;;) {
        pollfd fds[2] = {{pty_.master(), POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs()) < 0) {
            continue;
        }
        if (fds[1].revents) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            ssize_t n = read(pty_.master(), buffer, sizeof buffer);
            if (n > 0) {
                Receive(buffer, size_t(n));
            }
        }
        Stream();
    }
}

int Unit::PollTimeoutMs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t now = NowUs(), due = now + 100'000;
    if (diagnosticMode_) {
        due = std::min(due, nextDiagnosticUs_);
    }
    if (canOpen_) {
        due = std::min(due, can_->NextDueUs());
    }
    return due > now ? int((due - now + 999) / 1000) : 0;
}

// The text the unit sends by itself: diagnostic lines and CAN frames.
void Unit::Stream() {
    static const char* const kEvents[] = {"$AccE: Motion detected", "$VS: Voltage 12.4 V",
                                          "$Can: Door open"};
    uint64_t now = NowUs();
    std::string text;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (diagnosticMode_ && now >= nextDiagnosticUs_) {
            int k = diagnosticLines_++;
            char line[96];
            std::snprintf(line, sizeof line, "\r\n$AccD:\t%.2f,\t%.2f,\t%.2f",
                          100.0 * ((k % 21) - 10) / 7, -3.5 + k % 8, 980.25 + k % 5);
            text += line;
            if (k % 10 == 9) {
                text += std::string("\r\n") + kEvents[(k / 10) % 3];
            }
            nextDiagnosticUs_ = now + uint64_t(options_.diagnosticPeriodMs) * 1000;
        }
        if (canOpen_) {
            text += can_->Due(now);
        }
    }
    if (!text.empty()) {
        pty_.offer(text);
    }
}

// One ASCII command of the CAN channel, without its CR.
void Unit::Command(const std::string& command) {
    std::string reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        canCommands_.push_back(command);
        if (options_.canSilent) {
            return;
        }
        if (command == "V") {
            reply = "V1010\r";
        } else if (command == "v") {
            reply = "vK57SIM\r";
        } else if (command.size() == 2 && command[0] == 'S' && command[1] >= '0' &&
                   command[1] <= '8') {
            reply = "\r";
        } else if (command == "O") {
            reply = "\r";
            canOpen_ = true;
            can_->Start(NowUs());
        } else if (command == "C") {
            reply = "\r";
            canOpen_ = false;
        } else {
            reply = "\a";  // not understood
        }
    }
    pty_.offer(reply);
}

// An ASCII command starts with its letter; frames never start with one of
// these bytes. False while the command's CR has not arrived.
bool Unit::HandleCommand() {
    auto cr = std::find(inbox_.begin(), inbox_.end(), '\r');
    if (cr == inbox_.end()) {
        return false;
    }
    Command(std::string(inbox_.begin(), cr));
    inbox_.erase(inbox_.begin(), cr + 1);
    return true;
}

uint64_t Unit::WireTimeUs(size_t bytes) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.byteRate ? bytes * 1'000'000ull / options_.byteRate : 0;
}

void Unit::PaceUntil(uint64_t dueUs) {
    uint64_t now = NowUs();
    if (dueUs > now) {
        std::this_thread::sleep_for(std::chrono::microseconds(dueUs - now));
    }
}

void Unit::Receive(const uint8_t* bytes, size_t n) {
    uint64_t now = NowUs();
    if (!inbox_.empty() && now - lastInputUs_ > kStaleFrameUs) {
        inbox_.clear();
    }
    lastInputUs_ = now;
    inbox_.insert(inbox_.end(), bytes, bytes + n);
    // On a paced link the bytes finish arriving only after their wire time.
    inWireFreeUs_ = std::max(inWireFreeUs_, now) + WireTimeUs(n);
    HandleFrames();
}

void Unit::HandleFrames() {
    static const std::string kCommandLetters = "VvSOC";
    while (!inbox_.empty()) {
        if (kCommandLetters.find(char(inbox_[0])) != std::string::npos) {
            if (!HandleCommand()) {
                return;
            }
            continue;
        }
        if (inbox_.size() < 4) {
            return;
        }
        uint16_t word = uint16_t(inbox_[0] | inbox_[1] << 8);
        size_t length = size_t(inbox_[2] | inbox_[3] << 8);
        size_t frameSize = length + 8;
        if (inbox_.size() < frameSize) {
            return;
        }
        PaceUntil(inWireFreeUs_);
        auto request = createMessage(word, inbox_.data() + 4, uint16_t(length));
        inbox_.erase(inbox_.begin(), inbox_.begin() + long(frameSize));
        Handle(uint16_t(word & 0x7FFF), request.get());
    }
}

void Unit::Handle(uint16_t code, const Message* request) {
    std::unique_ptr<Message> reply;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(code);
        // A framed request means the tool has left the text modes.
        diagnosticMode_ = false;
        canOpen_ = false;
        bool hungUp =
            options_.hangUpAfterFragments >= 0 && fragmentsAcked_ >= options_.hangUpAfterFragments;
        if (!request || hungUp) {
            return;
        }
        reply = Answer(code, request);
    }
    Reply(code, std::move(reply));
}

// Runs with the mutex held.
std::unique_ptr<AbstractMessage> Unit::Answer(uint16_t code, const Message* request) {
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
            fragmentsAcked_ = 0;
            return std::make_unique<BeginUpdateAckMessage>();
        case kDataFragment: {
            auto* fragment = static_cast<const DataFragmentMessage*>(request);
            size_t end = fragment->getOffset() + fragment->getData().size();
            if (image_.size() < end) {
                image_.resize(end);
            }
            std::copy(fragment->getData().begin(), fragment->getData().end(),
                      image_.begin() + fragment->getOffset());
            ++fragmentsAcked_;
            return std::make_unique<DataFragmentAckMessage>();
        }
        case kCommitUpdate: {
            // The first eight bytes hold the sound package's header, or 0xFF
            // ahead of a firmware image; size and checksum cover the rest.
            auto* commit = static_cast<const CommitUpdateMessage*>(request);
            uint32_t size = commit->getSize();
            bool matches = image_.size() == size_t(size) + 8 &&
                           Crc32(image_.data() + 8, size) == commit->getChecksum();
            bool accepted = matches && !options_.refuseCommits;
            commits_.push_back({size, commit->getChecksum(), accepted});
            return accepted ? std::make_unique<CommitUpdateAckMessage>() : nullptr;
        }
        default:
            return nullptr;
    }
}

void Unit::Reply(uint16_t code, std::unique_ptr<Message> reply) {
    UnitOptions::Fault fault;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bool applies = options_.faultCodes.empty() || options_.faultCodes.count(code);
        fault = applies ? options_.fault : UnitOptions::Fault::None;
    }
    using Fault = UnitOptions::Fault;
    if (!reply || fault == Fault::Silent) {
        return;
    }
    Bytes frame;
    if (fault == Fault::WrongType) {
        if (reply->getType() == kIdInfo) {
            TextMessage other("K57BT");
            frame = Encoded(other);
        } else {
            IdInfoMessage other(1);
            frame = Encoded(other);
        }
    } else if (fault == Fault::Undecodable) {
        frame = {0x0B, 0x00, 0x03, 0x00, 1, 2, 3, 0, 0, 0, 0};
    } else if (fault == Fault::Oversize) {
        frame = {0x0B, 0x00, 0xF9, 0x03};  // N = 1017
        frame.resize(4 + 1017 + 4);
    } else {
        frame = Encoded(*reply);
    }
    SendBytes(frame);
}

void Unit::SendBytes(const Bytes& bytes) {
    int piece, pauseMs;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        piece = options_.dribbleBytes > 0 ? options_.dribbleBytes : int(bytes.size());
        pauseMs = options_.dribblePauseMs;
    }
    for (size_t at = 0; at < bytes.size(); at += size_t(piece)) {
        size_t n = std::min(bytes.size() - at, size_t(piece));
        if (at > 0 && pauseMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
        outWireFreeUs_ = std::max(outWireFreeUs_, NowUs()) + WireTimeUs(n);
        PaceUntil(outWireFreeUs_);
        pty_.writeAll(bytes.data() + at, n);
    }
}

std::vector<int> Unit::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<uint8_t> Unit::image() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return image_;
}

std::vector<Unit::Commit> Unit::commits() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commits_;
}

std::string Unit::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.settings;
}

uint32_t Unit::serial() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.serial;
}

int Unit::restarts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return restarts_;
}

bool Unit::diagnosticMode() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return diagnosticMode_;
}

bool Unit::canOpen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return canOpen_;
}

std::vector<std::string> Unit::canCommands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return canCommands_;
}

}  // namespace k57::sim
