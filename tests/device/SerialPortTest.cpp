#include <gtest/gtest.h>

#include <termios.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Elapsed.h"
#include "PortMapping.h"
#include "Pty.h"
#include "RecordingNotifier.h"
#include "TempDir.h"
#include "VCOMStreams.h"
#include "VCOM_Port.h"

namespace {

using SteadyClock = std::chrono::steady_clock;
using k57::test::ElapsedMs;

// Waits until the port reports at least `n` received bytes (the pty moves
// data to the other side asynchronously).
bool WaitForBytes(VCOM_Port& port, uint32_t n) {
    for (int i = 0; i < 200 && port.BytesToRead() < n; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return port.BytesToRead() >= n;
}

class SerialPortTest : public ::testing::Test {
  protected:
    k57::sim::Pty pty;
    VCOM_Port port{pty.slavePath().c_str()};
    k57::test::RecordingNotifier notices;
};

TEST_F(SerialPortTest, OpenAppliesTheUnitsLineSettingsAndIsIdempotent) {
    ASSERT_TRUE(pty.ok());
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.IsOpen());
    termios tio;
    ASSERT_EQ(tcgetattr(pty.slave(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG), 0u);

    // A second Open of an open port applies nothing again.
    cfsetspeed(&tio, B19200);
    ASSERT_EQ(tcsetattr(pty.slave(), TCSANOW, &tio), 0);
    EXPECT_TRUE(port.Open());
    ASSERT_EQ(tcgetattr(pty.slave(), &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), speed_t(B19200));
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SerialPortTest, OpenIsExclusiveUntilClosed) {
    VCOM_Port second(pty.slavePath().c_str());
    ASSERT_TRUE(port.Open());
    EXPECT_FALSE(second.Open());
    EXPECT_FALSE(second.IsOpen());
    port.Close();
    port.Close();  // harmless when closed
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(second.Open());
    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SerialPortTest, MissingOrUnmappedPortsFailSilently) {
    k57::test::IsolatedPorts isolated;
    VCOM_Port missing("/dev/no-such-port");
    VCOM_Port unmapped("COM9");
    VCOM_Port unnamed("");
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(unmapped.Open());
    EXPECT_FALSE(unnamed.Open());
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SerialPortTest, ComNameReachesTheRegisteredDevice) {
    k57::test::IsolatedPorts isolated;
    ASSERT_TRUE(k57::ports::Register(7, pty.slavePath()));
    VCOM_Port byName("\\\\.\\COM7");
    ASSERT_TRUE(byName.Open());
    // The same device under its path is taken.
    EXPECT_FALSE(port.Open());
}

// A plain file opens like a device but is no port: said once, by the
// open's reason, with no box of the port layer's own beside it.
TEST_F(SerialPortTest, ANonSerialDeviceIsNamedAndLeftClosed) {
    k57::test::TempDir dir;
    std::string file = dir.path() + "/not-a-port";
    std::fclose(std::fopen(file.c_str(), "w"));
    VCOM_Port plain(file.c_str());
    for (const char* device : {file.c_str(), "/dev/null"}) {
        plain.SetName(device);
        EXPECT_FALSE(plain.Open());
        EXPECT_FALSE(plain.IsOpen());
        EXPECT_EQ(plain.OpenError(), std::string(device) + ": not a serial port");
        EXPECT_EQ(plain.LastOpenProblem().kind, k57::OpenProblem::Kind::System);
        EXPECT_EQ(plain.LastOpenProblem().systemCode, ENOTTY);
    }
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SerialPortTest, WriteSpaceIsTheSixtyFourByteWindow) {
    EXPECT_EQ(port.WriteSpace(), 0);
    EXPECT_EQ(port.BytesToRead(), 0u);
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.WriteSpace(), 64);
    VCOMOutputStream out(&port);
    EXPECT_EQ(out.available(), 64);
    EXPECT_TRUE(out.isEmpty());
}

TEST_F(SerialPortTest, StreamsMoveBytesBothWays) {
    VCOMInputStream in(&port);
    VCOMOutputStream out(&port);
    ASSERT_TRUE(in.open());
    EXPECT_TRUE(out.isOpen());

    const char request[] = "\x0E\x00\x00\x00\x00\x00\x00\x00";
    EXPECT_EQ(out.write(request, 8), 8);
    EXPECT_EQ(pty.readSome(1000), std::string(request, 8));

    ASSERT_TRUE(pty.writeAll("\x11\x13\r\nabc", 7));
    ASSERT_TRUE(WaitForBytes(port, 7));
    EXPECT_EQ(in.available(), 7);
    EXPECT_FALSE(in.isEmpty());
    char got[7] = {};
    EXPECT_EQ(in.read(got, 7), 7);
    EXPECT_EQ(std::string(got, 7), "\x11\x13\r\nabc");  // no flow control, no translation
    EXPECT_TRUE(in.isEmpty());

    EXPECT_EQ(in.read(got, 0), 0);
    EXPECT_EQ(out.write(got, 0), 0);
}

TEST_F(SerialPortTest, AShortReadWaitsItsTimeOutAndFails) {
    VCOMInputStream in(&port);
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(pty.writeAll("xyz", 3));
    char got[5] = {};
    auto start = SteadyClock::now();
    EXPECT_EQ(in.read(got, 5), -2);
    int took = ElapsedMs(start);
    EXPECT_GE(took, 1004);
    EXPECT_LT(took, 1500);
    EXPECT_EQ(std::string(got, 3), "xyz");
}

TEST_F(SerialPortTest, ClosedPortStreamsRefuseWithoutWaiting) {
    VCOMInputStream in(&port);
    VCOMOutputStream out(&port);
    char byte = 0;
    EXPECT_EQ(in.read(&byte, 1), -1);
    EXPECT_EQ(out.write(&byte, 1), -1);
    EXPECT_EQ(in.available(), 0);
    EXPECT_EQ(out.available(), 0);
    EXPECT_FALSE(in.isOpen());
}

TEST_F(SerialPortTest, StreamsNeitherOwnNorClosePort) {
    ASSERT_TRUE(port.Open());
    {
        VCOMInputStream in(&port);
        VCOMOutputStream out(&port);
    }
    EXPECT_TRUE(port.IsOpen());
    VCOMOutputStream out(&port);
    out.close();
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
