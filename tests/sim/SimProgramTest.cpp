#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "PortLinks.h"
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
    // One line, pointing at the help rather than repeating it.
    const std::string tail = "; see --help\n";
    size_t end = said.find('\n');
    EXPECT_EQ(end + 1, said.size()) << said;
    bool pointed = said.size() >= tail.size() &&
                   said.compare(said.size() - tail.size(), tail.size(), tail) == 0;
    EXPECT_TRUE(pointed) << said;
    return pointed ? said.substr(0, said.size() - tail.size()) : said.substr(0, end);
}

TEST_F(SimProgramTest, ABadCommandLineIsNamedAndRefused) {
    EXPECT_EQ(Refusal("--rate abc"), "k57sim: --rate: 'abc' is not a number from 10 to 100000000");
    EXPECT_EQ(Refusal("--can-ids 5000"),
              "k57sim: --can-ids: '5000' is not a number from 1 to 4096");
    EXPECT_EQ(Refusal("--serial 12x"),
              "k57sim: --serial: '12x' is not a number from 0 to 4294967295");
    EXPECT_EQ(Refusal("--bogus"), "k57sim: unknown option --bogus");
    EXPECT_EQ(Refusal("--port COM5 --version"),
              "k57sim: --version needs a value here; alone it shows this program's version");
    EXPECT_EQ(Refusal("--port"), "k57sim: --port needs a value");
    EXPECT_EQ(Refusal("--port 5"), "k57sim: --port: '5' is not a COM name such as COM5");
    EXPECT_EQ(Refusal("--dribble 5:x"), "k57sim: --dribble: '5:x' is not BYTES:MS");
    EXPECT_EQ(Refusal("--dribble 5"), "k57sim: --dribble needs BYTES:MS");
}

TEST_F(SimProgramTest, ACaptureToReplayMustBeThere) {
    EXPECT_EQ(Refusal("--can-log /nonexistent/can.log"),
              "k57sim: --can-log: /nonexistent/can.log: no such file");
    EXPECT_EQ(Refusal("--can-log /tmp"), "k57sim: --can-log: /tmp: not a regular file");
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
    EXPECT_EQ(k57::test::LinkTarget(entry), path);
    first.stop();
    EXPECT_EQ(k57::test::LinkTarget(entry), "");

    // An entry left behind by a unit that was killed leads nowhere: taken over.
    ASSERT_EQ(symlink("/dev/pts/no-such-terminal", entry.c_str()), 0);
    SimProgram second("--port COM30");
    EXPECT_EQ(k57::test::LinkTarget(entry), second.line());
}

TEST_F(SimProgramTest, AUnitEndingRemovesOnlyTheEntryItMade) {
    const std::string entry = k57::ports::Directory() + "/COM31";
    SimProgram first("--port COM31");
    ASSERT_FALSE(first.line().empty());
    ASSERT_EQ(unlink(entry.c_str()), 0);  // the name given to another unit
    SimProgram second("--port COM31");
    const std::string path = second.line();
    ASSERT_EQ(k57::test::LinkTarget(entry), path);
    first.stop();
    EXPECT_EQ(k57::test::LinkTarget(entry), path);

    k57::StoredPort::Write("COM31");
    T110_Device device;
    uint32_t serial = 0;
    EXPECT_EQ(device.ReadIdInfo(serial), 1);
}

// What k57ctl prints on both its outputs, run with the test's ports and
// settings.
std::string Ctl(const k57::test::IsolatedSettings& settings, const std::string& args) {
    std::string command = "XDG_CONFIG_HOME='" + settings.directory() + "' exec " +
                          std::string(K57CTL_PATH) + " " + args + " 2>&1";
    std::FILE* p = popen(command.c_str(), "r");
    std::string said;
    char buffer[256];
    while (p && std::fgets(buffer, sizeof buffer, p)) {
        said += buffer;
    }
    if (p) {
        pclose(p);
    }
    return said;
}

TEST_F(SimProgramTest, AfterItsSettingsAreWrittenTheUnitMakesWayForTheNextSerial) {
    const std::string entry = k57::ports::Directory() + "/COM36";
    k57::test::TempDir dir;
    const std::string file = dir.path() + "/first.txt";
    SimProgram sim("--port COM36 --serial 100 --settings " + file +
                   " --next-serials 101 --away 500");
    const std::string first = sim.line();
    ASSERT_EQ(sim.line(), "COM36 -> " + first);
    EXPECT_NE(Ctl(settings_, "--port COM36 info").find("serial: 100\n"), std::string::npos);
    EXPECT_NE(Ctl(settings_, "--port COM36 settings set MicLevel=9").find("confirmed"),
              std::string::npos);

    ASSERT_TRUE(k57::test::WaitUntil([&] { return !k57::test::EntryExists(entry); }));
    EXPECT_EQ(sim.line(), "unplugged");
    EXPECT_NE(Ctl(settings_, "--port COM36 info").find("no such port"), std::string::npos);
    ASSERT_TRUE(k57::test::WaitUntil([&] { return k57::test::EntryExists(entry); }));
    const std::string next = k57::test::LinkTarget(entry);
    EXPECT_EQ(sim.line(), "plugged in 101: " + next);
    std::string info = Ctl(settings_, "--port COM36 info");
    EXPECT_NE(info.find("serial: 101\n"), std::string::npos) << info;
    EXPECT_EQ(Ctl(settings_, "--port COM36 settings read"),  // a new unit, no settings
              "every setting is at its default; --all prints them\n");

    // The last of the row stays, written or not, until the program ends.
    EXPECT_NE(Ctl(settings_, "--port COM36 settings set MicLevel=8").find("confirmed"),
              std::string::npos);
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_EQ(sim.line(), "");
    // The settings file is the first unit's: the next ones come empty.
    std::string kept;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        char buffer[2048] = {};
        kept.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_NE(kept.find("MicLevel=9"), std::string::npos) << kept;
    EXPECT_EQ(kept.find("MicLevel=8"), std::string::npos) << kept;
}

TEST_F(SimProgramTest, ARowOfSerialsMustBeNumbers) {
    EXPECT_EQ(Refusal("--next-serials 1,,2"),
              "k57sim: --next-serials: '1,,2' is not serial numbers S1,S2,...");
    EXPECT_EQ(Refusal("--next-serials 1,x"),
              "k57sim: --next-serials: '1,x' is not serial numbers S1,S2,...");
    EXPECT_EQ(Refusal("--away -1"), "k57sim: --away: '-1' is not a number from 0 to 600000");
}

}  // namespace
