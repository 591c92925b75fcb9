// Record count, delete, clock and power-down time against the virtual reader.
#include <gtest/gtest.h>

#include <climits>

#include "ops/clock.h"
#include "ops/housekeeping.h"
#include "pty/reader_fixture.h"

namespace {

using Log = std::vector<std::string>;
using Frames = std::vector<std::vector<uint8_t>>;
using Handler = void (*)(Feedback&);

const std::string kRangeMessage = "Please enter an integer between 1 and 60.";

// Puts the process clock back after a test replaced it.
struct ClockGuard {
    Clock saved = SystemClock();
    ~ClockGuard() { SystemClock() = saved; }
};

// Log lines and shown messages in one sequence, to check their order.
class SequenceFeedback : public TestFeedback {
public:
    void AppendLog(const std::string& text) override {
        TestFeedback::AppendLog(text);
        events.push_back("log: " + text);
    }
    bool PullFields() override {
        size_t before = messages.size();
        bool valid = TestFeedback::PullFields();
        for (size_t i = before; i < messages.size(); ++i) events.push_back("message: " + messages[i]);
        return valid;
    }
    std::vector<std::string> events;
};

TEST_F(ReaderTest, SyncTimeSendsTheLocalTimeAndTheReaderKeepsIt) {
    ClockGuard guard;
    SystemClock().now = [] { return LocalTime{2021, 9, 19, 5, 44, 59}; };
    Connect();
    EXPECT_EQ(OnBnClickedSyncTime(ui).outcome, Outcome::Ok);
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
        ui.windowPowerDown = minutes;
        EXPECT_EQ(OnBnClickedSetPowerDown(ui).outcome, Outcome::Ok);
        EXPECT_EQ(ui.log, (Log{"Set Power down time Ok."}));
        EXPECT_TRUE(ui.messages.empty());
        const uint8_t block[] = {0x11, 0x22, 0x33, static_cast<uint8_t>(minutes)};
        ReaderSnapshot s = reader.Snapshot();
        EXPECT_EQ(s.received, (Frames{BuildRequest(CMD_GET_PARAMS), BuildRequest(CMD_SET_PARAMS, block)}));
        EXPECT_EQ(s.params, (std::array<uint8_t, 4>{0x11, 0x22, 0x33, static_cast<uint8_t>(minutes)}));
    }
}

TEST_F(ReaderTest, SetPowerDownOutOfRangeShowsTheRangeMessageThenRefuses) {
    Connect();
    for (int minutes : {0, 61}) {
        SCOPED_TRACE(minutes);
        SequenceFeedback typed;
        typed.windowPowerDown = minutes;
        EXPECT_EQ(OnBnClickedSetPowerDown(typed).outcome, Outcome::BadField);
        EXPECT_EQ(typed.events, (Log{"message: " + kRangeMessage, "log: Params error."}));
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
        int pushes = ui.pushes;
        PowerDownResult read = OnBnClickedGetPowerDown(ui);
        EXPECT_EQ(read.outcome, Outcome::Ok);
        EXPECT_EQ(read.minutes, int{minutes});
        EXPECT_EQ(ui.m_nPowerDownMin, int{minutes});
        EXPECT_EQ(ui.pushes, pushes + 1);
        EXPECT_EQ(OnBnClickedSetPowerDown(ui).outcome, Outcome::BadField);  // the field was not edited
        EXPECT_EQ(ui.log, (Log{"Get params OK.", "Params error."}));
        EXPECT_EQ(reader.Snapshot().received, (Frames{BuildRequest(CMD_GET_PARAMS)}));
    }
}

TEST_F(ReaderTest, GetCntShowsTheCountAsASignedInt) {
    Connect();
    const std::pair<uint32_t, int> cases[] = {{300, 300}, {0x80000000u, INT_MIN}, {0xFFFFFFFFu, -1}};
    for (auto [reported, shown] : cases) {
        SCOPED_TRACE(reported);
        reader.SetRecords({}, reported);
        ui.log.clear();
        int pushes = ui.pushes;
        CountResult result = OnBnClickedGetCnt(ui);
        EXPECT_EQ(result.outcome, Outcome::Ok);
        EXPECT_EQ(result.count, reported);
        EXPECT_EQ(ui.log, (Log{"Get records cnt success."}));
        EXPECT_EQ(ui.m_nRecordCount, shown);
        EXPECT_EQ(ui.pushes, pushes + 1);
    }
}

