// A capture file opened once and read through: its first bytes tell the
// format and are then read again, so standard input loses none of them.

#include <filesystem>

#include "CanRecording.h"
#include "FileRead.h"
#include "ProgramText.h"
#include "TextArguments.h"

namespace k57 {

namespace {

// The bytes already taken from a stream, then the rest of it.
class ReplayBuffer : public std::streambuf {
  public:
    ReplayBuffer(std::string head, std::istream& rest) : head_(std::move(head)), rest_(rest) {
        setg(&head_[0], &head_[0], &head_[0] + head_.size());
    }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        rest_.read(piece_, sizeof piece_);
        std::streamsize count = rest_.gcount();
        if (count <= 0) {
            return traits_type::eof();
        }
        setg(piece_, piece_, piece_ + count);
        return traits_type::to_int_type(*gptr());
    }

  private:
    std::string head_;
    std::istream& rest_;
    char piece_[65536];
};

// The first bytes, as many as a line may hold.
std::string Head(std::istream& in) {
    std::string head(FileLimits::kLine, '\0');
    in.read(&head[0], std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    return head;
}

std::string FirstLine(const std::string& head) {
    return head.substr(0, head.find('\n'));
}

// The file's size when it is a file, else -1.
long long SizeOf(const std::string& path) {
    std::error_code unknown;
    if (path == "-") {
        return -1;
    }
    auto size = std::filesystem::file_size(std::filesystem::u8path(path), unknown);
    return unknown ? -1 : static_cast<long long>(size);
}

}  // namespace

bool CanLogFormatOfFile(const std::string& path, CanLogFormat& format, std::string& error) {
    FileStream in;
    if (!in.Open(path, error)) {
        return false;
    }
    format = CanLogFormatOf(path, FirstLine(Head(in)));
    return true;
}

bool ReadCanLogFile(const std::string& path, CanRecording& recording, std::string& error) {
    FileStream in;
    if (!in.Open(path, error)) {
        return false;
    }
    std::string head = Head(in);
    CanLogFormat format = CanLogFormatOf(path, FirstLine(head));
    ReplayBuffer replay(std::move(head), in);
    std::istream whole(&replay);
    ReadCanLog(whole, format, recording, SizeOf(path));
    if (in.problem() != ReadProblem::None) {
        error = in.ProblemText();
        return false;
    }
    if (recording.full && recording.frames.size() < CanRecording::kMaxFrames) {
        error = WithArguments(K57_TR("CanRecording", "в записи больше %1 идентификаторов"),
                              {std::to_string(CanRecording::kMaxIdentifiers)});
        return false;
    }
    if (recording.full) {
        error = WithArguments(K57_TR("CanRecording", "в записи больше %1 кадров"),
                              {std::to_string(CanRecording::kMaxFrames)});
        return false;
    }
    return true;
}

}  // namespace k57
