// What each operation returns, so that a front end never reads its log:
// what it read, and a refusal the window's lines do not show.
#include <gtest/gtest.h>

#include <functional>

#include "ops/clock.h"
#include "ops/housekeeping.h"
#include "ops/second_reading.h"
#include "ops/upgrade.h"
#include "pty/reader_fixture.h"

namespace {

using Log = std::vector<std::string>;

TEST_F(ReaderTest, ResultsCarryWhatTheReaderAnswered) {
    reader.SetVersion(2, 10);
    reader.SetRecords(GenerateRecords(3), 300);
    reader.SetParams({1, 2, 3, 42});
    ConnectResult connection = ConnectReader(ui, reader.PortPath(), port);
    EXPECT_EQ(connection.outcome, Outcome::Ok);
    EXPECT_TRUE(connection.connected);
    EXPECT_TRUE(connection.VersionAnswer().Ok());
    EXPECT_EQ(connection.major, 2u);
    EXPECT_EQ(connection.minor, 10u);
    EXPECT_EQ(CountRecords(ui, port).count, 300u);
    EXPECT_EQ(GetPowerDown(ui, port).minutes, 42);

    DisconnectReader(port);
    EXPECT_EQ(SyncClock(ui, port, LocalTime{2021, 9, 19, 5, 44, 59}).outcome, Outcome::TransactionFailed);

    ConnectResult missing = ConnectReader(ui, "/nonexistent/tty", port);
    EXPECT_EQ(missing.outcome, Outcome::PortFailed);
    EXPECT_EQ(missing.open.failure, OpenFailure::NotFound) << "the reason travels in the result";
    EXPECT_FALSE(missing.connected);
}

// Every command answered with status 5: the window's own line, as it always
// was, and a result that says the reader refused.
TEST_F(ReaderTest, ARefusalIsInTheResultWhateverTheLineSays) {
    struct Case {
        const char* name;
        uint8_t command;
        std::function<OpResult()> press;
        Log log;
    };
    const Case cases[] = {
        {"GetCnt", CMD_GET_RECORD_COUNT, [&] { return CountRecords(ui, port); }, {"Get records cnt success."}},
        {"DeleteAll", CMD_DELETE_RECORDS, [&] { return DeleteAllRecords(ui, port, true); }, {"Please wait..."}},
        {"SyncTime", CMD_SET_TIME, [&] { return SyncClock(ui, port, LocalTime{2021, 9, 19, 5, 44, 59}); },
         {"Sync time success."}},
        {"SetPowerDown", CMD_SET_PARAMS, [&] { return SetPowerDown(ui, port, 30); }, {"Set Power down time Failed."}},
        {"GetPowerDown", CMD_GET_PARAMS, [&] { return GetPowerDown(ui, port); }, {"Get params OK."}},
    };
    Connect();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reader.AddFault({c.command, FaultKind::Status, 5, 0, 1});
        ui.log.clear();
        OpResult result = c.press();
        EXPECT_EQ(result.outcome, Outcome::Refused);
        EXPECT_EQ(result.status, 5);
        EXPECT_EQ(ui.log, c.log);
    }

    DisconnectReader(port);
    reader.AddFault({CMD_GET_VERSION, FaultKind::Status, 7, 0, 1});
    ConnectResult connection = ConnectReader(ui, reader.PortPath(), port);
    EXPECT_TRUE(connection.connected) << "the window connects whatever the status";
    EXPECT_EQ(connection.outcome, Outcome::Ok) << "connected, and the result says so";
    EXPECT_EQ(connection.versionStatus, 7);
    EXPECT_EQ(connection.VersionAnswer().outcome, Outcome::Refused);
    EXPECT_EQ(RefusalText(connection.VersionAnswer()), "the reader refused the command (status 7)");
}

TEST_F(ReaderTest, ASecondReadingNamesTheFirstRowThatDiffers) {
    const std::vector<TagBytes> stored = GenerateRecords(25);
    const std::vector<TagRecord> first(stored.begin(), stored.end());
    reader.SetRecords(stored);
    Connect();
    SecondReading same = ReadAgainAndCompare(ui, port, first);
    EXPECT_TRUE(same.Ok());
    EXPECT_EQ(same.differingRow, 0);

    auto expectDiffers = [&](int row, const char* why) {
        SecondReading again = ReadAgainAndCompare(ui, port, first);
        EXPECT_EQ(again.outcome, Outcome::Differs) << why;
        EXPECT_FALSE(again.Ok()) << why;
        EXPECT_EQ(again.differingRow, row) << why;
    };
    reader.AddFault({CMD_GET_RECORDS, FaultKind::FlipBit, 17});
    expectDiffers(18, "a flipped bit");
    EXPECT_TRUE(ReadAgainAndCompare(ui, port, first).Ok()) << "the bit flips once only";

    reader.SetRecords({stored.begin(), stored.begin() + 20});
    expectDiffers(21, "a record gone since");
    reader.SetRecords(GenerateRecords(27));
    expectDiffers(26, "more in the last block than first read");

    reader.AddFault({CMD_GET_RECORDS, FaultKind::WrongHeader, 0, 0, 3});
    EXPECT_EQ(ReadAgainAndCompare(ui, port, first).outcome, Outcome::TransactionFailed);

    // Asked to stop: a reading that never ended agrees with nothing.
    struct Stopping : TestFeedback {
        bool StopRequested() override { return true; }
    } stopping;
    const SecondReading stopped = ReadAgainAndCompare(stopping, port, first);
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_FALSE(stopped.Ok());
}

}  // namespace
