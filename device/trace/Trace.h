#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "TraceEntry.h"

namespace k57 {

// The trace of the link: every frame in and out, the bytes that were no
// frame, and how each exchange ended. A bounded ring of the latest entries,
// plus sinks that get each entry's lines as it is recorded. While it is off,
// recording costs one atomic load: callers check On() before building an
// entry. Any thread may record and read.
class Trace {
  public:
    static constexpr size_t kDefaultLines = 10000;
    using Sink = std::function<void(const std::vector<std::string>& lines)>;

    // The process's trace, which the device layer records into.
    static Trace& Global();

    explicit Trace(size_t maxLines = kDefaultLines) : maxLines_(maxLines < 2 ? 2 : maxLines) {}

    bool On() const { return on_.load(std::memory_order_relaxed); }
    void SetOn(bool on) { on_.store(on, std::memory_order_relaxed); }

    // Whether what is recorded from now on shows the owner's PIN and phone
    // numbers in clear. Off by default: traces are sent to support. The
    // ring keeps entries as they were recorded, so turning this on does
    // not uncover what was masked before.
    bool RevealsPrivate() const { return reveal_.load(std::memory_order_relaxed); }
    void SetRevealPrivate(bool reveal) { reveal_.store(reveal, std::memory_order_relaxed); }

    // Stamps the entry and keeps it; the oldest entries go once the ring
    // would hold more than its bound in lines. An entry longer than the
    // whole bound keeps only the start of its bytes.
    void Record(TraceEntry entry);

    // The entries recorded after `sequence` (0: all that are kept), oldest first.
    std::vector<TraceEntry> Entries(uint64_t after = 0) const;
    // The kept entries as lines.
    std::vector<std::string> Lines() const;
    size_t LineCount() const;
    size_t MaxLines() const { return maxLines_; }
    void Clear();

    int AddSink(Sink sink);
    void RemoveSink(int id);

  private:
    std::atomic<bool> on_{false};
    std::atomic<bool> reveal_{false};
    const size_t maxLines_;
    mutable std::mutex mutex_;
    std::deque<TraceEntry> ring_;
    size_t lines_ = 0;
    uint64_t sequence_ = 0;
    int64_t lastUs_ = 0;
    std::map<int, Sink> sinks_;
    int nextSink_ = 1;
};

// Writes each entry's lines to `out` at once (standard error, or a file
// the caller keeps open while the sink is added).
Trace::Sink TraceToFile(std::FILE* out);

}  // namespace k57
