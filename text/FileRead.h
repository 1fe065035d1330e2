#pragma once

#include <istream>
#include <memory>
#include <streambuf>
#include <string>

namespace k57 {

// What the tools take from a file, at most. A file of a kind read whole is
// refused before a byte of it is read when it is larger; captures are read
// as streams, so only their lines are bounded.
namespace FileLimits {
constexpr long long kMegabyte = 1 << 20;
constexpr long long kFirmwareImage = 4 * kMegabyte;  // the images are under 100 KB
constexpr long long kSoundImage = 16 * kMegabyte;    // the sound package is 680 KB
constexpr long long kDbcFile = 16 * kMegabyte;       // real databases are under 1 MB
constexpr long long kMarksFile = kMegabyte;           // a time a line, typed by hand
constexpr long long kPlotCsv = 64 * kMegabyte;       // the trace holds 262,144 readings
constexpr size_t kLine = 4096;                       // a capture's or a marks file's line
}  // namespace FileLimits

// NoSuchFile and NoPermission are the two a user mistypes or meets most;
// Unreadable is any other reason the system gives.
enum class ReadProblem {
    None,
    Unreadable,
    NoSuchFile,
    NoPermission,
    NotRegular,
    TooLarge,
    Stopped
};

// From the first call on, every read in progress ends at its next piece (in
// well under a second) and none starts: Ctrl+C. Safe in a signal handler.
void StopFileReads();
bool FileReadsStopped();

// The file at `path` (UTF-8) whole, when it is a regular file of at most
// `limit` bytes; otherwise false, with what was wrong and a message in the
// program's language.
bool ReadWholeFile(const std::string& path, long long limit, std::string& bytes,
                   ReadProblem& problem, std::string& error);
bool ReadWholeFile(const std::string& path, long long limit, std::string& bytes,
                   std::string& error);

// A file read as a stream, in pieces, without taking it whole: a regular
// file, or standard input for "-". The stream ends early when reads are
// stopped (problem() then says so) or the system fails to read.
class FileStream : public std::istream {
  public:
    FileStream();
    ~FileStream() override;
    bool Open(const std::string& path, std::string& error);
    ReadProblem problem() const;
    // Why the stream ended early, or empty.
    std::string ProblemText() const;

  private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
};

// One line of `in` without its LF, at most `max` bytes of it: the rest of a
// longer line is passed over and `cut` says so. False at the end.
bool ReadLine(std::istream& in, std::string& line, size_t max, bool& cut);

// "not a regular file" and the like, for a problem with its system reason.
std::string ReadProblemText(ReadProblem problem, long long limit, const std::string& reason);

}  // namespace k57
