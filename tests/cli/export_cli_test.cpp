// export as a separate process against kavrin-sim: the CSV file byte for
// byte, its path on standard output; --delete clearing only a reader whose
// records are all safely in the file; an interrupt keeping what was fetched.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <regex>
#include <thread>

#include "ops/tag_record.h"
#include "processes.h"
#include "sim/virtual_reader.h"
#include "text_helpers.h"

namespace fs = std::filesystem;

namespace {

// What the file must hold for the records kavrin-sim generates, written
// here from the decoded numbers with the C library's own formatting.
std::string ExpectedCsv(size_t count) {
    std::string csv = "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n";
    int row = 0;
    for (const TagBytes& bytes : GenerateRecords(count)) {
        const DecodedTag tag = DecodeTagRecord(bytes);
        const bool hdx = tag.type == TagType::Hdx;
        char line[96];
        std::snprintf(line, sizeof line, hdx ? "%d,HDX,%03u,%010llu," : "%d,FDXB,%03u,%012llu,", ++row,
                      tag.id.country, static_cast<unsigned long long>(tag.id.national));
        csv += line;
        const time_t seconds = tag.seconds;
        struct tm local;
        if (localtime_r(&seconds, &local)) {
            std::strftime(line, sizeof line, "%Y-%m-%d %H:%M:%S", &local);
            csv += line;
        }
        csv += "\r\n";
    }
    return csv;
}

class ExportCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Started());
        folder = fs::path(::testing::TempDir()) / ("kavrin-export-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<fs::path> Files() {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
        return files;
    }

    SimProcess sim{{"--records", "25"}};
    fs::path folder;
};

const std::string kDeleteFrame = "0A FF 02 42 B3";

TEST_F(ExportCliTest, WritesTheDatedCsvIntoTheFolderAndPrintsItsPath) {
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(run.out, files[0].string() + "\n");
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(\d{8}_\d{4}\.csv)")));
    EXPECT_EQ(ReadFile(files[0].string()), ExpectedCsv(25));
    EXPECT_TRUE(std::regex_search(
        run.err, std::regex("Data has been saved!\nkavrin-cli: record book: download \\d+, 25 records, \\d+ new\n$")))
        << run.err;
}

TEST_F(ExportCliTest, OnATerminalABarCountsTheRecordsAndAPipeGetsNone) {
    CliOptions terminal;
    terminal.errOnTerminal = true;
    CliRun watched = RunCli({"-p", sim.Port(), "export", "-o", folder.string()}, terminal);
    EXPECT_EQ(watched.exitCode, 0) << watched.err;
    EXPECT_TRUE(Contains(watched.err, "25/25 records")) << watched.err;

    CliRun piped = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_FALSE(Contains(piped.err, "\r")) << "no bar on a pipe";
}

