#include "CanSession.h"

#include <QSaveFile>
#include <algorithm>
#include <chrono>
#include <sstream>

namespace k57 {

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
    can_ = std::make_unique<CanLink>(link);
    frames_.Clear();  // the frames of this opening
    capture_.ResetMessageCounter();
    opening.result = kReplyOk;
    return opening;
}

CanSession::Opening CanSession::Handshake(int bitRateCode) {
    Opening opening;
    std::optional<std::string> version;
    if (can_) {
        version = can_->OpenCan(bitRateCode);
    }
    if (!version) {
        Close();
        opening.result = kNoReply;
        return opening;
    }
    opening.result = kReplyOk;
    opening.version = *version;
    return opening;
}

void CanSession::Close() {
    if (can_) {
        can_->CloseCan();
    }
    // The link may go with its device session once the channel is closed.
    can_.reset();
    link_ = nullptr;
}

bool CanSession::IsOpen() const {
    return link_ && link_->IsOpen();
}

bool CanSession::Connected() const {
    return link_ && link_->WaitForInput(0);
}

CanSession::Line CanSession::Read(int waitMs, CanRecord& frame) {
    if (!can_ || !can_->ReadCanLine(line_, waitMs)) {
        return Line::None;
    }
    return CanCapture::ParseCanFrame(line_, frame) ? Line::Frame : Line::Other;
}

void CanSession::Handle(const CanRecord& frame, int64_t us, FilterMode mode, bool capture) {
    frames_.Add(frame, us);
    capture_.HandleFrame(frame, mode, capture);
}

size_t CanSession::Pump(int budgetMs, FilterMode mode, bool capture) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(budgetMs);
    // One stamp for what a pass finds waiting: it all arrived since the last.
    const int64_t now = CandumpNow();
    size_t handled = 0;
    CanRecord frame;
    while (Clock::now() < end) {
        Line line = Read(0, frame);
        if (line == Line::None) {
            break;
        }
        if (line == Line::Frame) {
            Handle(frame, now, mode, capture);
            ++handled;
        }
    }
    return handled;
}

std::optional<CanSession::Frame> CanSession::NextFrame(int waitMs) {
    using namespace std::chrono;
    const steady_clock::time_point end = steady_clock::now() + milliseconds(waitMs);
    Frame frame;
    for (;;) {
        auto left = duration_cast<milliseconds>(end - steady_clock::now()).count();
        Line line = Read(int(std::max<decltype(left)>(left, 0)), frame.record);
        if (line == Line::None) {
            return std::nullopt;
        }
        if (line == Line::Frame) {
            frame.us = CandumpNow();
            Handle(frame.record, frame.us, FilterMode::None, false);
            return frame;
        }
    }
}

bool CanSession::Save(const QString& path, QString& error) const {
    std::ostringstream text;
    frames_.WriteCandump(text);
    const std::string bytes = text.str();
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !out.commit()) {
        error = out.errorString();
        return false;
    }
    return true;
}

}  // namespace k57
