// Record count, delete, clock and power-down time against the virtual reader.
#include <gtest/gtest.h>

#include "ops/clock.h"
#include "ops/housekeeping.h"
#include "pty/reader_fixture.h"

namespace {

using Log = std::vector<std::string>;
using Frames = std::vector<std::vector<uint8_t>>;
using Handler = OpResult (*)(Feedback& ui, PortHandle port);

// The operations as a window's buttons run them, with valid fields.
OpResult GetCnt(Feedback& ui, PortHandle port) { return CountRecords(ui, port); }
OpResult DeleteAll(Feedback& ui, PortHandle port) { return DeleteAllRecords(ui, port, true); }
OpResult SyncTime(Feedback& ui, PortHandle port) { return SyncClock(ui, port, LocalTime{2021, 9, 19, 5, 44, 59}); }
OpResult Set(Feedback& ui, PortHandle port) { return SetPowerDown(ui, port, 10); }
OpResult Get(Feedback& ui, PortHandle port) { return GetPowerDown(ui, port); }

// Puts the process clock back after a test replaced it.
struct ClockGuard {
    Clock saved = SystemClock();
    ~ClockGuard() { SystemClock() = saved; }
};

TEST_F(ReaderTest, SyncTimeSendsTheLocalTimeAndTheReaderKeepsIt) {
    Connect();
    EXPECT_EQ(SyncClock(ui, port, LocalTime{2021, 9, 19, 5, 44, 59}).outcome, Outcome::Ok);
    EXPECT_EQ(ui.log, (Log{"Sync time success."}));
    ReaderSnapshot s = reader.Snapshot();
    EXPECT_EQ(s.received, (Frames{{0x0A, 0xFF, 0x08, 0x20, 0x15, 0x09, 0x13, 0x05, 0x2C, 0x3B, 0x32}}));
    EXPECT_TRUE(s.clockSet);
    EXPECT_EQ(s.clock, (std::array<uint8_t, 6>{21, 9, 19, 5, 44, 59}));
}

TEST_F(ReaderTest, SetPowerDownWritesTheOtherParameterBytesBackAsRead) {
    Connect();
    for (int minutes : {1, 30, 60}) {
        SCOPED_TRACE(minutes);
        reader.SetParams({0x11, 0x22, 0x33, 0x05});
        reader.ClearReceived();
        ui.log.clear();
        EXPECT_EQ(SetPowerDown(ui, port, minutes).outcome, Outcome::Ok);
        EXPECT_EQ(ui.log, (Log{"Set Power down time Ok."}));
        EXPECT_TRUE(ui.messages.empty());
        const uint8_t block[] = {0x11, 0x22, 0x33, static_cast<uint8_t>(minutes)};
        ReaderSnapshot s = reader.Snapshot();
        EXPECT_EQ(s.received, (Frames{BuildRequest(CMD_GET_PARAMS), BuildRequest(CMD_SET_PARAMS, block)}));
        EXPECT_EQ(s.params, (std::array<uint8_t, 4>{0x11, 0x22, 0x33, static_cast<uint8_t>(minutes)}));
    }
}

TEST_F(ReaderTest, SetPowerDownOutOfRangeRefusesAndSendsNothing) {
    Connect();
    for (int minutes : {0, 61}) {
        SCOPED_TRACE(minutes);
        ui.log.clear();
        EXPECT_EQ(SetPowerDown(ui, port, minutes).outcome, Outcome::BadField);
        EXPECT_EQ(ui.log, Log{"Params error."});
    }
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

TEST_F(ReaderTest, GetShowsAnOutOfRangeTimeThatSetThenRefuses) {
    Connect();
    for (uint8_t minutes : {0, 61, 255}) {
        SCOPED_TRACE(int{minutes});
        reader.SetParams({0x01, 0x02, 0x03, minutes});
        reader.ClearReceived();
        ui.log.clear();
        PowerDownResult read = GetPowerDown(ui, port);
        EXPECT_EQ(read.outcome, Outcome::Ok);
        EXPECT_EQ(read.minutes, int{minutes});
        EXPECT_EQ(SetPowerDown(ui, port, read.minutes).outcome, Outcome::BadField);  // the field was not edited
        EXPECT_EQ(ui.log, (Log{"Get params OK.", "Params error."}));
        EXPECT_EQ(reader.Snapshot().received, (Frames{BuildRequest(CMD_GET_PARAMS)}));
    }
}

TEST_F(ReaderTest, GetCntGivesTheCountAsTheReaderSentIt) {
    Connect();
    for (uint32_t reported : {300u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(reported);
        reader.SetRecords({}, reported);
        ui.log.clear();
        CountResult result = CountRecords(ui, port);
        EXPECT_EQ(result.outcome, Outcome::Ok);
        EXPECT_EQ(result.count, reported);
        EXPECT_EQ(ui.log, (Log{"Get records cnt success."}));
    }
}

TEST_F(ReaderTest, DeleteAllAsksFirstThenEmptiesTheReaderAndWaitsForIt) {
    ClockGuard guard;
    std::vector<unsigned> sleeps;
    Log logAtSleep;
    SystemClock().sleep = [&](unsigned ms) {
        sleeps.push_back(ms);
        logAtSleep = ui.log;
    };
    reader.SetRecords(GenerateRecords(25));
    Connect();

    ui.answers = {false, true};
    EXPECT_FALSE(ConfirmDelete(ui));
    EXPECT_EQ(ui.messages, Log{"Delete all records stored in the reader? This cannot be undone."});
    const DeleteResult declined = DeleteAllRecords(ui, port, false);
    EXPECT_EQ(declined.outcome, Outcome::Declined);
    EXPECT_FALSE(declined.sent);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(reader.Snapshot().received.empty());
    EXPECT_EQ(reader.Snapshot().records.size(), 25u);

    EXPECT_TRUE(ConfirmDelete(ui));
    const DeleteResult sent = DeleteAllRecords(ui, port, true);
    EXPECT_EQ(sent.outcome, Outcome::Ok);
    EXPECT_TRUE(sent.sent);
    EXPECT_EQ(ui.log, Log{"Please wait..."});
    EXPECT_TRUE(sleeps.empty());
    AwaitDeletion(ui);
    EXPECT_EQ(ui.log, (Log{"Please wait...", "All records has been Deleted."}));
    EXPECT_EQ(sleeps, std::vector<unsigned>{200});
    EXPECT_EQ(logAtSleep, Log{"Please wait..."});
    ReaderSnapshot s = reader.Snapshot();
    EXPECT_EQ(s.received, (Frames{{0x0A, 0xFF, 0x02, 0x42, 0xB3}}));
    EXPECT_TRUE(s.records.empty());
}

struct Disconnected {
    const char* name;
    Handler handler;
    const char* line;
};

TEST_F(ReaderTest, EveryOperationLogsItsFailureWhileDisconnected) {
    const Disconnected cases[] = {
        {"GetCnt", GetCnt, "Get records cnt failed."},    {"DeleteAll", DeleteAll, "Delete records failed."},
        {"SyncTime", SyncTime, "Sync time failed."},      {"SetPowerDown", Set, "Get params Failed."},
        {"GetPowerDown", Get, "Get params Failed."},
    };
    for (const Disconnected& c : cases) {
        SCOPED_TRACE(c.name);
        TestFeedback fresh;
        EXPECT_EQ(c.handler(fresh, nullptr).outcome, Outcome::TransactionFailed);
        EXPECT_EQ(fresh.log, Log{c.line});
    }
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

// A reader whose answer is too short to carry what the handler needs.
struct Failure {
    const char* name;
    Handler handler;
    uint8_t command;
    FaultKind kind;
    int arg;
    const char* line;
    std::vector<uint8_t> sent;  // command codes that reached the reader
};

void PrintTo(const Failure& c, std::ostream* os) { *os << c.name; }

class HousekeepingFailure : public ReaderTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(HousekeepingFailure, LogsTheFailureAndSendsNoMore) {
    const Failure& c = GetParam();
    reader.SetRecords({}, 300);
    reader.SetParams({0x01, 0x02, 0x03, 20});
    Connect();
    reader.AddFault({c.command, c.kind, c.arg});
    EXPECT_EQ(c.handler(ui, port).outcome, Outcome::TransactionFailed);
    EXPECT_EQ(ui.log, Log{c.line});
    std::vector<uint8_t> sent;
    for (const auto& frame : reader.Snapshot().received) sent.push_back(frame[3]);
    EXPECT_EQ(sent, c.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HousekeepingFailure,
    ::testing::Values(
        Failure{"GetCntNoCount", GetCnt, CMD_GET_RECORD_COUNT, FaultKind::Empty, 0,
                "Get records cnt failed.", {CMD_GET_RECORD_COUNT}},
        Failure{"SetGetParamsNoBlock", Set, CMD_GET_PARAMS, FaultKind::Empty, 0,
                "Get params Failed.", {CMD_GET_PARAMS}},
        Failure{"SetNoStatus", Set, CMD_SET_PARAMS, FaultKind::Empty, 0,
                "Set Power down time Failed.", {CMD_GET_PARAMS, CMD_SET_PARAMS}},
        Failure{"GetNoBlock", Get, CMD_GET_PARAMS, FaultKind::Empty, 0,
                "Get params Failed.", {CMD_GET_PARAMS}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
