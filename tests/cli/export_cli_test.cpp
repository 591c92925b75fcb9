// export as a separate process against kavrin-sim: the CSV file byte for
// byte, its path on standard output.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "ops/tag_record.h"
#include "processes.h"
#include "sim/virtual_reader.h"
#include "text_helpers.h"

namespace fs = std::filesystem;

namespace {

// What the file must hold for the records kavrin-sim generates.
std::string ExpectedCsv(size_t count) {
    std::string csv = "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n";
    int row = 0;
    for (const TagBytes& bytes : GenerateRecords(count)) {
        DecodedTag tag = DecodeTagRecord(bytes);
        csv += std::to_string(++row) + "," + tag.type + "," + tag.country + "," + tag.identity + "," + tag.time + "\r\n";
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

TEST_F(ExportCliTest, WritesTheDatedCsvIntoTheFolderAndPrintsItsPath) {
    CliRun run = RunCli({"-p", sim.Port(), "export", "-o", folder.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<fs::path> files = Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(run.out, files[0].string() + "\n");
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(\d{8}_\d{4}\.csv)")));
    EXPECT_EQ(ReadFile(files[0].string()), ExpectedCsv(25));
    EXPECT_TRUE(run.err.ends_with("Data has been saved!\n")) << run.err;
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

}  // namespace