TEST_F(ExportCliTest, WithoutAFolderTheFileLandsInTheWorkingDirectory) {
    CliOptions inFolder;
    inFolder.workingDirectory = folder.string();
    CliRun run = RunCli({"-p", sim.Port(), "export"}, inFolder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(run.out, files[0].filename().string() + "\n");
}

TEST_F(ExportCliTest, AnEmptyReaderIsNoFailureAndWritesNoFile) {
    sim.Command("records 0");
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.ends_with("Records cnt is 0.\n")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(ExportCliTest, AFolderThatDoesNotExistExitsTwoBeforeAnythingIsSent) {
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", (folder / "missing").string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(Contains(run.err, "no such folder")) << run.err;
    EXPECT_EQ(sim.State("received"), "0");
}

TEST_F(ExportCliTest, AFailingCountExitsOneAfterTheOperationsOwnLine) {
    sim.Command("fault GET_RECORD_COUNT:wrong-header");
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.ends_with("Get records cnt failed.\n")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(ExportCliTest, BlocksThatKeepFailingExitOneAndNameThePartialFile) {
    sim.Command("fault GET_RECORDS:wrong-header:0:1");  // the first block gets through
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "") << "no path where a script expects a complete file";
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(Contains(run.err, "are in " + files[0].string())) << run.err;
    std::string expected = ExpectedCsv(25);
    size_t tenRows = 0;
    for (int lines = 0; lines < 11; ++lines) tenRows = expected.find('\n', tenRows) + 1;
    EXPECT_EQ(ReadFile(files[0].string()), expected.substr(0, tenRows));
}

TEST_F(ExportCliTest, DeleteClearsTheReaderOnlyAfterTheLastBlockAndAFreshCount) {
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string(), "--delete"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(ReadFile(files[0].string()), ExpectedCsv(25));
    // The reader is given its moment after the delete before the count that confirms it.
    EXPECT_TRUE(run.err.ends_with("Please wait...\nAll records has been Deleted.\nGet records cnt success.\nkavrin-cli: 25 records saved in " +
                                  files[0].string() + " and deleted from the reader\n"))
        << run.err;
    EXPECT_EQ(sim.State("records"), "0");

    std::vector<std::string> frames = sim.Command("received");
    ASSERT_EQ(std::count(frames.begin(), frames.end(), kDeleteFrame), 1);
    auto remove = std::find(frames.begin(), frames.end(), kDeleteFrame);
    auto lastBlock = std::find_if(frames.rbegin(), frames.rend(), [](const std::string& f) {
        return f.starts_with("0A FF 07 41");
    });
    ASSERT_NE(lastBlock, frames.rend());
    EXPECT_LT(lastBlock.base() - frames.begin(), remove - frames.begin());
    EXPECT_EQ(*(remove - 1), "0A FF 02 40 B5") << "a fresh count right before the delete";
    EXPECT_EQ(*(remove + 1), "0A FF 02 40 B5") << "and one after it";
    // Every block read twice, in order, before the delete.
    const std::vector<std::string> blocks = {"0A FF 07 41 00 00 00 00 0A A5", "0A FF 07 41 00 00 00 0A 0A 9B",
                                             "0A FF 07 41 00 00 00 14 0A 91"};
    std::vector<std::string> beforeDelete;
    std::copy_if(frames.begin(), remove, std::back_inserter(beforeDelete),
                 [](const std::string& f) { return f.starts_with("0A FF 07 41"); });
    std::vector<std::string> twice = blocks;
    twice.insert(twice.end(), blocks.begin(), blocks.end());
    EXPECT_EQ(beforeDelete, twice);
}

TEST_F(ExportCliTest, ABitFlippedOnTheLineIsCaughtByTheSecondReadingAndNothingIsDeleted) {
    sim.Command("fault GET_RECORDS:flip-bit:17");
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string(), "--delete"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_TRUE(Contains(run.err, "not deleting the reader's records: row 18 differs in a second reading of the "
                                  "reader: run the export again"))
        << run.err;
    std::vector<std::string> frames = sim.Command("received");
    EXPECT_EQ(std::count(frames.begin(), frames.end(), kDeleteFrame), 0);
    EXPECT_EQ(sim.State("records"), "25");
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(ReadFile(files[0].string()), ExpectedCsv(25)) << "the flipped bit reached the file";
}

TEST_F(ExportCliTest, APartialFileIsOnTheDiskBeforeTheMessageSaysSo) {
    sim.Command("fault GET_RECORDS:wrong-header:0:1");  // only the first block gets through
    fs::path trace = folder / "trace";
    CliOptions traced;
    traced.runner = {"strace", "-f", "-y", "-s", "128", "-e", "trace=fsync,write", "-o", trace.string()};
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()}, traced);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    std::string calls = ReadFile(trace.string());
    size_t synced = calls.find(".csv>)");
    size_t told = calls.find("Only 10 of 25 records have been saved!");
    ASSERT_NE(told, std::string::npos) << calls;
    EXPECT_LT(synced, told) << calls;
    EXPECT_LT(calls.find("fsync(", synced), told) << "and its folder: " << calls;
}

