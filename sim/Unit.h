#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
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
    // Makes `path` a symbolic link to the unit (a Wine prefix's COM port),
    // replacing what is there; it goes as the COM entry does.
    bool linkAs(const std::string& path);
    // The terminal the tool opens; empty while the unit is unplugged.
    std::string devicePath() const;

    // Pulled out as a USB serial adapter is: the terminal closes (a port
    // the tool holds open sees a hang-up), and the COM entry and link go.
    // Plug comes back, as the same unit or another one, on a new terminal
    // under the same COM entry and link; false when no terminal could be
    // had. Both wait for the serving thread, so neither may be called from
    // it; they may be called from any other thread while it serves.
    void Unplug();
    bool Plug(UnitOptions options);
    bool plugged() const;
    // Settings writes the unit has acknowledged since it was plugged in.
    int settingsWrites() const;
    // Whether, for `ms`, the tool has sent nothing and the unit has finished
    // its last reply, and the tool has taken every byte the unit sent: done
    // with it, for now.
    bool idleFor(int ms) const;

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
    Trace& trace() { return *trace_; }
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

    bool StartServing();
    void StopServing();
    // The COM entry and link to the terminal, or their removal.
    bool Announce();
    void Withdraw();

    // Unplug and Plug one at a time; the serving thread never takes it.
    std::mutex plugging_;
    std::unique_ptr<Pty> pty_;  // replaced only while the thread is stopped
    std::thread thread_;
    int stopPipe_[2] = {-1, -1};
    int registeredCom_ = 0;
    std::string link_;
    std::shared_ptr<Trace> trace_;

    mutable std::mutex mutex_;
    std::unique_ptr<UnitCore> core_;
    std::string devicePath_;
    int settingsWrites_ = 0;
    uint64_t lastInputUs_ = 0;
    uint64_t lastReplyUs_ = 0;  // when a reply's last piece went out
    bool replying_ = false;     // a reply's pieces still going out
    FaultStage faults_;
    int droppedLines_ = 0;
    std::string queue_;
    std::deque<std::string> frames_;  // the adapter's buffer, a line each
    int droppedFrames_ = 0;
};

}  // namespace k57::sim
