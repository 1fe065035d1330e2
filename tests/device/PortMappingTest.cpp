#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "PortMapping.h"
#include "TempDir.h"

namespace ports = k57::ports;

namespace {

TEST(PortMapping, DevicePathsAreUsedAsTheyAre) {
    k57::test::IsolatedPorts isolated;
    EXPECT_EQ(ports::Resolve("/dev/ttyACM3"), "/dev/ttyACM3");
    EXPECT_EQ(ports::Resolve("./COM5"), "./COM5");
}

TEST(PortMapping, ComNamesResolveThroughTheDirectoryWithOrWithoutDevicePrefix) {
    k57::test::IsolatedPorts isolated;
    ASSERT_TRUE(ports::Register(12, "/dev/null"));
    std::string entry = isolated.directory() + "/COM12";
    EXPECT_EQ(ports::Resolve("COM12"), entry);
    EXPECT_EQ(ports::Resolve("\\\\.\\COM12"), entry);
    EXPECT_EQ(ports::Resolve("com12"), entry);
    char target[64] = {};
    ASSERT_GT(readlink(entry.c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "/dev/null");

    ports::Unregister(12);
    EXPECT_EQ(ports::Resolve("COM12"), "");
}

TEST(PortMapping, AnIsolatedDirectoryIsTheWholeMapping) {
    k57::test::IsolatedPorts isolated;
    EXPECT_EQ(ports::Resolve("COM5"), "");
    EXPECT_EQ(ports::Resolve("COM1"), "");
}

TEST(PortMapping, WithoutConfigurationUsbUnitsAnswerUnderComNames) {
    k57::test::TempDir home;
    unsetenv("K57_PORTS_DIR");
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    EXPECT_EQ(ports::Directory(), home.path() + "/k57tool/ports");
    EXPECT_EQ(ports::Resolve("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ports::Resolve("COM5"), "/dev/ttyACM0");
    EXPECT_EQ(ports::Resolve("COM20"), "/dev/ttyACM15");
    EXPECT_EQ(ports::Resolve("COM21"), "/dev/ttyUSB0");
    EXPECT_EQ(ports::Resolve("COM37"), "");

    // A registered entry wins over the built-in default.
    ASSERT_TRUE(ports::Register(5, "/dev/null"));
    EXPECT_EQ(ports::Resolve("COM5"), home.path() + "/k57tool/ports/COM5");
    unsetenv("XDG_CONFIG_HOME");
}

TEST(PortMapping, OnlyComFollowedByANumberIsAComName) {
    for (const char* name : {"", "COM", "COM0", "COM05", "COMx", "LPT1", "COM1x", "\\\\.\\"}) {
        EXPECT_EQ(ports::ComNumber(name), 0) << name;
    }
    EXPECT_EQ(ports::ComNumber("COM254"), 254);
    EXPECT_EQ(ports::ComNumber("\\\\.\\COM7"), 7);
}

}  // namespace
