// The one line setting the reader speaks, as every platform's port must
// report it after an open.
#pragma once

#include <gtest/gtest.h>

#include "link/serial_port.h"

inline void ExpectReaderLine(PortHandle port) {
    LineSettings line;
    ASSERT_TRUE(ReadLineSettings(port, line));
    EXPECT_EQ(line.baudRate, 115200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_FALSE(line.parity);
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_FALSE(line.hardwareFlow);
    EXPECT_FALSE(line.softwareFlow);
}
