#include <gtest/gtest.h>

#include <numeric>

#include "link/frame.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

uint8_t SumOf(const std::vector<uint8_t>& frame) {
    return static_cast<uint8_t>(std::accumulate(frame.begin(), frame.end(), 0u));
}

TEST(Frame, ExampleFramesByteForByte) {
    EXPECT_EQ(BuildRequest(CMD_GET_VERSION), Bytes({0x0A, 0xFF, 0x02, 0x22, 0xD3}));
    EXPECT_EQ(BuildRequest(CMD_GET_RECORD_COUNT), Bytes({0x0A, 0xFF, 0x02, 0x40, 0xB5}));
    EXPECT_EQ(BuildRequest(CMD_DELETE_RECORDS), Bytes({0x0A, 0xFF, 0x02, 0x42, 0xB3}));
    EXPECT_EQ(BuildRequest(CMD_GET_PARAMS), Bytes({0x0A, 0xFF, 0x02, 0x24, 0xD1}));
    EXPECT_EQ(BuildRequest(CMD_UPGRADE_END), Bytes({0x0A, 0xFF, 0x02, 0x33, 0xC2}));
    EXPECT_EQ(BuildRequest(CMD_GET_RECORDS, Bytes({0, 0, 0, 0, 10})),
              Bytes({0x0A, 0xFF, 0x07, 0x41, 0x00, 0x00, 0x00, 0x00, 0x0A, 0xA5}));
    EXPECT_EQ(BuildRequest(CMD_GET_RECORDS, Bytes({0, 0, 0, 10, 10})),
              Bytes({0x0A, 0xFF, 0x07, 0x41, 0x00, 0x00, 0x00, 0x0A, 0x0A, 0x9B}));
    EXPECT_EQ(BuildRequest(CMD_UPGRADE_START, Bytes({0x00, 0x00, 0x1F, 0x40})),
              Bytes({0x0A, 0xFF, 0x06, 0x31, 0x00, 0x00, 0x1F, 0x40, 0x61}));
    EXPECT_EQ(BuildRequest(CMD_SET_TIME, Bytes({0x15, 0x09, 0x13, 0x05, 0x2C, 0x3B})),
              Bytes({0x0A, 0xFF, 0x08, 0x20, 0x15, 0x09, 0x13, 0x05, 0x2C, 0x3B, 0x32}));
}

TEST(Frame, EveryCommandFrameSumsToZeroAndHasItsTableLength) {
    for (const CommandInfo& info : kCommands) {
        std::vector<uint8_t> data(info.requestLength - 5, 0xA7);
        std::vector<uint8_t> frame = BuildRequest(info.code, data);
        EXPECT_EQ(frame.size(), info.requestLength) << info.name;
        EXPECT_EQ(SumOf(frame), 0) << info.name;
        EXPECT_EQ(frame[2], frame.size() - 3) << info.name;
    }
}

TEST(Frame, ChecksumOfVersionRequestIsD3) {
    const uint8_t head[] = {0x0A, 0xFF, 0x02, 0x22};
    EXPECT_EQ(FrameChecksum(head, sizeof head), 0xD3);
}

TEST(Frame, BigEndianRoundTrip) {
    uint8_t buf[4];
    PutBigEndian32(buf, 0x80000001u);
    EXPECT_EQ(buf[0], 0x80);
    EXPECT_EQ(buf[3], 0x01);
    EXPECT_EQ(GetBigEndian32(buf), 0x80000001u);
}

TEST(Frame, UnknownCommandHasNoEntry) {
    EXPECT_EQ(FindCommand(0x99), nullptr);
    ASSERT_NE(FindCommand(CMD_UPGRADE_DATA), nullptr);
    EXPECT_EQ(FindCommand(CMD_UPGRADE_DATA)->requestLength, 133u);
}

}  // namespace
