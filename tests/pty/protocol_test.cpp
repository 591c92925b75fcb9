// Transactions against the virtual reader: what SendCommand accepts.
#include <gtest/gtest.h>

#include "link/protocol.h"
#include "pty/reader_fixture.h"

namespace {

class ProtocolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(reader.Start(&error)) << error;
        ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    }
    void TearDown() override { ClosePort(port); }

    int Send(uint8_t command, std::vector<uint8_t> data = {}) {
        std::vector<uint8_t> request = BuildRequest(command, data);
        request.back() = 0;  // SendCommand fills the checksum itself
        response.fill(0xEE);
        return SendCommand(port, request.data(), request.size(), response);
    }

    VirtualReader reader{[] { ReaderConfig c; c.versionMajor = 2; c.versionMinor = 10; return c; }()};
    PortHandle port = nullptr;
    ResponseBuffer response{};
};

TEST_F(ProtocolTest, GoodAnswerFillsTheBufferAndTheReaderSawAValidFrame) {
    ASSERT_EQ(Send(CMD_GET_VERSION), 0);
    EXPECT_EQ(response[0], 0x0B);
    EXPECT_EQ(response[2], 3);
    EXPECT_EQ(response[3], 0);
    EXPECT_EQ(response[4], 2);
    EXPECT_EQ(response[5], 10);
    ReaderSnapshot s = reader.Snapshot();
    EXPECT_EQ(s.rejected, 0);
    ASSERT_EQ(s.received.size(), 1u);
    EXPECT_EQ(s.received[0], BuildRequest(CMD_GET_VERSION));
}

TEST_F(ProtocolTest, EmptyAnswerSucceedsWithNoPayload) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Empty});
    EXPECT_EQ(Send(CMD_GET_VERSION), 0);
    EXPECT_EQ(response[2], 0);
    EXPECT_EQ(response[3], 0xEE) << "nothing written past the header";
}

TEST_F(ProtocolTest, NonzeroStatusStillSucceedsAtThisLevel) {
    reader.AddFault({CMD_GET_PARAMS, FaultKind::Status, 7});
    EXPECT_EQ(Send(CMD_GET_PARAMS), 0);
    EXPECT_EQ(response[3], 7);
}

// Each fault a reader can produce ends in 1 within the time-out bound.
struct FailureCase {
    const char* name;
    FaultKind kind;
    int arg;
    double minSeconds;
    double maxSeconds;
};

class ProtocolFailure : public ProtocolTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProtocolFailure, FailsWithinItsBound) {
    const FailureCase& c = GetParam();
    reader.AddFault({CMD_GET_RECORD_COUNT, c.kind, c.arg});
    int result = 0;
    double seconds = SecondsFor([&] { result = Send(CMD_GET_RECORD_COUNT); });
    EXPECT_EQ(result, 1);
    EXPECT_GE(seconds, c.minSeconds);
    EXPECT_LE(seconds, c.maxSeconds);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProtocolFailure,
    ::testing::Values(FailureCase{"WrongHeader", FaultKind::WrongHeader, 0, 0.0, 2.0},
                      // 800 ms after the last byte of the body
                      FailureCase{"ShortBody", FaultKind::ShortBody, 0, 0.75, 3.0},
                      // 3 x 800 + 400 ms for the header
                      FailureCase{"Silent", FaultKind::Silent, 0, 2.75, 6.0},
                      FailureCase{"Garbage", FaultKind::Garbage, 40, 0.0, 3.0},
                      FailureCase{"Hangup", FaultKind::Hangup, 0, 0.0, 3.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProtocolTest, WrongHeaderLeavesNoTraceForTheNextTransaction) {
    reader.AddFault({CMD_GET_RECORD_COUNT, FaultKind::WrongHeader, 0, 0, 1});
    EXPECT_EQ(Send(CMD_GET_RECORD_COUNT), 1);
    ASSERT_EQ(Send(CMD_GET_VERSION), 0);
    EXPECT_EQ(response[4], 2);
    EXPECT_EQ(response[5], 10);
}

TEST_F(ProtocolTest, RecordBlockArrivesWhole) {
    reader.SetRecords(GenerateRecords(20));
    ASSERT_EQ(Send(CMD_GET_RECORDS, {0, 0, 0, 0, 10}), 0);
    EXPECT_EQ(response[4], 10);
    EXPECT_EQ(response[2], 2 + 160);
}

TEST_F(ProtocolTest, NoPortFailsAtTheWrite) {
    std::vector<uint8_t> request = BuildRequest(CMD_GET_VERSION);
    EXPECT_EQ(SendCommand(nullptr, request.data(), request.size(), response), 1);
}

}  // namespace
