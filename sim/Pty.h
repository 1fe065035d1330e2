#pragma once

#include <cstdint>
#include <string>

namespace k57::sim {

// A raw pseudo-terminal: the unit's side is the master, the tool opens the
// slave's path. A second descriptor of the slave is held open so that the
// master never sees a hang-up while the tool has the port closed.
class Pty {
  public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0; }
    int master() const { return master_; }
    // The held slave descriptor, for looking at the line settings in force.
    int slave() const { return slaveKeeper_; }
    const std::string& slavePath() const { return slavePath_; }

    // Writes all bytes to the tool's side; false on error, or as soon as
    // `stopFd` (when given) becomes readable.
    bool writeAll(const void* data, size_t length, int stopFd = -1);
    // Waits until the steady clock's `dueUs`; false, at once, when `stopFd`
    // becomes readable first.
    static bool WaitUntil(uint64_t dueUs, int stopFd);
    // Writes what the tool's side can take now; the rest is dropped, as a
    // line's bytes are when nobody listens.
    void offer(const std::string& bytes);
    // Writes what the tool's side can take now and says how much that was.
    size_t writeSome(const char* data, size_t length);
    // Reads what is waiting, or waits up to `timeoutMs` for something.
    std::string readSome(int timeoutMs);
    // Closes the unit's side, as an unplugged unit does: the tool's side
    // sees a hang-up.
    void hangUp();

  private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

}  // namespace k57::sim
