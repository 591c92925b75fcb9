// Connecting and disconnecting against the virtual reader.
#include <gtest/gtest.h>

#include "ops/connection.h"
#include "pty/reader_fixture.h"

namespace {

using Log = std::vector<std::string>;

TEST_F(ReaderTest, ConnectLogsTheVersionAndDisconnectIsSilent) {
    reader.SetVersion(2, 10);
    const ConnectResult result = ConnectReader(ui, reader.PortPath(), port);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Reader firmvare version:2.10"}));
    EXPECT_EQ(result.outcome, Outcome::Ok);
    EXPECT_TRUE(result.connected);
    EXPECT_EQ(result.major, 2u);
    EXPECT_EQ(result.minor, 10u);
    EXPECT_NE(port, nullptr);

    DisconnectReader(port);
    EXPECT_EQ(ui.log.size(), 2u) << "no log line on disconnect";
    EXPECT_EQ(port, nullptr);

    PortHandle other = nullptr;
    EXPECT_EQ(OpenCommPort(other, reader.PortPath()), 0) << "port released for other programs";
    ClosePort(other);
    EXPECT_EQ(reader.Snapshot().received.size(), 1u) << "nothing sent on disconnect";
}

TEST_F(ReaderTest, VersionBytesPrintAsUnsigned) {
    reader.SetVersion(200, 255);
    ConnectReader(ui, reader.PortPath(), port);
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[1], "Reader firmvare version:200.255");
}

TEST_F(ReaderTest, NoPortSelectedFailsToOpen) {
    const ConnectResult result = ConnectReader(ui, "", port);
    EXPECT_EQ(ui.log, (Log{"CommPort open failed!"}));
    EXPECT_EQ(result.outcome, Outcome::PortFailed);
    EXPECT_FALSE(result.connected);
    EXPECT_EQ(port, nullptr);
}

TEST_F(ReaderTest, BytesThatAreNoReadersAnswerAreToldFromSilence) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Garbage, 0, 0, 1});
    ConnectResult result = ConnectReader(ui, reader.PortPath(), port);
    EXPECT_EQ(result.outcome, Outcome::TransactionFailed);
    EXPECT_EQ(result.reply, ReaderReply::Foreign);
}

TEST_F(ReaderTest, AnswerWithoutVersionBytesIsNoReader) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Empty, 0, 0, 1});
    const ConnectResult failed = ConnectReader(ui, reader.PortPath(), port);
    EXPECT_EQ(failed.reply, ReaderReply::Foreign);
    EXPECT_FALSE(failed.connected);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Connect reader failed!"}));
    EXPECT_EQ(port, nullptr);

    ui.log.clear();
    EXPECT_TRUE(ConnectReader(ui, reader.PortPath(), port).connected);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Reader firmvare version:1.0"}));
}

}  // namespace
