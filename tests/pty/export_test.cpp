// "Get Data" against the virtual reader, into real files.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "link/protocol.h"
#include "ops/clock.h"
#include "ops/export.h"
#include "ops/csv_writer.h"
#include "ops/tag_record.h"
#include "pty/child_process.h"
#include "pty/expected_csv.h"
#include "pty/reader_fixture.h"
#include "unit/temp_dir.h"

namespace {

using Strings = std::vector<std::string>;
using Starts = std::vector<uint32_t>;

const TagBytes kFdxbExample = {0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00};
const TagBytes kHdxExample = {0x01, 0x00, 0x00, 0xF5, 0x80, 0x07, 0x5B, 0xCD, 0x15, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00};
const char* const kName = "20210919_0544.csv";

class ExportTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        if (const char* tz = std::getenv("TZ")) savedTz = tz;
        setenv("TZ", "UTC0", 1);
        tzset();
        savedNow = SystemClock().now;
        SystemClock().now = [] { return LocalTime{2021, 9, 19, 5, 44, 59}; };
        Connect();
    }

    void TearDown() override {
        SystemClock().now = savedNow;
        if (savedTz)
            setenv("TZ", savedTz->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        ReaderTest::TearDown();
    }

    // The start index of every block request the reader received, in order.
    Starts BlockStarts() const {
        Starts starts;
        for (const auto& frame : reader.Snapshot().received)
            if (frame[3] == CMD_GET_RECORDS) starts.push_back(GetBigEndian32(&frame[4]));
        return starts;
    }

    Strings Files() const {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Csv(const char* name = kName) const { return ReadBytes(dir.path() / name); }

    ExportResult Export() { return ExportCsv(ui, port, dir.path()); }

    TempDir dir;
    std::optional<std::string> savedTz;
    std::function<LocalTime()> savedNow;
};

TEST_F(ExportTest, TwentyFiveRecordsComeInThreeBlocks) {
    std::vector<TagBytes> records = GenerateRecords(25);
    records.front() = kFdxbExample;
    records.back() = kHdxExample;
    reader.SetRecords(records);
    const ExportResult result = Export();

    EXPECT_EQ(BlockStarts(), (Starts{0, 10, 20}));
    EXPECT_EQ(reader.Snapshot().received.front(), BuildRequest(CMD_GET_RECORD_COUNT));
    EXPECT_EQ(result.total, 25);
    EXPECT_EQ(result.rows, 25);
    EXPECT_EQ(ui.recordProgress, (std::vector<std::pair<long long, long long>>{{10, 25}, {20, 25}, {25, 25}}));
    EXPECT_EQ(Files(), Strings{kName});
    const std::string csv = Csv();
    EXPECT_EQ(csv, ExpectedCsv(records, 25));
    EXPECT_TRUE(csv.starts_with("INDEX,TYPE,COUNTRY ID,TID,TIME\r\n1,FDXB,982,123456789012,2020-09-13 12:26:40\r\n"));
    EXPECT_TRUE(csv.ends_with("\r\n25,HDX,982,0123456789,2020-09-13 12:26:40\r\n"));
    EXPECT_EQ(ui.messages, Strings{"Data has been saved!"});
    EXPECT_TRUE(ui.log.empty()) << "no log line for a good export";
}

TEST_F(ExportTest, ResultNamesTheFileAndCounts) {
    reader.SetRecords(GenerateRecords(13));
    ExportResult result = Export();
    EXPECT_EQ(result.outcome, Outcome::Ok);
    EXPECT_EQ(result.file, dir.path() / kName);
    EXPECT_EQ(result.rows, 13);
    EXPECT_EQ(result.total, 13);
}

// The count read first decides where the export stops, unless a block comes back empty first.
struct CountCase {
    const char* name;
    size_t stored;
    std::optional<uint32_t> reported;
    Starts starts;
    size_t rows;
};

TEST_F(ExportTest, TheCountOrAnEmptyBlockEndsTheExport) {
    const CountCase cases[] = {
        {"first block empty: header only", 0, 5, {0}, 0},
        {"negative count: one block only", 25, 0x80000000u + 25, {0}, 10},
        {"last block past the count is written whole", 25, 15, {0, 10}, 20},
        {"count above what is stored: empty block ends it", 25, 40, {0, 10, 20, 25}, 25},
    };
    for (const CountCase& c : cases) {
        std::vector<TagBytes> records = GenerateRecords(c.stored);
        reader.SetRecords(records, c.reported);
        reader.ClearReceived();
        ui.messages.clear();
        ExportResult result = Export();
        EXPECT_EQ(result.outcome, Outcome::Ok) << c.name;
        EXPECT_EQ(BlockStarts(), c.starts) << c.name;
        EXPECT_EQ(ReadBytes(result.file), ExpectedCsv(records, c.rows)) << c.name;
        EXPECT_EQ(ui.messages, Strings{"Data has been saved!"}) << c.name;
        EXPECT_TRUE(ui.log.empty()) << c.name;
        EXPECT_EQ(result.total, static_cast<int32_t>(c.reported.value_or(c.stored))) << c.name;
    }
}

TEST_F(ExportTest, NoCountNoFile) {
    reader.SetRecords({});
    ExportResult empty = Export();
    EXPECT_TRUE(empty.Ok());
    EXPECT_TRUE(empty.file.empty());
    EXPECT_EQ(ui.log, Strings{"Records cnt is 0."});

    ui.log.clear();
    reader.SetRecords(GenerateRecords(5));
    reader.AddFault({CMD_GET_RECORD_COUNT, FaultKind::Empty, 0, 0, 1});
    EXPECT_EQ(Export().outcome, Outcome::TransactionFailed) << "an answer without a count is no count of 0";
    EXPECT_EQ(ui.log, Strings{"Get records cnt failed."});

    ui.log.clear();
    ClosePort(port);
    EXPECT_EQ(Export().outcome, Outcome::TransactionFailed);
    EXPECT_EQ(ui.log, Strings{"Get records cnt failed."});

    EXPECT_TRUE(Files().empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(BlockStarts().empty());
}

TEST_F(ExportTest, SameMinuteNeverOverwrites) {
    std::vector<TagBytes> records = GenerateRecords(12);
    reader.SetRecords(records);
    Export();
    reader.SetRecords({kHdxExample});
    Export();
    Export();
    EXPECT_EQ(Files(), (Strings{kName, "20210919_0544_2.csv", "20210919_0544_3.csv"}));
    EXPECT_EQ(Csv(), ExpectedCsv(records, 12));
    EXPECT_EQ(Csv("20210919_0544_2.csv"), ExpectedCsv({kHdxExample}, 1));
    EXPECT_EQ(ui.messages, Strings(3, "Data has been saved!"));
}

// A block answer that arrives whole but cannot be used, from the second block on.
struct BlockFault {
    const char* name;
    FaultKind kind;
    int arg;
};

TEST_F(ExportTest, ABlockThatKeepsFailingStopsAfterThreeAttemptsAndKeepsTheRows) {
    const BlockFault faults[] = {
        {"no count byte", FaultKind::Empty, 0},
        {"claims one record more than it carries", FaultKind::CountByte, 11},
        {"claims more than fit in an answer", FaultKind::CountByte, 16},
        {"claims 255", FaultKind::CountByte, 255},
    };
    std::vector<TagBytes> records = GenerateRecords(25);
    reader.SetRecords(records);
    for (const BlockFault& f : faults) {
        reader.ClearFaults();
        reader.AddFault({CMD_GET_RECORDS, f.kind, f.arg, 1});
        reader.ClearReceived();
        ui.messages.clear();
        ui.log.clear();
        ExportResult result = Export();
        EXPECT_EQ(result.outcome, Outcome::TransactionFailed) << f.name;
        EXPECT_EQ(BlockStarts(), (Starts{0, 10, 10, 10})) << f.name;
        EXPECT_EQ(ReadBytes(result.file), ExpectedCsv(records, 10)) << f.name;
        EXPECT_EQ(ui.log, Strings{"Get records failed."}) << f.name;
        EXPECT_EQ(ui.messages, Strings{"Only 10 of 25 records have been saved!"}) << f.name;
    }
}

TEST_F(ExportTest, ASuccessfulBlockResetsTheFailedAttempts) {
    std::vector<TagBytes> records = GenerateRecords(25);
    reader.SetRecords(records);
    // Two failures at index 10, then two at index 20: five in all, never three in a row.
    reader.AddFault({CMD_GET_RECORDS, FaultKind::WrongHeader, 0, 1, 2});
    reader.AddFault({CMD_GET_RECORDS, FaultKind::WrongHeader, 0, 2, 2});
    ExportResult result = Export();
    EXPECT_EQ(BlockStarts(), (Starts{0, 10, 10, 10, 20, 20, 20}));
    EXPECT_EQ(result.outcome, Outcome::Ok);
    EXPECT_EQ(Csv(), ExpectedCsv(records, 25));
    EXPECT_EQ(ui.messages, Strings{"Data has been saved!"});
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(ExportTest, NegativeCountWhoseOnlyBlockFailsIsNotReportedAsSaved) {
    reader.SetRecords(GenerateRecords(25), 0xFFFFFFFFu);
    reader.AddFault({CMD_GET_RECORDS, FaultKind::WrongHeader});
    EXPECT_EQ(Export().outcome, Outcome::TransactionFailed);
    EXPECT_EQ(BlockStarts(), Starts{0});
    EXPECT_EQ(ui.log, Strings{"Get records failed."});
    EXPECT_EQ(ui.messages, Strings{"Only 0 of -1 records have been saved!"});
}

// Asks the export to stop once it has seen `blocks` blocks arrive.
class StoppingFeedback : public TestFeedback {
public:
    explicit StoppingFeedback(size_t blocks) : blocks_(blocks) {}
    bool StopRequested() override { return recordProgress.size() >= blocks_; }

private:
    size_t blocks_;
};

TEST_F(ExportTest, AStopKeepsTheRowsFetchedAndIsNeverReportedAsSaved) {
    const std::vector<TagBytes> records = GenerateRecords(25);
    reader.SetRecords(records);
    StoppingFeedback afterOneBlock(1);
    const ExportResult stopped = ExportCsv(afterOneBlock, port, dir.path());
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_EQ(stopped.rows, 10);
    EXPECT_EQ(ReadBytes(stopped.file), ExpectedCsv(records, 10));
    EXPECT_EQ(afterOneBlock.messages, Strings{"Only 10 of 25 records have been saved!"});
    EXPECT_EQ(BlockStarts(), Starts{0});

    // Stopped while the count was on its way: no file at all.
    reader.ClearReceived();
    StoppingFeedback atOnce(0);
    const ExportResult early = ExportCsv(atOnce, port, dir.path());
    EXPECT_EQ(early.outcome, Outcome::Stopped);
    EXPECT_TRUE(early.file.empty());
    EXPECT_EQ(atOnce.messages, Strings{"Only 0 of 25 records have been saved!"});
    EXPECT_TRUE(BlockStarts().empty());
    EXPECT_EQ(Files(), Strings{stopped.file.filename().string()});
}

TEST_F(ExportTest, FileThatCannotBeCreatedStopsBeforeAnyBlockRequest) {
    reader.SetRecords(GenerateRecords(25));
    std::ofstream(dir.path() / "plain-file") << "not a folder";
    const std::filesystem::path places[] = {dir.path() / "missing", dir.path() / "plain-file"};
    for (const std::filesystem::path& place : places) {
        reader.ClearReceived();
        ui.messages.clear();
        ExportResult result = ExportCsv(ui, port, place);
        EXPECT_EQ(result.outcome, Outcome::FileFailed) << place;
        EXPECT_TRUE(result.file.empty()) << place;
        EXPECT_EQ(ui.messages, Strings{"can not create file!"}) << place;
        EXPECT_TRUE(ui.log.empty()) << place;
        EXPECT_EQ(reader.Snapshot().received.size(), 1u) << "only the count: " << place;
    }
    EXPECT_EQ(Files(), Strings{"plain-file"});
}

TEST_F(ExportTest, FullDiskStopsTheExportAtTheFailedWrite) {
    std::vector<TagBytes> records = GenerateRecords(25);
    reader.SetRecords(records);
    // A child process whose files cannot grow past this size meets a full disk there.
    constexpr rlim_t kRoom = 200;
    std::optional<std::string> report = ReportFromChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{kRoom, kRoom};
        setrlimit(RLIMIT_FSIZE, &limit);
        ExportResult result = Export();
        std::string text = std::to_string(static_cast<int>(result.outcome)) + " " + std::to_string(result.rows);
        for (const std::string& message : ui.messages) text += "|" + message;
        return text;
    });
    ASSERT_TRUE(report);

    const std::string written = ExpectedCsv(records, 25).substr(0, kRoom);
    int wholeRows = -1;  // the header is not a row
    for (size_t at = 0; (at = written.find("\r\n", at)) != std::string::npos; at += 2) ++wholeRows;
    EXPECT_EQ(*report, std::to_string(static_cast<int>(Outcome::FileFailed)) + " " + std::to_string(wholeRows) +
                          "|can not write file!");
    EXPECT_EQ(Csv(), written) << "every byte that fitted stays";
    EXPECT_EQ(BlockStarts(), Starts{0}) << "nothing more is fetched after the failed write";
}

}  // namespace
