#include "Trace.h"

#include <chrono>

#include "TraceFormat.h"

namespace k57 {

Trace& Trace::Global() {
    static Trace trace;
    return trace;
}

void Trace::Record(TraceEntry entry) {
    size_t most = (maxLines_ - 1) * kTraceDumpWidth;
    if (entry.bytes.size() > most) {
        entry.what += " (first " + std::to_string(most) + " of " +
                      std::to_string(entry.bytes.size()) + " bytes kept)";
        entry.bytes.resize(most);
    }
    using namespace std::chrono;
    entry.timeUs = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    std::vector<std::string> lines;
    std::lock_guard<std::mutex> lock(mutex_);
    entry.sinceUs = lastUs_ && entry.timeUs > lastUs_ ? entry.timeUs - lastUs_ : 0;
    lastUs_ = entry.timeUs;
    entry.sequence = ++sequence_;
    if (!sinks_.empty()) {
        lines = FormatTrace(entry);
        for (auto& sink : sinks_) {
            sink.second(lines);
        }
    }
    lines_ += TraceLineCount(entry.bytes.size());
    ring_.push_back(std::move(entry));
    while (lines_ > maxLines_) {
        lines_ -= TraceLineCount(ring_.front().bytes.size());
        ring_.pop_front();
    }
}

std::vector<TraceEntry> Trace::Entries(uint64_t after) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TraceEntry> entries;
    for (const TraceEntry& entry : ring_) {
        if (entry.sequence > after) {
            entries.push_back(entry);
        }
    }
    return entries;
}

std::vector<std::string> Trace::Lines() const {
    std::vector<std::string> lines;
    for (const TraceEntry& entry : Entries()) {
        for (std::string& line : FormatTrace(entry)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

size_t Trace::LineCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void Trace::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    ring_.clear();
    lines_ = 0;
}

int Trace::AddSink(Sink sink) {
    std::lock_guard<std::mutex> lock(mutex_);
    sinks_[nextSink_] = std::move(sink);
    return nextSink_++;
}

void Trace::RemoveSink(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    sinks_.erase(id);
}

Trace::Sink TraceToFile(std::FILE* out) {
    return [out](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            std::fputs(line.c_str(), out);
            std::fputc('\n', out);
        }
        std::fflush(out);
    };
}

}  // namespace k57
