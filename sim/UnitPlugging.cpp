// The unit's presence: its serving thread, its terminal, and the COM entry
// and link that lead the tool to it, as it is plugged in and pulled out.

#include <unistd.h>

#include <climits>

#include "PortMapping.h"
#include "Unit.h"

namespace k57::sim {

namespace {

// Where a symbolic link leads; empty when it is not one.
std::string Target(const std::string& link) {
    char target[PATH_MAX] = {};
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

}  // namespace

Unit::Unit(UnitOptions options)
    : pty_(std::make_unique<Pty>()),
      trace_(std::make_shared<Trace>()),
      core_(std::make_unique<UnitCore>(std::move(options), trace_)),
      devicePath_(pty_->slavePath()) {}

Unit::~Unit() {
    Unplug();
}

bool Unit::start() {
    std::lock_guard<std::mutex> lock(plugging_);
    return StartServing();
}

void Unit::stop() {
    std::lock_guard<std::mutex> lock(plugging_);
    StopServing();
}

bool Unit::StartServing() {
    if (!pty_ || !pty_->ok() || thread_.joinable() || pipe(stopPipe_) != 0) {
        return false;
    }
    thread_ = std::thread([this] { Serve(); });
    return true;
}

void Unit::StopServing() {
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

// devicePath_ changes only under both locks, so reading it under
// `plugging_` alone is safe.
bool Unit::registerAs(int comNumber) {
    std::lock_guard<std::mutex> lock(plugging_);
    if (!devicePath_.empty() && !ports::Register(comNumber, devicePath_)) {
        return false;
    }
    registeredCom_ = comNumber;
    return true;
}

ports::Claim Unit::claimAs(int comNumber, std::string& holder) {
    std::lock_guard<std::mutex> lock(plugging_);
    ports::Claim claim = ports::ClaimName(comNumber, devicePath_, holder);
    if (claim == ports::Claim::Made) {
        registeredCom_ = comNumber;
    }
    return claim;
}

bool Unit::linkAs(const std::string& path) {
    std::lock_guard<std::mutex> lock(plugging_);
    link_ = path;
    if (devicePath_.empty()) {
        return true;  // made when the unit is plugged in
    }
    unlink(path.c_str());
    if (symlink(devicePath_.c_str(), path.c_str()) != 0) {
        link_.clear();
        return false;
    }
    return true;
}

bool Unit::Announce() {
    bool made = true;
    if (registeredCom_) {
        made = ports::Register(registeredCom_, devicePath_);
    }
    if (!link_.empty()) {
        unlink(link_.c_str());
        made = symlink(devicePath_.c_str(), link_.c_str()) == 0 && made;
    }
    return made;
}

// An entry or link another program has made its own since stays.
void Unit::Withdraw() {
    if (registeredCom_) {
        ports::Release(registeredCom_, devicePath_);
    }
    if (!link_.empty() && Target(link_) == devicePath_) {
        unlink(link_.c_str());
    }
}

void Unit::Unplug() {
    std::lock_guard<std::mutex> lock(plugging_);
    if (!pty_) {
        return;
    }
    StopServing();
    Withdraw();
    std::lock_guard<std::mutex> state(mutex_);
    pty_->hangUp();
    pty_.reset();
    devicePath_.clear();
    queue_.clear();
    frames_.clear();
}

// A fresh unit in every way but the trace, which whoever watches it keeps.
bool Unit::Plug(UnitOptions options) {
    Unplug();
    std::lock_guard<std::mutex> lock(plugging_);
    auto pty = std::make_unique<Pty>();
    if (!pty->ok()) {
        return false;
    }
    {
        std::lock_guard<std::mutex> state(mutex_);
        core_ = std::make_unique<UnitCore>(std::move(options), trace_);
        faults_ = FaultStage();
        settingsWrites_ = 0;
        lastInputUs_ = 0;
        replying_ = false;
        pty_ = std::move(pty);
        devicePath_ = pty_->slavePath();
    }
    return StartServing() && Announce();
}

bool Unit::plugged() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pty_ != nullptr;
}

std::string Unit::devicePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return devicePath_;
}

}  // namespace k57::sim
