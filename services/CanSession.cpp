#include "CanSession.h"

#include <QFile>
#include <algorithm>
#include <chrono>
#include <sstream>

#include "FileRead.h"
#include "SafeSave.h"

namespace k57 {

CanSession::~CanSession() {
    reader_.reset();  // before the link it reads
}

CanSession::Opening CanSession::Open(ByteChannel& link, int bitRateCode) {
    Opening opening = OpenPort(link);
    return opening.result == kReplyOk ? Handshake(bitRateCode) : opening;
}

CanSession::Opening CanSession::OpenPort(ByteChannel& link) {
    Close();
    Opening opening;
    if (!link.Open()) {
        opening.result = kPortUnavailable;
        opening.reason = link.OpenError();
        return opening;
    }
    link_ = &link;
    can_ = std::make_unique<CanFrameReader>(link);
    batch_.clear();
    batchNext_ = 0;
    StartCapture(CandumpNow());
    opening.result = kReplyOk;
    return opening;
}

CanSession::Opening CanSession::Handshake(int bitRateCode) {
    Opening opening;
    std::optional<std::string> version;
    if (can_) {
        version = can_->link().OpenCan(bitRateCode);
    }
    if (!version) {
        Close();
        opening.result = kNoReply;
        return opening;
    }
    if (background_) {
        // At once: the adapter sends from its open command on.
        reader_ = std::make_unique<CanReader>(*can_);
    }
    opening.result = kReplyOk;
    opening.version = *version;
    return opening;
}

void CanSession::Close() {
    reader_.reset();  // the link is this thread's again
    if (can_) {
        can_->link().CloseCan();
    }
    // The link may go with its device session once the channel is closed.
    can_.reset();
    link_ = nullptr;
    playing_ = false;
}

bool CanSession::IsOpen() const {
    return link_ && link_->IsOpen();
}

bool CanSession::Connected() const {
    return link_ && link_->WaitForInput(0);
}

bool CanSession::Play(const std::string& path, double speed, std::string& error) {
    CanRecording recording;
    if (!ReadCanLogFile(path, recording, error)) {
        return false;
    }
    Close();
    recording_ = std::move(recording);
    capture_.Reset();
    StartCapture(recording_.frames.empty() ? 0 : recording_.frames.front().us);
    std::string sidecar, ignored;
    if (ReadWholeFile(CanMarks::SidecarPath(path), FileLimits::kMarksFile, sidecar, ignored)) {
        std::istringstream in(sidecar);
        std::vector<CanMarks::Problem> unread;  // a mark that cannot be read is no mark
        marks_ = CanMarks::Read(in, unread);
        savedMarks_ = marks_.revision();  // on disk already
    }
    playback_.Start(recording_.frames, speed, CandumpNow());
    playing_ = true;
    return true;
}

void CanSession::ReadBatch(int waitMs, size_t most) {
    batchNext_ = 0;
    if (reader_) {
        reader_->Take(batch_);
        return;
    }
    batch_.clear();
    if (can_) {
        can_->Read(waitMs, most, batch_);
    }
}

bool CanSession::Handle(const CanRecord& frame, int64_t us, FilterMode mode, bool capture) {
    frames_.Add(frame, us);
    if (!filter_.Passes(frame.id, frame.extended)) {
        return false;
    }
    capture_.HandleFrame(frame, mode, capture);
    statistics_.Add(LogEntry(frame, us));
    return true;
}

size_t CanSession::PumpRecording(int budgetMs, FilterMode mode, bool capture) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(budgetMs);
    size_t handled = 0;
    while (!playback_.Finished() && Clock::now() < end) {
        auto [first, last] = playback_.Take(CandumpNow(), 4096);
        if (first == last) {
            break;
        }
        for (size_t i = first; i < last; ++i) {
            const LoggedFrame& f = recording_.frames[i];
            Handle(f.Record(), f.us, mode, capture);
        }
        handled += last - first;
    }
    return handled;
}

size_t CanSession::Pump(int budgetMs, FilterMode mode, bool capture) {
    if (playing_) {
        return PumpRecording(budgetMs, mode, capture);
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(budgetMs);
    size_t handled = 0;
    while (Clock::now() < end) {
        if (batchNext_ == batch_.size()) {
            ReadBatch(0, 4096);
            if (batch_.empty()) {
                break;
            }
        }
        for (; batchNext_ < batch_.size(); ++batchNext_, ++handled) {
            Handle(batch_[batchNext_].record, batch_[batchNext_].us, mode, capture);
        }
    }
    return handled;
}

std::optional<CanSession::Frame> CanSession::NextFrame(int waitMs) {
    using namespace std::chrono;
    const steady_clock::time_point end = steady_clock::now() + milliseconds(waitMs);
    for (;;) {
        while (batchNext_ < batch_.size()) {
            const Frame& frame = batch_[batchNext_++];
            if (Handle(frame.record, frame.us, FilterMode::None, false)) {
                return frame;
            }
        }
        auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
        if (left < 0) {
            return std::nullopt;
        }
        ReadBatch(int(left), 256);
        if (batch_.empty()) {
            return std::nullopt;
        }
    }
}

bool CanSession::Save(const QString& path, QString& error) {
    std::ostringstream text;
    frames_.WriteCandump(text,
                         [this](const LoggedFrame& f) { return filter_.Passes(f.id, f.extended); });
    std::string reason;
    if (!SafeSave(path.toStdString(), text.str(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    const QString sidecar = QString::fromStdString(CanMarks::SidecarPath(path.toStdString()));
    if (marks_.size() == 0) {
        QFile::remove(sidecar);  // an earlier capture's marks are not this one's
        savedMarks_ = marks_.revision();
        return true;
    }
    std::ostringstream marks;
    marks_.Write(marks);
    if (!SafeSave(sidecar.toStdString(), marks.str(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    savedMarks_ = marks_.revision();
    return true;
}

void CanSession::Reset() {
    capture_.Reset();
    StartCapture(CandumpNow());
}

void CanSession::StartCapture(int64_t startUs) {
    capture_.ResetMessageCounter();
    statistics_.Clear();
    marks_.Clear();
    savedMarks_ = marks_.revision();
    frames_.Clear(startUs);
}

void CanSession::SetFilter(const CanFilter& filter) {
    filter_ = filter;
    capture_.Keep([this](const CanRecord& r) { return filter_.Passes(r.id, r.extended); });
}

int64_t CanSession::Now() const {
    return playing_ ? playback_.RecordingTime(CandumpNow()) : CandumpNow();
}

void CanSession::Mark(const std::string& label, CanMove move) {
    marks_.Add(Now(), label, move);
}

std::vector<SignalHunt::Candidate> CanSession::Rank(const SignalHunt::Options& options) const {
    SignalHunt hunt(marks_.Times(), options);
    frames_.ForEach([&](const LoggedFrame& f) {
        if (filter_.Passes(f.id, f.extended)) {
            hunt.Add(f);
        }
    });
    return hunt.Ranking();
}

}  // namespace k57
