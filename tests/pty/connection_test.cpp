// "Connect"/"Discon" against the virtual reader.
#include <gtest/gtest.h>

#include "ops/connection.h"
#include "pty/reader_fixture.h"

namespace {

using Log = std::vector<std::string>;

TEST_F(ReaderTest, ConnectLogsTheVersionAndDisconnectIsSilent) {
    reader.SetVersion(2, 10);
    OnBnClickedConnect(ui);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Reader firmvare version:2.10"}));
    EXPECT_TRUE(g_bConnected);
    EXPECT_NE(g_hComm, nullptr);
    EXPECT_EQ(ui.connectCaption, "Discon");
    EXPECT_TRUE(ui.upgradeEnabled);

    OnBnClickedConnect(ui);
    EXPECT_EQ(ui.log.size(), 2u) << "no log line on disconnect";
    EXPECT_FALSE(g_bConnected);
    EXPECT_EQ(g_hComm, nullptr);
    EXPECT_EQ(ui.connectCaption, "Connect");
    EXPECT_FALSE(ui.upgradeEnabled);

    PortHandle other = nullptr;
    EXPECT_EQ(OpenCommPort(other, reader.PortPath()), 0) << "port released for other programs";
    ClosePort(other);
    EXPECT_EQ(reader.Snapshot().received.size(), 1u) << "nothing sent on disconnect";
}

TEST_F(ReaderTest, VersionBytesPrintAsUnsigned) {
    reader.SetVersion(200, 255);
    OnBnClickedConnect(ui);
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[1], "Reader firmvare version:200.255");
}

TEST_F(ReaderTest, NoPortSelectedFailsToOpen) {
    ui.port.clear();
    OnBnClickedConnect(ui);
    EXPECT_EQ(ui.log, (Log{"CommPort open failed!"}));
    EXPECT_FALSE(g_bConnected);
    EXPECT_EQ(g_hComm, nullptr);
    EXPECT_EQ(ui.connectCaption, "Connect");
}

TEST_F(ReaderTest, BytesThatAreNoReadersAnswerAreToldFromSilence) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Garbage, 0, 0, 1});
    ConnectResult result = OnBnClickedConnect(ui);
    EXPECT_EQ(result.outcome, Outcome::TransactionFailed);
    EXPECT_EQ(result.reply, ReaderReply::Foreign);
}

TEST_F(ReaderTest, AnswerWithoutVersionBytesIsNoReader) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Empty, 0, 0, 1});
    EXPECT_EQ(OnBnClickedConnect(ui).reply, ReaderReply::Foreign);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Connect reader failed!"}));
    EXPECT_FALSE(g_bConnected);
    EXPECT_EQ(g_hComm, nullptr);

    ui.log.clear();
    OnBnClickedConnect(ui);
    EXPECT_EQ(ui.log, (Log{"CommPort open success!", "Reader firmvare version:1.0"}));
    EXPECT_TRUE(g_bConnected);
}

}  // namespace
