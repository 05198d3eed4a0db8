// Serial layer: COM1..COM5 and their paths.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "vazplatform/serial.h"

namespace {

TEST(SerialPorts, PathsFromTheEnvironment) {
    setenv("VAZ_SERIAL_PORTS", "/dev/a:/dev/b::/dev/d", 1);
    EXPECT_EQ(vazplat::SerialPortPath(1), "/dev/a");
    EXPECT_EQ(vazplat::SerialPortPath(2), "/dev/b");
    EXPECT_EQ(vazplat::SerialPortPath(3), "");
    EXPECT_EQ(vazplat::SerialPortPath(4), "/dev/d");
    EXPECT_EQ(vazplat::SerialPortPath(5), "");
    setenv("VAZ_SERIAL_PORTS", "", 1);
    EXPECT_TRUE(vazplat::SerialPortPaths().empty());
    unsetenv("VAZ_SERIAL_PORTS");
}

}  // namespace
