// The parse step on its own: each subcommand chosen with its options in its
// struct, and every check done there, so that a run function is only
// reached with good options.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "cli/command_line.h"
#include "ops/clock.h"

namespace {

// The command line parsed with CLI11's help and errors kept off the test's output.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    void TearDown() override { std::remove(file.c_str()); }

    CommandLine Parse(std::vector<std::string> args) {
        args.insert(args.begin(), "kavrin-cli");
        std::vector<const char*> argv;
        for (const std::string& arg : args) argv.push_back(arg.c_str());
        std::ostringstream out, err;
        std::streambuf* coutWas = std::cout.rdbuf(out.rdbuf());
        std::streambuf* cerrWas = std::cerr.rdbuf(err.rdbuf());
        CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        std::cout.rdbuf(coutWas);
        std::cerr.rdbuf(cerrWas);
        said = err.str();
        return line;
    }

    const std::string folder = ::testing::TempDir();
    // Each test its own file: ctest runs them side by side.
    const std::string file = folder + "/kavrin-command-line-test-" + std::to_string(getpid()) + ".bin";
    std::string said;
};

TEST_F(CommandLineTest, EachSubcommandIsChosenWithItsOptions) {
    struct Case {
        std::vector<std::string> args;
        Subcommand subcommand;
        std::function<bool(const CommandLine&)> holds;
    };
    const Case cases[] = {
        {{"ports", "--long"}, Subcommand::Ports, [](const CommandLine& l) { return l.ports.details; }},
        {{"info", "-p", "COM3"}, Subcommand::Info, [](const CommandLine& l) { return l.global.port == "COM3"; }},
        {{"--no-book", "count"}, Subcommand::Count, [](const CommandLine& l) { return l.global.noBook; }},
        {{"delete", "--yes"}, Subcommand::Delete, [](const CommandLine& l) { return l.deletion.yes; }},
        {{"sync-time"}, Subcommand::SyncTime, [](const CommandLine& l) { return !l.global.port; }},
        {{"power-down", "010"}, Subcommand::PowerDown,
         [](const CommandLine& l) { return l.powerDown.minutes == "010"; }},
        {{"power-down"}, Subcommand::PowerDown, [](const CommandLine& l) { return !l.powerDown.minutes; }},
        {{"upgrade", file, "--yes"}, Subcommand::Upgrade, [&](const CommandLine& l) { return l.upgrade.file == file; }},
        {{"--book", "b.db", "book"}, Subcommand::BookList, [](const CommandLine& l) { return l.global.book == "b.db"; }},
        {{"book", "show", "7", "-o", folder, "-f", "jsonl", "--animals"}, Subcommand::BookShow,
         [&](const CommandLine& l) {
             const BookShowOptions& o = l.bookShow;
             return o.number == 7 && o.file.folder == folder && o.file.choice.format == "jsonl" && o.file.animals;
         }},
        {{"book", "tag", "982", "000123456789"}, Subcommand::BookTag,
         [](const CommandLine& l) { return l.bookTag.id == TagId{982, 123456789}; }},
        {{"book", "export", "--since", "2024-02-28", "--until", "2024-02-29", "--new"}, Subcommand::BookExport,
         [](const CommandLine& l) {
             const BookExportOptions& o = l.bookExport;
             return o.since == "2024-02-28" && o.until == "2024-02-29" && o.onlyNew && o.file.choice.format == "csv";
         }},
        {{"book", "missing", "--group", "heifers", "--download", "3"}, Subcommand::BookMissing,
         [](const CommandLine& l) { return l.bookMissing.group == "heifers" && l.bookMissing.download == 3; }},
        {{"book", "unknown", "--download", "2"}, Subcommand::BookUnknown,
         [](const CommandLine& l) { return l.bookUnknown.download == 2; }},
        {{"animals", "--group", "A"}, Subcommand::Animals, [](const CommandLine& l) { return l.animals.group == "A"; }},
        {{"animals", "import", file}, Subcommand::AnimalsImport,
         [&](const CommandLine& l) { return l.animalsImport.file == file; }},
        {{"doctor", "--port", "/dev/ttyUSB0"}, Subcommand::Doctor,
         [](const CommandLine& l) { return l.global.port == "/dev/ttyUSB0"; }},
        // A port before the subcommand is watched too, first.
        {{"-p", "COM3", "watch", "--port", "COM4", "-p", "bt:00:1A:7D:DA:71:13", "--every", "5", "-o", folder,
          "-f", "jsonl", "--delete"},
         Subcommand::Watch,
         [&](const CommandLine& l) {
             const WatchOptions& o = l.watch;
             return o.ports == std::vector<std::string>{"COM3", "COM4", "bt:00:1A:7D:DA:71:13"} && o.every == 5 &&
                    o.download.folder == folder && o.download.choice.format == "jsonl" && o.download.clear;
         }},
        {{"watch"}, Subcommand::Watch, [](const CommandLine& l) { return l.watch.ports.empty() && l.watch.every == 60; }},
    };
    for (const Case& c : cases) {
        const CommandLine line = Parse(c.args);
        EXPECT_EQ(line.subcommand, c.subcommand) << c.args.front() << ": " << said;
        EXPECT_EQ(line.status, kExitOk) << c.args.front();
        EXPECT_TRUE(c.holds(line)) << c.args.front() << " " << c.args.back();
    }
}