TEST_F(ReaderTest, DeleteAllAsksFirstThenEmptiesTheReaderBehindAWaitCursorAndLeavesTheCount) {
    ClockGuard guard;
    std::vector<unsigned> sleeps;
    Log logAtSleep;
    std::vector<bool> cursorAtSleep;
    SystemClock().sleep = [&](unsigned ms) {
        sleeps.push_back(ms);
        logAtSleep = ui.log;
        cursorAtSleep = ui.waitCursor;
    };
    reader.SetRecords(GenerateRecords(25));
    Connect();
    OnBnClickedGetCnt(ui);
    ASSERT_EQ(ui.m_nRecordCount, 25);
    ui.log.clear();
    reader.ClearReceived();
    int pushes = ui.pushes;

    ui.answers = {false, true};
    EXPECT_EQ(OnBnClickedDeleteAll(ui).outcome, Outcome::Declined);
    EXPECT_EQ(ui.messages, Log{"Delete all records stored in the reader? This cannot be undone."});
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(reader.Snapshot().received.empty());
    EXPECT_EQ(reader.Snapshot().records.size(), 25u);

    EXPECT_EQ(OnBnClickedDeleteAll(ui).outcome, Outcome::Ok);
    EXPECT_EQ(ui.messages.at(1), ui.messages.at(0));
    EXPECT_EQ(ui.log, (Log{"Please wait...", "All records has been Deleted."}));
    EXPECT_EQ(sleeps, std::vector<unsigned>{200});
    EXPECT_EQ(logAtSleep, Log{"Please wait..."});
    EXPECT_EQ(cursorAtSleep, std::vector<bool>{true});
    EXPECT_EQ(ui.waitCursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(ui.pulls, 1);
    EXPECT_EQ(ui.m_nRecordCount, 25);
    EXPECT_EQ(ui.pushes, pushes);
    ReaderSnapshot s = reader.Snapshot();
    EXPECT_EQ(s.received, (Frames{{0x0A, 0xFF, 0x02, 0x42, 0xB3}}));
    EXPECT_TRUE(s.records.empty());
}

struct Disconnected {
    const char* name;
    Handler handler;
    const char* line;
    int pushes;  // "Get" shows the field even when it could not read it
};

TEST_F(ReaderTest, EveryHandlerLogsItsFailureWhileDisconnected) {
    const Disconnected cases[] = {
        {"GetCnt", Press<OnBnClickedGetCnt>, "Get records cnt failed.", 0},
        {"DeleteAll", Press<OnBnClickedDeleteAll>, "Delete records failed.", 0},
        {"SyncTime", Press<OnBnClickedSyncTime>, "Sync time failed.", 0},
        {"SetPowerDown", Press<OnBnClickedSetPowerDown>, "Get params Failed.", 0},
        {"GetPowerDown", Press<OnBnClickedGetPowerDown>, "Get params Failed.", 1},
    };
    for (const Disconnected& c : cases) {
        SCOPED_TRACE(c.name);
        TestFeedback fresh;
        fresh.m_nRecordCount = 7;
        fresh.windowPowerDown = 10;
        c.handler(fresh);
        EXPECT_EQ(fresh.log, Log{c.line});
        EXPECT_EQ(fresh.m_nRecordCount, 7);
        EXPECT_EQ(fresh.pushes, c.pushes);
        EXPECT_TRUE(fresh.waitCursor.empty());
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

TEST_P(HousekeepingFailure, LogsTheFailureAndLeavesTheFields) {
    const Failure& c = GetParam();
    reader.SetRecords({}, 300);
    reader.SetParams({0x01, 0x02, 0x03, 20});
    Connect();
    reader.AddFault({c.command, c.kind, c.arg});
    ui.m_nRecordCount = 7;
    ui.m_nPowerDownMin = 10;
    c.handler(ui);
    EXPECT_EQ(ui.log, Log{c.line});
    EXPECT_EQ(ui.m_nRecordCount, 7);
    EXPECT_EQ(ui.m_nPowerDownMin, 10);
    std::vector<uint8_t> sent;
    for (const auto& frame : reader.Snapshot().received) sent.push_back(frame[3]);
    EXPECT_EQ(sent, c.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, HousekeepingFailure,
    ::testing::Values(
        Failure{"GetCntNoCount", Press<OnBnClickedGetCnt>, CMD_GET_RECORD_COUNT, FaultKind::Empty, 0,
                "Get records cnt failed.", {CMD_GET_RECORD_COUNT}},
        Failure{"SetGetParamsNoBlock", Press<OnBnClickedSetPowerDown>, CMD_GET_PARAMS, FaultKind::Empty, 0,
                "Get params Failed.", {CMD_GET_PARAMS}},
        Failure{"SetNoStatus", Press<OnBnClickedSetPowerDown>, CMD_SET_PARAMS, FaultKind::Empty, 0,
                "Set Power down time Failed.", {CMD_GET_PARAMS, CMD_SET_PARAMS}},
        Failure{"GetNoBlock", Press<OnBnClickedGetPowerDown>, CMD_GET_PARAMS, FaultKind::Empty, 0,
                "Get params Failed.", {CMD_GET_PARAMS}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
