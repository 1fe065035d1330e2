#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

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
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, &status_, 0);
        }
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

}  // namespace
