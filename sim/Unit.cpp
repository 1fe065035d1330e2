#include "Unit.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "FrameTrace.h"
#include "Messages.h"
#include "PortMapping.h"

namespace k57::sim {

namespace {

uint64_t NowUs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

// What goes out for a framed request, as planned: the reply as the fault
// made it, or that there is none.
void TraceReply(const Outgoing& reply, const std::vector<Piece>& pieces, Trace& trace) {
    if (!frametrace::TraceOn(trace)) {
        return;
    }
    if (pieces.empty()) {
        frametrace::Note(std::string("no reply to ") + frametrace::MessageName(reply.code) + " (" +
                             std::to_string(reply.code) + ")",
                         0, trace);
        return;
    }
    Bytes frame;
    for (const Piece& piece : pieces) {
        frame.insert(frame.end(), piece.bytes.begin(), piece.bytes.end());
    }
    std::string remark =
        pieces.size() > 1 ? "in " + std::to_string(pieces.size()) + " pieces" : std::string();
    frametrace::SentFrame(frame.data(), frame.size(), remark, trace);
}

}  // namespace

int Unit::settingsWrites() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settingsWrites_;
}

// Counted from the reply's last byte too: the terminal hands a byte written
// on to the reader's side a moment later, so "nothing unread" just after it
// may be a byte still on its way, which a pull would take with it.
bool Unit::idleFor(int ms) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int unread = 0;
    return pty_ && !replying_ && queue_.empty() &&
           NowUs() - std::max(lastInputUs_, lastReplyUs_) >= uint64_t(ms) * 1000 &&
           ioctl(pty_->slave(), FIONREAD, &unread) == 0 && unread == 0;
}

void Unit::configure(const std::function<void(UnitOptions&)>& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    change(core_->options());
}

void Unit::Serve() {
    uint8_t buffer[4096];
    for (;;) {
        short events = POLLIN | (queue_.empty() ? 0 : POLLOUT);
        pollfd fds[2] = {{pty_->master(), events, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(fds, 2, PollTimeoutMs()) < 0) {
            continue;
        }
        if (fds[1].revents) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            ssize_t n = read(pty_->master(), buffer, sizeof buffer);
            if (n > 0) {
                Receive(buffer, size_t(n));
            }
        }
        Stream();
        Flush();
    }
}

int Unit::PollTimeoutMs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    uint64_t now = NowUs(), due = core_->NextDueUs(now);
    if (!frames_.empty()) {
        due = std::min(due, now + 2000);  // the reader may have made room
    }
    return due > now ? int((due - now + 999) / 1000) : 0;
}

// The core answers at once; the pieces go out as the fault stage times
// them, outside the lock, so the test thread can look in meanwhile.
void Unit::Receive(const uint8_t* bytes, size_t n) {
    std::vector<Piece> pieces;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        uint64_t now = NowUs();
        lastInputUs_ = now;
        faults_.NoteInput(n, now, core_->options());
        for (const Outgoing& out : core_->Receive(bytes, n, now)) {
            if (!out.framed) {
                frametrace::Bytes(TraceEntry::Direction::Out, "text", out.bytes.data(),
                                  out.bytes.size(), core_->trace());
                Enqueue(std::string(out.bytes.begin(), out.bytes.end()));
                continue;
            }
            // The tool has left the text modes: what it did not read is gone.
            queue_.clear();
            frames_.clear();
            std::vector<Piece> planned = faults_.Plan(out, now, core_->options());
            TraceReply(out, planned, core_->trace());
            settingsWrites_ += out.code == orvan::tms::messages::kSettings && !planned.empty();
            for (Piece& piece : planned) {
                pieces.push_back(std::move(piece));
            }
        }
        // A closed channel sends nothing more: the frames held for the
        // reader go with it.
        if (!core_->canOpen()) {
            frames_.clear();
        }
        replying_ = !pieces.empty();
    }
    Flush();
    // A unit pulled out meanwhile sends no more: the stop byte stays in the
    // pipe for the serving loop to see.
    for (const Piece& piece : pieces) {
        if (!Pty::WaitUntil(piece.atUs, stopPipe_[0]) ||
            !pty_->writeAll(piece.bytes.data(), piece.bytes.size(), stopPipe_[0])) {
            return;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    replying_ = false;
    lastReplyUs_ = NowUs();
}

// The text the unit sends by itself: diagnostic lines and CAN frames.
void Unit::Stream() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string frames;
    Enqueue(core_->Stream(NowUs(), &frames));
    EnqueueFrames(frames);
}

void Unit::EnqueueFrames(const std::string& lines) {
    for (size_t at = 0; at < lines.size();) {
        size_t end = lines.find('\r', at);
        end = end == std::string::npos ? lines.size() : end + 1;
        if (frames_.size() < size_t(std::max(core_->options().canBufferFrames, 0))) {
            frames_.push_back(lines.substr(at, end - at));
        } else {
            ++droppedFrames_;
        }
        at = end;
    }
}

// A real adapter sends no faster than its bus, and a USB one hands the
// computer what it holds each time the computer has taken the last piece.
// So a reader back from a stall gets the buffer's worth, then frames at the
// bus's pace, and finds the line idle between pieces: never a flood.
void Unit::FlushFrames() {
    int unread = 0;
    if (frames_.empty() || !queue_.empty() || ioctl(pty_->slave(), FIONREAD, &unread) != 0 ||
        unread > 0) {
        return;  // replies first; and the last piece not yet taken
    }
    std::string piece;
    for (; !frames_.empty(); frames_.pop_front()) {
        piece += frames_.front();
    }
    size_t written = pty_->writeSome(piece.data(), piece.size());
    // Rare, as the terminal was empty: the rest goes first next time, so a
    // line is never cut.
    queue_ += piece.substr(written);
}

void Unit::flipCanBit() {
    std::lock_guard<std::mutex> lock(mutex_);
    core_->FlipCanBit();
}

int Unit::droppedFrames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return droppedFrames_;
}

// Runs with the lock held.
void Unit::Enqueue(const std::string& text) {
    if (text.empty()) {
        return;
    }
    if (queue_.size() + text.size() > core_->options().textQueueBytes) {
        droppedLines_ += int(std::count(text.begin(), text.end(), '\r'));
        return;
    }
    queue_ += text;
}

void Unit::Flush() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!queue_.empty()) {
        queue_.erase(0, pty_->writeSome(queue_.data(), queue_.size()));
    }
    FlushFrames();
}

int Unit::droppedLines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return droppedLines_;
}

int Unit::skippedFrames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->canSkipped();
}

template <typename T>
T Unit::Read(T (UnitCore::*get)() const) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return ((*core_).*get)();
}

std::vector<int> Unit::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->requests();
}

std::vector<uint8_t> Unit::image() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->image();
}

std::vector<Unit::Commit> Unit::commits() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->commits();
}

std::string Unit::versionText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->options().versionText;
}

Unit::Commit Unit::sound() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->sound();
}

std::string Unit::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->options().settings;
}

uint32_t Unit::serial() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->options().serial;
}

int Unit::restarts() const {
    return Read(&UnitCore::restarts);
}

bool Unit::diagnosticMode() const {
    return Read(&UnitCore::diagnosticMode);
}

bool Unit::canOpen() const {
    return Read(&UnitCore::canOpen);
}

std::vector<std::string> Unit::canCommands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return core_->canCommands();
}

}  // namespace k57::sim
