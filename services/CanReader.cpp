#include "CanReader.h"

#include <algorithm>
#include <chrono>

namespace k57 {

CanReader::CanReader(CanFrameReader& frames) : frames_(frames) {
    thread_ = std::thread([this] { Run(); });
}

CanReader::~CanReader() {
    stop_ = true;
    thread_.join();
}

void CanReader::Take(std::vector<TimedFrame>& into) {
    into.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    into.swap(waiting_);  // the two buffers change hands; neither is freed
}

uint64_t CanReader::lost() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lost_;
}

void CanReader::Run() {
    using Clock = std::chrono::steady_clock;
    std::vector<TimedFrame> read;
    while (!stop_) {
        read.clear();
        const Clock::time_point start = Clock::now();
        if (frames_.Read(kWaitMs, 4096, read) == 0) {
            // A port that hung up answers at once: no spinning on it.
            if (Clock::now() - start < std::chrono::milliseconds(kWaitMs / 2)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
            }
            continue;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const size_t room = kMostWaiting - std::min(waiting_.size(), kMostWaiting);
            const size_t kept = std::min(room, read.size());
            waiting_.insert(waiting_.end(), read.begin(), read.begin() + long(kept));
            lost_ += read.size() - kept;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
    }
}

}  // namespace k57