TEST_F(CommandLineTest, TheExportsProfileIsMadeWhileParsing) {
    CommandLine line = Parse({"export", "-o", folder, "--id-form", "eid15", "--date-form", "dmy", "--delete"});
    ASSERT_EQ(line.subcommand, Subcommand::Export) << said;
    EXPECT_EQ(line.exportRecords.folder, folder);
    EXPECT_EQ(line.exportRecords.profile.forms.id, IdForm::Eid15);
    EXPECT_EQ(line.exportRecords.profile.forms.date, DateForm::Dmy);
    EXPECT_TRUE(line.exportRecords.clear);

    // A movement file left without its date is dated today.
    line = Parse({"export", "-f", "nait", "--sending", "1234567", "--receiving", "7654321"});
    ASSERT_EQ(line.subcommand, Subcommand::Export) << said;
    EXPECT_EQ(line.exportRecords.choice.format, "nait");
    EXPECT_EQ(line.exportRecords.profile.nait.sending, "1234567");
    EXPECT_EQ(line.exportRecords.profile.nait.dateSent, DateOf(SystemClock().now()));
}

TEST_F(CommandLineTest, WhatIsRefusedEndsAtParsingWithTheUsageStatus) {
    const std::vector<std::string> refused[] = {
        {},
        {"frobnicate"},
        {"delete"},
        {"upgrade", file},
        {"power-down", "61"},
        {"export", "--animals", "--no-book"},
        {"export", "-f", "nlis", "--from-pic", "QABC1234", "--to-pic", "3ABCD123", "--delete"},
        {"book", "tag", "982", "x"},
        {"book", "missing", "--download", "1", "--since", "2024-01-01"},
        // The checks of export's options hold for the watch's downloads too.
        {"watch", "--animals", "--no-book"},
        {"watch", "-f", "nait", "--sending", "1", "--receiving", "2", "--delete"},
        {"watch", "--every", "5"},
        {"watch", "-p", "COM3", "--every", "0"},
    };
    for (const std::vector<std::string>& args : refused) {
        const CommandLine line = Parse(args);
        const std::string shown = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(line.subcommand, Subcommand::None) << shown;
        EXPECT_EQ(line.status, kExitUsage) << shown;
    }
    for (const char* request : {"--help", "--version"}) {
        const CommandLine line = Parse({request});
        EXPECT_EQ(line.subcommand, Subcommand::None) << request;
        EXPECT_EQ(line.status, kExitOk) << request;
    }
}

}  // namespace
