#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CanTraffic.h"
#include "Pty.h"
#include "UnitOptions.h"

namespace orvan::tms::messages {
class AbstractMessage;
}

namespace k57::sim {

// A simulated K57 unit behind a pseudo-terminal, served by its own thread.
class Unit {
  public:
    struct Commit {
        uint32_t size;
        uint32_t checksum;
        bool accepted;
    };

    explicit Unit(UnitOptions options = {});
    ~Unit();
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // Starts serving; false when no pseudo-terminal could be had.
    bool start();
    void stop();
    // Makes the unit reachable as COMn through the port mapping.
    bool registerAs(int comNumber);
    const std::string& devicePath() const { return pty_.slavePath(); }

    void configure(const std::function<void(UnitOptions&)>& change);

    // What the unit has seen and holds; safe to call while it serves.
    std::vector<int> requests() const;
    std::vector<uint8_t> image() const;
    std::vector<Commit> commits() const;
    std::string settings() const;
    uint32_t serial() const;
    int restarts() const;
    bool diagnosticMode() const;
    bool canOpen() const;
    // The CAN commands received, without their CR.
    std::vector<std::string> canCommands() const;

  private:
    using Message = orvan::tms::messages::AbstractMessage;
    using Bytes = std::vector<uint8_t>;

    void Serve();
    int PollTimeoutMs() const;
    void Stream();
    bool HandleCommand();
    void Command(const std::string& command);
    void Receive(const uint8_t* bytes, size_t n);
    void HandleFrames();
    void Handle(uint16_t code, const Message* request);
    std::unique_ptr<Message> Answer(uint16_t code, const Message* request);
    void Reply(uint16_t code, std::unique_ptr<Message> reply);
    void SendBytes(const Bytes& bytes);
    void PaceUntil(uint64_t dueUs);
    uint64_t WireTimeUs(size_t bytes) const;

    Pty pty_;
    std::thread thread_;
    int stopPipe_[2] = {-1, -1};
    int registeredCom_ = 0;

    mutable std::mutex mutex_;
    UnitOptions options_;
    std::vector<int> requests_;
    Bytes image_;
    std::vector<Commit> commits_;
    int fragmentsAcked_ = 0;
    int restarts_ = 0;
    bool diagnosticMode_ = false;
    bool canOpen_ = false;
    std::vector<std::string> canCommands_;

    // Serving thread only.
    Bytes inbox_;
    uint64_t lastInputUs_ = 0;
    uint64_t inWireFreeUs_ = 0;
    uint64_t outWireFreeUs_ = 0;
    uint64_t nextDiagnosticUs_ = 0;
    int diagnosticLines_ = 0;
    std::unique_ptr<CanTraffic> can_;
};

}  // namespace k57::sim
