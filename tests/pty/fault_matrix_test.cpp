// Every step of every operation against every way a reader can fail.
//
// One case per (step, fault): the exact lines and messages the user gets, the
// outcome and status the press returns, that the press ends within the port time-outs without burning the processor, the
// state it leaves (port, image file, rows already saved), and that the same
// press works again once the reader behaves (a fresh reader when the old one
// vanished). A press runs the operations as a window's button does.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <tuple>

#include "link/protocol.h"
#include "ops/clock.h"
#include "ops/export.h"
#include "ops/housekeeping.h"
#include "ops/upgrade.h"
#include "pty/expected_csv.h"
#include "pty/reader_fixture.h"
#include "unit/temp_dir.h"

namespace {

using Log = std::vector<std::string>;

enum class Operation { Connect, GetCnt, GetData, DeleteAll, SyncTime, Set, Get, Upgrade };

const char* const kConfirm = "Are you sure download the file?";
const char* const kConfirmDelete = "Delete all records stored in the reader? This cannot be undone.";
constexpr size_t kStoredRecords = 25;
constexpr size_t kImageBytes = 8000;  // 63 blocks
constexpr size_t kImageBlocks = kImageBytes / kFirmwareBlockSize + 1;
constexpr int kPowerDownField = 10;  // what "Set" sends
constexpr uint8_t kReaderPowerDown = 20;
// Time a press may take beyond its port time-outs, on a loaded machine.
constexpr double kSlackSeconds = 3.2;
// Processor time a failing press may use: waiting costs none, spinning would
// cost as much as the wait.
constexpr double kMaxCpuSeconds = 1.0;

struct Step {
    const char* name;
    Operation operation;
    uint8_t command;    // the request that meets the fault
    int skip;           // requests of that command answered well first
    size_t before;      // requests of the press that precede it
    bool judgesStatus;  // a nonzero status byte fails this step
    int attempts;       // requests sent before the press gives up
    Log failedLog;
    Log failedMessages;
    // What the press returns when its request is answered with status 5:
    // Refused where the result looks at the status, Ok where nothing does.
    ::Outcome onStatus;
    int rowsKept = -1;           // Get Data: rows left in the file; -1: no file
    size_t blocksAcknowledged = 0;  // Upgrade: progress steps before the failure
};

struct Fault {
    const char* name;
    FaultKind kind;
    int arg;
    double minSeconds;  // per request that meets it: the time-out the port must wait out
    double maxSeconds;
};

const Step kSteps[] = {
    {"Connect", Operation::Connect, CMD_GET_VERSION, 0, 0, false, 1,
     {"CommPort open success!", "Connect reader failed!"}, {}, ::Outcome::Ok},
    {"GetCnt", Operation::GetCnt, CMD_GET_RECORD_COUNT, 0, 0, false, 1, {"Get records cnt failed."}, {}, ::Outcome::Refused},
    {"GetDataCount", Operation::GetData, CMD_GET_RECORD_COUNT, 0, 0, false, 1, {"Get records cnt failed."}, {}, ::Outcome::Ok},
    {"GetDataMiddleBlock", Operation::GetData, CMD_GET_RECORDS, 1, 2, false, 3, {"Get records failed."},
     {"Only 10 of 25 records have been saved!"}, ::Outcome::Ok, 10},
    {"DeleteAll", Operation::DeleteAll, CMD_DELETE_RECORDS, 0, 0, false, 1, {"Delete records failed."}, {kConfirmDelete}, ::Outcome::Refused},
    {"SyncTime", Operation::SyncTime, CMD_SET_TIME, 0, 0, false, 1, {"Sync time failed."}, {}, ::Outcome::Refused},
    {"SetGetParams", Operation::Set, CMD_GET_PARAMS, 0, 0, false, 1, {"Get params Failed."}, {}, ::Outcome::Ok},
    {"SetSetParams", Operation::Set, CMD_SET_PARAMS, 0, 1, true, 1, {"Set Power down time Failed."}, {}, ::Outcome::Refused},
    {"Get", Operation::Get, CMD_GET_PARAMS, 0, 0, false, 1, {"Get params Failed."}, {}, ::Outcome::Refused},
    {"UpgradeErase", Operation::Upgrade, CMD_ERASE, 0, 0, true, 1, {"Earse Failed!"}, {kConfirm}, ::Outcome::Refused},
    {"UpgradeStart", Operation::Upgrade, CMD_UPGRADE_START, 0, 1, true, 1, {"Upgrade start failed!"}, {kConfirm}, ::Outcome::Refused},
    {"UpgradeMiddleBlock", Operation::Upgrade, CMD_UPGRADE_DATA, 30, 32, true, 1,
     {"Please wait.......", "Upgrade Failed!"}, {kConfirm}, ::Outcome::Refused, -1, 30},
    {"UpgradeEnd", Operation::Upgrade, CMD_UPGRADE_END, 0, 2 + kImageBlocks, true, 1,
     {"Please wait.......", "Upgrade Failed2!"}, {kConfirm}, ::Outcome::Refused, -1, kImageBlocks},
};

const Fault kFaults[] = {
    {"NoAnswer", FaultKind::Silent, 0, 2.75, 2.8},  // 3 x 800 + 400 ms for the header
    {"WrongHeader", FaultKind::WrongHeader, 0, 0, 0},
    // The body read ends 800 ms after its last byte, or after 800 x L + 400 ms
    // when none of it comes (L = 1: 1.2 s).
    {"ShortBody", FaultKind::ShortBody, 0, 0.75, 1.2},
    {"NonzeroStatus", FaultKind::Status, 5, 0, 0},
    {"Garbage", FaultKind::Garbage, 0, 0, 0},
    {"Vanishes", FaultKind::Hangup, 0, 0, 0},
};

void PrintTo(const Step& step, std::ostream* os) { *os << step.name; }
void PrintTo(const Fault& fault, std::ostream* os) { *os << fault.name; }

struct Lines {
    Log log;
    Log messages;
};

Lines Succeeded(Operation operation) {
    switch (operation) {
    case Operation::Connect: return {{"CommPort open success!", "Reader firmvare version:2.10"}, {}};
    case Operation::GetCnt: return {{"Get records cnt success."}, {}};
    case Operation::GetData: return {{}, {"Data has been saved!"}};
    case Operation::DeleteAll: return {{"Please wait...", "All records has been Deleted."}, {kConfirmDelete}};
    case Operation::SyncTime: return {{"Sync time success."}, {}};
    case Operation::Set: return {{"Set Power down time Ok."}, {}};
    case Operation::Get: return {{"Get params OK."}, {}};
    case Operation::Upgrade: return {{"Please wait.......", "Upgrade Finished"}, {kConfirm}};
    }
    return {};
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::vector<uint8_t> TestImage() {
    std::vector<uint8_t> image(kImageBytes);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return image;
}

class FaultMatrix : public ReaderTest, public ::testing::WithParamInterface<std::tuple<Step, Fault>> {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        Configure(reader);
        if (step().operation == Operation::Upgrade) {
            const std::filesystem::path path = dir.path() / "firmware.bin";
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
            opened = OpenFirmwareImage(ui, path.string()).image;
            ASSERT_TRUE(opened.IsOpen());
        }
        if (step().operation != Operation::Connect) Connect();
    }

    const Step& step() const { return std::get<0>(GetParam()); }
    const Fault& fault() const { return std::get<1>(GetParam()); }

    void Configure(VirtualReader& r) {
        r.SetRecords(records);
        r.SetParams({0x01, 0x02, 0x03, kReaderPowerDown});
        r.SetVersion(2, 10);
    }

    // The reader the program talks to now.
    VirtualReader& Live() { return spare ? *spare : reader; }

    // The press's result: its outcome, and the status the reader refused
    // with (for a connection, the status of its version answer).
    OpResult Press() {
        ui.log.clear();
        ui.messages.clear();
        ui.imageProgress.clear();
        Live().ClearReceived();
        switch (step().operation) {
        case Operation::Connect: {
            ConnectResult connection = ConnectReader(ui, Live().PortPath(), port);
            return {connection.outcome, connection.versionStatus};
        }
        case Operation::GetCnt: return lastCount = CountRecords(ui, port);
        case Operation::GetData: return lastExport = ExportCsv(ui, port, dir.path());
        case Operation::DeleteAll: {
            const DeleteResult sent = DeleteAllRecords(ui, port, ConfirmDelete(ui));
            if (sent.sent) AwaitDeletion(ui);
            return sent;
        }
        case Operation::SyncTime: return SyncClock(ui, port, LocalTime{2021, 9, 19, 5, 44, 59});
        case Operation::Set: return SetPowerDown(ui, port, kPowerDownField);
        case Operation::Get: return lastMinutes = GetPowerDown(ui, port);
        case Operation::Upgrade: return UpgradeFirmware(ui, port, opened, ConfirmUpgrade(ui));
        }
        return {};
    }

    void ExpectLeftAfterFailure() {
        if (step().operation == Operation::Connect) {
            EXPECT_EQ(port, nullptr);
            if (fault().kind != FaultKind::Hangup) {
                PortHandle other = nullptr;
                EXPECT_EQ(OpenCommPort(other, reader.PortPath()), 0) << "the port is released";
                ClosePort(other);
            }
        } else {
            // A failure never touches the connection, not even when the reader is gone.
            EXPECT_NE(port, nullptr);
        }
        if (step().operation == Operation::GetData) {
            if (step().rowsKept < 0) {
                EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "no file";
            } else {
                EXPECT_EQ(ReadBytes(lastExport.file), ExpectedCsv(records, step().rowsKept)) << "rows kept";
            }
        }
        if (step().operation == Operation::Upgrade) {
            EXPECT_TRUE(opened.IsOpen());
            EXPECT_EQ(ui.imageProgress.size(), step().blocksAcknowledged);
        }
    }

    // The reader behaves again; when it vanished, the user disconnects and
    // connects to a fresh one.
    void Recover() {
        if (fault().kind != FaultKind::Hangup) {
            reader.ClearFaults();
            return;
        }
        DisconnectReader(port);
        spare = std::make_unique<VirtualReader>();
        Configure(*spare);
        std::string error;
        ASSERT_TRUE(spare->Start(&error)) << error;
        if (step().operation != Operation::Connect) {
            ASSERT_TRUE(ConnectReader(ui, spare->PortPath(), port).connected);
        }
    }

    void ExpectSucceeded() {
        const Operation operation = step().operation;
        const Lines lines = Succeeded(operation);
        EXPECT_EQ(ui.log, lines.log);
        EXPECT_EQ(ui.messages, lines.messages);
        const ReaderSnapshot s = Live().Snapshot();
        switch (operation) {
        case Operation::Connect: EXPECT_NE(port, nullptr); break;
        case Operation::GetCnt: EXPECT_EQ(lastCount.count, kStoredRecords); break;
        case Operation::GetData:
            EXPECT_TRUE(lastExport.Ok());
            EXPECT_EQ(ReadBytes(lastExport.file), ExpectedCsv(records, kStoredRecords));
            break;
        case Operation::DeleteAll: EXPECT_TRUE(s.records.empty()); break;
        case Operation::SyncTime: EXPECT_TRUE(s.clockSet); break;
        case Operation::Set: EXPECT_EQ(s.params, (std::array<uint8_t, 4>{0x01, 0x02, 0x03, kPowerDownField})); break;
        case Operation::Get: EXPECT_EQ(lastMinutes.minutes, kReaderPowerDown); break;
        case Operation::Upgrade:
            EXPECT_TRUE(s.firmware.finished);
            ASSERT_EQ(s.firmware.received.size(), kImageBlocks * kFirmwareBlockSize);
            EXPECT_TRUE(std::equal(image.begin(), image.end(), s.firmware.received.begin()));
            EXPECT_FALSE(opened.IsOpen()) << "a finished upgrade closes the image";
            break;
        }
    }

    TempDir dir;
    const std::vector<TagBytes> records = GenerateRecords(kStoredRecords);
    const std::vector<uint8_t> image = TestImage();
    FirmwareFile opened;
    ExportResult lastExport;
    CountResult lastCount;
    PowerDownResult lastMinutes;
    std::unique_ptr<VirtualReader> spare;
};

TEST_P(FaultMatrix, ReportsEndsInTimeLeavesItsStateAndTheNextPressWorks) {
    const Step& s = step();
    const Fault& f = fault();
    reader.AddFault({s.command, f.kind, f.arg, s.skip});

    const double cpuBefore = ThreadCpuSeconds();
    OpResult result;
    const double seconds = SecondsFor([&] { result = Press(); });
    const double cpu = ThreadCpuSeconds() - cpuBefore;

    if (f.kind == FaultKind::Status) {
        EXPECT_EQ(result.outcome, s.onStatus);
        // Every press that reads the answer keeps the status it refused with.
        EXPECT_EQ(result.status, s.onStatus == ::Outcome::Refused || s.operation == Operation::Connect ? f.arg : 0);
    } else {
        EXPECT_EQ(result.outcome, ::Outcome::TransactionFailed);
        EXPECT_EQ(result.status, 0);
    }
    if (f.kind == FaultKind::Status && !s.judgesStatus) {
        ExpectSucceeded();  // this step does not look at the status byte
        return;
    }
    EXPECT_EQ(ui.log, s.failedLog);
    EXPECT_EQ(ui.messages, s.failedMessages);

    // Once the reader is gone the retries fail at once: only one request waits.
    const int waits = f.kind == FaultKind::Hangup ? 1 : s.attempts;
    EXPECT_GE(seconds, waits * f.minSeconds);
    EXPECT_LT(seconds, waits * f.maxSeconds + kSlackSeconds);
    EXPECT_LT(cpu, kMaxCpuSeconds) << "no busy waiting on the port";

    // Nothing is sent after the failing step; a repeated attempt repeats its request.
    const ReaderSnapshot snapshot = reader.Snapshot();
    ASSERT_EQ(snapshot.received.size(), s.before + waits);
    EXPECT_EQ(snapshot.received[s.before][3], s.command);
    for (size_t i = s.before + 1; i < snapshot.received.size(); ++i)
        EXPECT_EQ(snapshot.received[i], snapshot.received[s.before]);

    ExpectLeftAfterFailure();
    Recover();
    const OpResult again = Press();
    EXPECT_EQ(again.outcome, ::Outcome::Ok);
    EXPECT_EQ(again.status, 0);
    ExpectSucceeded();
}

INSTANTIATE_TEST_SUITE_P(Steps, FaultMatrix, ::testing::Combine(::testing::ValuesIn(kSteps), ::testing::ValuesIn(kFaults)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
