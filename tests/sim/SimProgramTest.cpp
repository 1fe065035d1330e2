#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "PortMapping.h"
#include "SimulatedUnits.h"
#include "StoredPort.h"
#include "T110_Device.h"

namespace {

// Runs the k57sim program and reads the first line it prints.
class SimProgram {
  public:
    explicit SimProgram(const std::string& args) {
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            execl("/bin/sh", "sh", "-c", ("exec " + std::string(K57SIM_PATH) + " " + args).c_str(),
                  nullptr);
            _exit(127);
        }
        close(out[1]);
        output_ = fdopen(out[0], "r");
    }

    ~SimProgram() {
        stop();
        if (output_) {
            std::fclose(output_);
        }
    }

    std::string line() {
        char buffer[256] = {};
        if (!output_ || !std::fgets(buffer, sizeof buffer, output_)) {
            return {};
        }
        std::string s(buffer);
        return s.empty() ? s : s.substr(0, s.size() - 1);
    }

    // Ends the program as Ctrl+C would (or, `ask` false, waits for it to end
    // by itself) and gives its exit code, -1 when a signal ended it.
    int stop(bool ask = true) {
        if (pid_ > 0) {
            if (ask) {
                kill(pid_, SIGTERM);
            }
            waitpid(pid_, &status_, 0);
            pid_ = -1;
        }
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    }

  private:
    pid_t pid_ = -1;
    int status_ = 0;
    FILE* output_ = nullptr;
};

class SimProgramTest : public k57::test::SimulatedUnits {};

TEST_F(SimProgramTest, AUnitStartedOnComFiveTalksToASessionOnComFive) {
    SimProgram sim("--port COM5 --serial 4242 --version 000.007 --dribble 5:2");
    std::string path = sim.line();
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_EQ(sim.line(), "COM5 -> " + path);

    k57::StoredPort::Write("COM5");
    T110_Device device;
    uint32_t serial = 0;
    std::string text;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
    EXPECT_EQ(serial, 4242u);
    EXPECT_EQ(device.ReadVersion(text), 1);
    EXPECT_EQ(text.substr(0, 14), "K57BT\n000.007\n");
    EXPECT_EQ(device.WriteSettings("MicLevel=10\n"), 1);
    EXPECT_EQ(device.ReadSettings(text), 1);
    EXPECT_EQ(text, "MicLevel=10\n");
}

TEST_F(SimProgramTest, HelpDescribesTheOptions) {
    SimProgram sim("--help");
    EXPECT_EQ(sim.line(), "Usage: k57sim [options]");
}

TEST_F(SimProgramTest, TheSettingsFileKeepsWhatTheUnitReceived) {
    k57::test::TempDir dir;
    std::string file = dir.path() + "/unit.txt";
    std::FILE* f = std::fopen(file.c_str(), "wb");
    std::fputs("PinCod=1234\n", f);
    std::fclose(f);
    SimProgram sim("--port COM6 --settings " + file);
    ASSERT_FALSE(sim.line().empty());

    k57::StoredPort::Write("COM6");
    T110_Device device;
    std::string text;
    EXPECT_EQ(device.ReadSettings(text), 1);
    EXPECT_EQ(text, "PinCod=1234\n");
    EXPECT_EQ(device.WriteSettings("PinCod=4321\n"), 1);
    char stored[64] = {};
    f = std::fopen(file.c_str(), "rb");
    ASSERT_TRUE(f);
    std::fread(stored, 1, sizeof stored - 1, f);
    std::fclose(f);
    EXPECT_STREQ(stored, "PinCod=4321\n");
}

// What the program says, on both its outputs, when it refuses to start.
std::string Refusal(const std::string& args) {
    std::string command = "exec " + std::string(K57SIM_PATH) + " " + args + " 2>&1";
    std::FILE* p = popen(command.c_str(), "r");
    std::string said;
    char buffer[256];
    while (p && std::fgets(buffer, sizeof buffer, p)) {
        said += buffer;
    }
    int status = p ? pclose(p) : -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
    return said.substr(0, said.find('\n'));
}

TEST_F(SimProgramTest, ABadCommandLineIsNamedAndRefused) {
    EXPECT_EQ(Refusal("--rate abc"), "k57sim: --rate: 'abc' is not a number from 10 to 100000000");
    EXPECT_EQ(Refusal("--can-ids 5000"), "k57sim: --can-ids: '5000' is not a number from 1 to 4096");
    EXPECT_EQ(Refusal("--serial 12x"),
              "k57sim: --serial: '12x' is not a number from 0 to 4294967295");
    EXPECT_EQ(Refusal("--bogus"), "k57sim: unknown option --bogus");
    EXPECT_EQ(Refusal("--port COM5 --version"),
              "k57sim: --version needs a value here; alone it shows this program's version");
    EXPECT_EQ(Refusal("--port"), "k57sim: --port needs a value");
    EXPECT_EQ(Refusal("--port 5"), "k57sim: --port: '5' is not a COM name such as COM5");
    EXPECT_EQ(Refusal("--dribble 5:x"), "k57sim: --dribble: '5:x' is not BYTES:MS");
}

// Where a ports directory's entry leads; empty when there is none.
std::string Target(const std::string& entry) {
    char target[PATH_MAX] = {};
    ssize_t n = readlink(entry.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, size_t(n)) : std::string();
}

TEST_F(SimProgramTest, AComNameInUseIsRefusedAndStaysWithItsUnit) {
    const std::string entry = k57::ports::Directory() + "/COM30";
    SimProgram first("--port COM30");
    const std::string path = first.line();
    ASSERT_FALSE(path.empty());
    SimProgram refused("--port COM30 2>&1");  // says why, or takes the name over
    EXPECT_EQ(refused.line(), "k57sim: COM30 is in use: " + entry + " leads to " + path +
                                  ", which is there (another simulated unit?)");
    EXPECT_EQ(refused.stop(false), 2);
    EXPECT_EQ(Target(entry), path);
    first.stop();
    EXPECT_EQ(Target(entry), "");

    // An entry left behind by a unit that was killed leads nowhere: taken over.
    ASSERT_EQ(symlink("/dev/pts/no-such-terminal", entry.c_str()), 0);
    SimProgram second("--port COM30");
    EXPECT_EQ(Target(entry), second.line());
}

TEST_F(SimProgramTest, AUnitEndingRemovesOnlyTheEntryItMade) {
    const std::string entry = k57::ports::Directory() + "/COM31";
    SimProgram first("--port COM31");
    ASSERT_FALSE(first.line().empty());
    ASSERT_EQ(unlink(entry.c_str()), 0);  // the name given to another unit
    SimProgram second("--port COM31");
    const std::string path = second.line();
    ASSERT_EQ(Target(entry), path);
    first.stop();
    EXPECT_EQ(Target(entry), path);

    k57::StoredPort::Write("COM31");
    T110_Device device;
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
}

}  // namespace
