// k57ctl's files as a program sees them: a save that fails (a full disk, a
// file size limit, a FIFO or a device in the way) leaves the old file whole
// and exits 6 with the reason; inputs of any size and kind are refused or
// read in bounded memory, and Ctrl+C or SIGTERM ends a long read at once.

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "ChildRun.h"
#include "Journal.h"
#include "Sanitized.h"
#include "SimulatedUnits.h"

namespace {

using k57::test::ChildOptions;
using k57::test::ChildResult;

// The bound is the plain build's: AddressSanitizer's shadow and quarantine
// and ThreadSanitizer's shadow multiply what a program keeps resident, so a
// sanitized build is only held to staying within reason.
// The sanitized builds read a quarter of the plain build's streams: they look
// for memory faults in the streaming, which a quarter shows as well, and a
// whole one took two minutes of CI under AddressSanitizer.
constexpr long long kPeakKb = (k57::test::kSanitized ? 1600 : 200) * 1024;
constexpr int kStreamShare = k57::test::kSanitized ? 4 : 1;

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

mode_t Mode(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// A sparse file of `megabytes` zero bytes: made at once, whatever its size.
std::string Sparse(const std::string& path, long long megabytes) {
    std::ofstream{path};
    EXPECT_EQ(truncate(path.c_str(), megabytes << 20), 0);
    return path;
}

class FilesCtlTest : public k57::test::SimulatedUnits {
  protected:
    void SetUp() override { k57::StoredPort::Write("COM5"); }

    ChildResult Ctl(std::vector<std::string> args, ChildOptions options = {}) {
        // K57CTL names another build of the program to hold to the same test.
        const char* program = std::getenv("K57CTL");
        args.insert(args.begin(), program ? program : K57CTL_PATH);
        options.environment.push_back("XDG_CONFIG_HOME=" + settings_.directory());
        return k57::test::RunChild(args, dir_.path(), options);
    }
    std::string Path(const char* name) const { return dir_.path() + "/" + name; }
    // Entries with a PIN, for the export to write: 600 make a CSV of about
    // 60 KB.
    static void FillJournal(int entries = 1) {
        k57::Journal journal;
        k57::JournalEntry entry;
        entry.serial = 4000000001u;
        entry.operation = k57::JournalOperation::Backup;
        entry.before = "PinCod=1234\nNameBT=" + std::string(40, 'x') + "\n";
        for (int i = 0; i < entries; ++i) {
            ASSERT_GT(journal.Record(entry), 0);
        }
    }
    // The message of a save that failed for `reason`.
    static void ExpectSaveFailure(const ChildResult& run, const std::string& path,
                                  const char* reason) {
        EXPECT_EQ(run.code, 6) << run.err;
        EXPECT_NE(run.err.find("cannot write " + path + ": "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }

    k57::test::TempDir dir_;
};

// A disk that fills up while a file is saved: the old file stays as it
// was, exit 6, and the message names the file and the system's reason.
TEST_F(FilesCtlTest, AFailedSaveLeavesTheOldFileWholeAndExitsSix) {
    FillJournal(600);
    const std::string old = "old export, kept\n";
    const std::string csv = Path("journal.csv");
    Write(csv, old);
    ChildOptions limited;
    limited.fileSizeLimit = 40000;  // past it a write fails with EFBIG
    ExpectSaveFailure(Ctl({"history", "export", csv}, limited), csv, std::strerror(EFBIG));
    EXPECT_EQ(k57::test::ReadAll(csv), old);

    // A real full disk, where the test may mount one.
    const std::string small = Path("small");
    mkdir(small.c_str(), 0700);
    if (geteuid() != 0 || mount("tmpfs", small.c_str(), "tmpfs", 0, "size=16k") != 0) {
        GTEST_SKIP() << "a small tmpfs needs root; the size limit stood in for it";
    }
    struct Unmount {
        std::string folder;
        ~Unmount() { umount(folder.c_str()); }
    } unmount{small};
    const std::string onFull = small + "/journal.csv", settings = small + "/settings.txt";
    Write(onFull, old);
    Write(settings, old);
    Write(small + "/filler", std::string(64 * 1024, 'x'));  // fills it, cut short
    ExpectSaveFailure(Ctl({"history", "export", onFull}), onFull, std::strerror(ENOSPC));
    EXPECT_EQ(k57::test::ReadAll(onFull), old);

    k57::sim::UnitOptions unit;
    unit.settings = "MicLevel=10\nNameBT=" + std::string(30, 'x') + "\n";
    Plug(5, unit);
    ExpectSaveFailure(Ctl({"settings", "read", "-o", settings}), settings, std::strerror(ENOSPC));
    EXPECT_EQ(k57::test::ReadAll(settings), old);
}

// A FIFO or a device where the file would go is refused and left as it is:
// never replaced by an ordinary file holding the PIN for all to read.
TEST_F(FilesCtlTest, AFifoOrADeviceIsNotReplaced) {
    FillJournal();
    const std::string fifo = Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> targets = {fifo};
    const std::string node = Path("null");
    if (geteuid() == 0 && mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        targets.push_back(node);  // a copy of /dev/null, which root could replace
    }
    for (const std::string& target : targets) {
        const mode_t before = Mode(target);
        ChildOptions options;
        options.seconds = 20;  // opening a FIFO must not wait for a reader
        ChildResult run = Ctl({"history", "export", "--reveal", target}, options);
        EXPECT_EQ(run.code, 6) << target << ": " << run.err;
        EXPECT_NE(run.err.find(target), std::string::npos) << run.err;
        EXPECT_EQ(Mode(target), before) << target;
    }
    if (geteuid() != 0) {  // as root, the copy of /dev/null stands in for it
        ChildResult devFull = Ctl({"history", "export", "/dev/full"});
        EXPECT_EQ(devFull.code, 6) << devFull.err;
        EXPECT_TRUE(S_ISCHR(Mode("/dev/full")));
    }

    Plug(5);
    ChildResult settings = Ctl({"settings", "read", "-o", fifo});
    EXPECT_EQ(settings.code, 6) << settings.err;
    EXPECT_TRUE(S_ISFIFO(Mode(fifo)));

    // Where a new file can go, it keeps the PIN to its owner.
    const std::string fresh = Path("fresh.csv");
    ASSERT_EQ(Ctl({"history", "export", "--reveal", fresh}).code, 0);
    EXPECT_EQ(Mode(fresh) & 0777, 0600u);
}

// What is not a regular file, or is larger than its kind allows, is refused
// at once, before it is read.
TEST_F(FilesCtlTest, InputsThatAreNotFilesOrTooLargeAreRefusedAtOnce) {
    const std::string fifo = Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string marks = Path("marks");
    Write(marks, "1\n2\n");
    const std::vector<std::vector<std::string>> refused = {
        {"update", "firmware", "--image", "/dev/zero"},
        {"update", "sound", "--image", "/dev/zero"},
        {"update", "firmware", "--image", fifo},
        {"update", "firmware", "--image", Sparse(Path("firmware.bin"), 5)},
        {"update", "sound", "--image", Sparse(Path("sound.bin"), 17)},
        {"dbc", "check", Sparse(Path("big.dbc"), 17)},
        {"dbc", "check", Sparse(Path("signs.dbc"), 12)},  // 12 million signs
        {"dbc", "check", "/dev/zero"},
        {"settings", "write", "--dry-run", Sparse(Path("settings.txt"), 2)},
        {"settings", "write", "--dry-run", fifo},
        {"can", "stats", fifo},
        {"can", "hunt", fifo, "--marks", marks},
        {"can", "hunt", marks, "--marks", Sparse(Path("marks.big"), 2)},
    };
    for (const std::vector<std::string>& args : refused) {
        ChildOptions options;
        options.seconds = 30;
        options.memoryCapKb = kPeakKb;
        ChildResult run = Ctl(args, options);
        const std::string command = args[0] + " " + args[1] + " " + args.back();
        EXPECT_EQ(run.code, 1) << command << ": " << run.err;
        EXPECT_FALSE(run.overTime || run.overMemory) << command;
        EXPECT_LT(run.peakKb, kPeakKb) << command;
    }
}

// A capture of any content and size is read as a stream: a 256 MB line of
// zero bytes, random bytes, or more short frames than a capture may hold.
TEST_F(FilesCtlTest, AHugeCaptureIsReadInBoundedMemory) {
    const std::string zeros = Sparse(Path("zeros.log"), 256 / kStreamShare);
    const std::string random = Path("random.log");
    {
        std::ofstream out(random, std::ios::binary);
        std::mt19937_64 generator(57);
        std::vector<uint64_t> block(1 << 16);
        for (int i = 0; i < 256 * 2 / kStreamShare; ++i) {  // 256 MB
            for (uint64_t& word : block) {
                word = generator();
            }
            out.write(reinterpret_cast<const char*>(block.data()),
                      std::streamsize(block.size() * 8));
        }
    }
    const std::string frames = Path("frames.log");
    {
        std::string line = "(1.000000) can0 123#11\n", chunk;
        for (int i = 0; i < 1 << 16; ++i) {
            chunk += line;
        }
        std::ofstream out(frames, std::ios::binary);
        for (int i = 0; i < 75; ++i) {  // 4.9 million frames, 113 MB
            out << chunk;
        }
    }
    const std::string errors = Path("errors.dbc");  // an error on each of 7 million lines
    {
        std::string lines;
        for (int i = 0; i < 1 << 20; ++i) {
            lines += "x\n";
        }
        std::ofstream out(errors, std::ios::binary);
        for (int i = 0; i < 7; ++i) {  // 14 MB
            out << lines;
        }
    }
    const std::string dbc = Path("one.dbc");
    Write(dbc, "VERSION \"\"\nBO_ 291 M: 8 X\n SG_ s : 0|8@1+ (1,0) [0|255] \"\" X\n");
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const std::vector<Case> cases = {
        {{"can", "stats", zeros}, 0},
        {{"can", "decode", random, "--dbc", dbc, "--quiet"}, 0},
        {{"can", "stats", frames}, 1},  // more frames than a capture holds
        {{"dbc", "check", errors}, 1},
    };
    for (const Case& c : cases) {
        ChildOptions options;
        options.memoryCapKb = 2 * kPeakKb;
        ChildResult run = Ctl(c.args, options);
        EXPECT_EQ(run.code, c.code)
            << c.args[1] << " " << c.args[2] << ": " << run.err.substr(0, 500);
        EXPECT_LT(run.peakKb, kPeakKb) << c.args[1] << " " << c.args[2];
    }
}

// SIGTERM (as Ctrl+C) in the middle of a long read ends it within a second,
// with exit code 130.
TEST_F(FilesCtlTest, SigtermEndsALongReadWithinASecond) {
    const std::string frames = Path("frames.log");
    {
        std::string chunk;
        for (int i = 0; i < 1 << 16; ++i) {
            chunk += "(1.000000) can0 123#1122334455667788\n";
        }
        std::ofstream out(frames, std::ios::binary);
        for (int i = 0; i < 60; ++i) {  // 144 MB, 3.9 million frames
            out << chunk;
        }
    }
    std::chrono::steady_clock::time_point signalled;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        // Once it is well into the capture: past the program's own start.
        if (signalled == std::chrono::steady_clock::time_point() &&
            k57::test::ProcValue(pid, "io", "rchar: ") > (16 << 20)) {
            signalled = std::chrono::steady_clock::now();
            kill(pid, SIGTERM);
        }
    };
    ChildResult run = Ctl({"can", "stats", frames}, options);
    ASSERT_NE(signalled, std::chrono::steady_clock::time_point()) << "it ended before the signal";
    auto took = std::chrono::steady_clock::now() - signalled;
    EXPECT_EQ(run.code, 130) << run.err;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1000);

    // Standard input that stays open with nothing more to come: the signal
    // reaches a program waiting for its next line.
    const std::string fifo = Path("fifo"), dbc = Path("one.dbc");
    Write(dbc, "VERSION \"\"\nBO_ 291 M: 8 X\n SG_ s : 0|8@1+ (1,0) [0|255] \"\" X\n");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);  // never closed while it runs
    const std::string line = "(1.000000) can0 123#01\n";
    ASSERT_EQ(write(writer, line.data(), line.size()), ssize_t(line.size()));
    signalled = {};
    options.input = fifo;
    options.seconds = 20;
    options.whileRunning = [&](pid_t pid) {
        int unread = -1;
        if (signalled == std::chrono::steady_clock::time_point() &&
            ioctl(writer, FIONREAD, &unread) == 0 && unread == 0) {
            signalled = std::chrono::steady_clock::now();  // the line was taken: it is reading
            kill(pid, SIGTERM);
        }
    };
    run = Ctl({"can", "decode", "-", "--dbc", dbc}, options);
    took = std::chrono::steady_clock::now() - signalled;
    close(writer);
    EXPECT_EQ(run.code, 130) << run.err;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 1000);
}

}  // namespace
