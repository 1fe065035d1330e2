#pragma once

#include <string>
#include <string_view>

namespace k57 {

// Who may read a file that the save creates. An existing file keeps its own
// mode whatever is asked here.
enum class SaveAccess {
    Private,  // 0600 before the umask: settings, PIN, the journal, captures
    Shared,   // 0666 before the umask: pictures and plot data
};

// A file written beside its target and renamed over it only once every
// write, the flush to disk and the close have succeeded: whatever fails, the
// old file is left whole and the reason is told. A target that exists and
// is not a regular file (a FIFO, a device, a folder) is refused untouched;
// a symbolic link is followed, so the file it names is replaced. Paths are
// UTF-8. Dropping an uncommitted save removes what it wrote.
class SafeSaveFile {
  public:
    explicit SafeSaveFile(std::string path, SaveAccess access = SaveAccess::Private);
    ~SafeSaveFile();
    SafeSaveFile(const SafeSaveFile&) = delete;
    SafeSaveFile& operator=(const SafeSaveFile&) = delete;

    bool Open();
    // False once any write has failed; later writes do nothing.
    bool Write(std::string_view bytes);
    bool Commit();
    // Why the save failed, in the program's language.
    const std::string& error() const { return error_; }

  private:
    bool Fail(const std::string& reason);
    void Discard();

    std::string path_;
    std::string target_;
    std::string temporary_;
    SaveAccess access_;
    int fd_ = -1;
    bool failed_ = false;
    std::string error_;
};

// The whole of `bytes` saved to `path` as above; false with the reason.
bool SafeSave(const std::string& path, std::string_view bytes, std::string& error,
              SaveAccess access = SaveAccess::Private);

// Whether `path` names something that exists and is not a regular file (a
// FIFO, a device, a folder): what a save must leave alone. With the reason,
// in the program's language.
bool NotRegularFile(const std::string& path, std::string& reason);

// A seam for tests: the steps of a save that can fail, and a hook asked
// before each with the step and its count from 1 in this process. A hook
// that returns an errno value makes that step fail with it.
enum class SaveStep { Write, Sync, Close, Rename };
using SaveFault = int (*)(SaveStep step, int count);
void SetSaveFault(SaveFault fault);

}  // namespace k57
