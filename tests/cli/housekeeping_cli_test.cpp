// count, delete, sync-time and power-down as separate processes against
// kavrin-sim, checked in the reader's state afterwards.
#include <gtest/gtest.h>

#include <ctime>

#include "processes.h"
#include "text_helpers.h"

namespace {

class HousekeepingCliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Started()); }

    CliRun Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"-p", sim.Port()});
        return RunCli(args);
    }

    SimProcess sim{{"--records", "25"}};
};

TEST_F(HousekeepingCliTest, CountPrintsTheStoredRecordsAsAnUnsignedNumber) {
    CliRun run = Run({"count"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "25\n");
    EXPECT_TRUE(run.err.ends_with("Get records cnt success.\n")) << run.err;

    sim.Command("count 4294967295");
    run = Run({"count"});
    EXPECT_EQ(run.out, "4294967295\n") << "not the negative number of a signed field";
}

TEST_F(HousekeepingCliTest, DeleteWithYesEmptiesTheReader) {
    CliRun run = Run({"delete", "--yes"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.ends_with("Please wait...\nAll records has been Deleted.\n")) << run.err;
    EXPECT_EQ(sim.State("records"), "0");
}

TEST_F(HousekeepingCliTest, SyncTimeSetsTheReadersClockToOurs) {
    std::time_t before = std::time(nullptr);
    CliRun run = Run({"sync-time"});
    std::time_t after = std::time(nullptr);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.ends_with("Sync time success.\n")) << run.err;

    unsigned year, month, day, hour, minute, second;
    ASSERT_EQ(std::sscanf(sim.State("clock").c_str(), "%x %x %x %x %x %x", &year, &month, &day, &hour, &minute,
                          &second),
              6);
    std::tm set{};
    set.tm_year = static_cast<int>(year) + 100;
    set.tm_mon = static_cast<int>(month) - 1;
    set.tm_mday = static_cast<int>(day);
    set.tm_hour = static_cast<int>(hour);
    set.tm_min = static_cast<int>(minute);
    set.tm_sec = static_cast<int>(second);
    set.tm_isdst = -1;
    std::time_t clock = std::mktime(&set);
    EXPECT_GE(clock, before - 1);
    EXPECT_LE(clock, after + 1);
}

TEST_F(HousekeepingCliTest, PowerDownReadsAndSetsTheMinutes) {
    CliRun run = Run({"power-down"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "10\n");
    EXPECT_TRUE(run.err.ends_with("Get params OK.\n")) << run.err;

    for (const auto& [given, byte] : {std::pair{"1", "01"}, {"60", "3C"}, {"010", "0A"}}) {
        run = Run({"power-down", given});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.ends_with("Set Power down time Ok.\n")) << run.err;
        EXPECT_EQ(sim.State("params"), std::string("01 02 03 ") + byte) << given;
    }
    EXPECT_EQ(Run({"power-down"}).out, "10\n");
}

TEST_F(HousekeepingCliTest, BadArgumentsExitTwoBeforeAnythingIsSent) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"power-down", "0"}, "1 to 60"},    {{"power-down", "61"}, "1 to 60"},
        {{"power-down", "abc"}, "1 to 60"},  {{"power-down", "0x3c"}, "1 to 60"},
        {{"power-down", "5", "6"}, "6"},     {{"delete"}, "--yes"},
        {{"count", "--yes"}, "--yes"},
    };
    for (const auto& [args, message] : cases) {
        CliRun run = Run(args);
        EXPECT_EQ(run.exitCode, 2) << args.back();
        EXPECT_TRUE(Contains(run.err, message)) << args.back() << ": " << run.err;
    }
    EXPECT_EQ(sim.State("received"), "0");
    EXPECT_EQ(sim.State("records"), "25");
}

TEST_F(HousekeepingCliTest, AFailingReaderExitsOneAfterTheOperationsOwnLine) {
    sim.Command("fault SET_TIME:silent");
    sim.Command("fault GET_PARAMS:wrong-header");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"sync-time"}, "Sync time failed.\n"},
        {{"power-down"}, "Get params Failed.\n"},
        {{"power-down", "30"}, "Get params Failed.\n"},
    };
    for (const auto& [args, line] : cases) {
        CliRun run = Run(args);
        EXPECT_EQ(run.exitCode, 1) << args.back();
        EXPECT_EQ(run.out, "") << args.back();
        EXPECT_TRUE(run.err.ends_with(line)) << args.back() << ": " << run.err;
    }
    EXPECT_EQ(sim.State("params"), "01 02 03 0A");
}

TEST_F(HousekeepingCliTest, AReaderThatRefusesFailsAfterTheWindowsLineAndSaysSo) {
    sim.Command("fault SET_TIME:status:5");
    sim.Command("fault DELETE_RECORDS:status:5");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"sync-time"}, "Sync time success.\n"},
        {{"delete", "--yes"}, "All records has been Deleted.\n"},
    };
    for (const auto& [args, line] : cases) {
        CliRun run = Run(args);
        EXPECT_EQ(run.exitCode, 1) << args.front();
        EXPECT_TRUE(run.err.ends_with(line + "kavrin-cli: the reader refused the command (status 5)\n"))
            << args.front() << ": " << run.err;
    }
}

}  // namespace