TEST(ExportDeleteTest, AReaderThatCouldStillHoldUnsavedRecordsIsNeverCleared) {
    struct Case {
        const char* name;
        std::vector<std::string> reader;
        const char* reason;
    };
    const Case cases[] = {
        {"stops answering at record 10", {"--fault", "GET_RECORDS:wrong-header:0:1"},
         "the export did not save every record (10 rows of the 25 counted)"},
        {"counts more than it holds", {"--count", "30"},
         "the export did not save every record (25 rows of the 30 counted)"},
        {"stores a tag after the export", {"--fault", "GET_RECORD_COUNT:store:2:1:1"},
         "the reader now counts 27 records, not the 25 exported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> args{"--records", "25"};
        args.insert(args.end(), c.reader.begin(), c.reader.end());
        SimProcess reader(args);
        ASSERT_TRUE(reader.Started());
        fs::path folder = fs::path(::testing::TempDir()) / ("kavrin-refuse-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);

        CliRun run = RunCli({"-p", reader.Port(), "export", "-o", folder.string(), "--delete"});
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_TRUE(Contains(run.err, std::string("not deleting the reader's records: ") + c.reason)) << run.err;
        std::vector<std::string> frames = reader.Command("received");
        EXPECT_EQ(std::count(frames.begin(), frames.end(), kDeleteFrame), 0);
        EXPECT_NE(reader.State("records"), "0");
        fs::remove_all(folder);
    }
}

class ExportInterruptTest : public ::testing::TestWithParam<int> {};

TEST_P(ExportInterruptTest, KeepsEveryRowFetchedSaysSoDeletesNothingAndEndsByTheSignal) {
    const int signal = GetParam();
    SimProcess reader({"--records", "3000", "--baud", "115200"});
    ASSERT_TRUE(reader.Started());
    fs::path folder = fs::path(::testing::TempDir()) / ("kavrin-interrupt-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    CliOptions options;
    // Well into the export: the connect, the count and a few blocks.
    options.whileRunning = [&reader, signal](pid_t pid) {
        if (reader.WaitForState("received", 8)) kill(pid, signal);
    };

    CliRun run = RunCli({"-p", reader.Port(), "export", "-o", folder.string(), "--delete"}, options);
    EXPECT_EQ(run.signal, signal) << "a shell loop must see the signal: " << run.err;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    long rows = WholeRows(ReadFile(files[0].string()));
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 3000);
    EXPECT_TRUE(Contains(run.err, "Only " + std::to_string(rows) + " of 3000 records have been saved!\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, files[0].string())) << run.err;
    EXPECT_EQ(run.out, "") << "no path where a script expects a complete file";
    std::vector<std::string> frames = reader.Command("received");
    EXPECT_EQ(std::count(frames.begin(), frames.end(), kDeleteFrame), 0);
    EXPECT_EQ(reader.State("records"), "3000");
    fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Signals, ExportInterruptTest, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return info.param == SIGINT ? "Sigint" : "Sigterm"; });

TEST_F(ExportCliTest, TwoExportsStartedTogetherIntoOneFolderWriteTwoCompleteFiles) {
    SimProcess other({"--records", "25"});
    ASSERT_TRUE(other.Started());
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        fs::remove_all(folder);
        fs::create_directories(folder);
        CliRun first, second;
        std::thread racing([&] { second = RunCli({"-p", other.Port(), "export", "-o", folder.string()}); });
        first = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
        racing.join();
        EXPECT_EQ(first.exitCode, 0) << first.err;
        EXPECT_EQ(second.exitCode, 0) << second.err;
        EXPECT_NE(first.out, second.out);
        std::vector<fs::path> files = Files();
        ASSERT_EQ(files.size(), 2u);
        for (const fs::path& file : files) EXPECT_EQ(ReadFile(file.string()), ExpectedCsv(25));
    }
}

}  // namespace
