#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FaultStage.h"
#include "PortMapping.h"
#include "Pty.h"
#include "UnitCore.h"
#include "UnitOptions.h"

namespace k57::sim {

// A simulated K57 unit behind a pseudo-terminal, served by its own thread:
// the protocol core and the fault stage, behind one lock.
class Unit {
  public:
    using Commit = UnitCore::Commit;

    explicit Unit(UnitOptions options = {});
    ~Unit();
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // Starts serving; false when no pseudo-terminal could be had.
    bool start();
    void stop();
    // Makes the unit reachable as COMn through the port mapping: in any
    // case, or (claimAs) unless the name is in use (ports::ClaimName). The
    // entry goes when the unit does, unless another has replaced it.
    bool registerAs(int comNumber);
    ports::Claim claimAs(int comNumber, std::string& holder);
    const std::string& devicePath() const { return pty_.slavePath(); }

    void configure(const std::function<void(UnitOptions&)>& change);

    // What the unit has seen and holds; safe to call while it serves.
    std::vector<int> requests() const;
    std::vector<uint8_t> image() const;
    std::vector<Commit> commits() const;
    // The version reply's text: type, version and build, a line each.
    std::string versionText() const;
    Commit sound() const;
    std::string settings() const;
    uint32_t serial() const;
    int restarts() const;
    bool diagnosticMode() const;
    bool canOpen() const;
    // The CAN commands received, without their CR.
    std::vector<std::string> canCommands() const;
    // Text lines dropped whole because the tool did not read them in time,
    // and frames of a replayed capture the unit cannot report.
    int droppedLines() const;
    int skippedFrames() const;
    // Frames dropped because the reader left the adapter's buffer full.
    int droppedFrames() const;
    // The unit's side of the link: what it received and sent. Off until
    // turned on; safe to use while it serves.
    Trace& trace() { return core_.trace(); }
    // Toggles the options' canFlip bit in the frames from now on.
    void flipCanBit();

  private:
    void Serve();
    void Receive(const uint8_t* bytes, size_t n);
    void Stream();
    // Adds text to the queue, whole or not at all; and writes what the
    // terminal takes now. Serving thread only.
    void Enqueue(const std::string& text);
    void Flush();
    // CAN frame lines into the adapter's buffer, and from it to the reader
    // while the reader keeps up. Serving thread only, lock held.
    void EnqueueFrames(const std::string& lines);
    void FlushFrames();
    int PollTimeoutMs() const;
    template <typename T>
    T Read(T (UnitCore::*get)() const) const;

    Pty pty_;
    std::thread thread_;
    int stopPipe_[2] = {-1, -1};
    int registeredCom_ = 0;

    mutable std::mutex mutex_;
    UnitCore core_;
    FaultStage faults_;
    int droppedLines_ = 0;
    std::string queue_;
    std::deque<std::string> frames_;  // the adapter's buffer, a line each
    int droppedFrames_ = 0;
};

}  // namespace k57::sim
