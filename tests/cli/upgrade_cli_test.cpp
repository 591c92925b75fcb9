// upgrade as a separate process against kavrin-sim: the image the reader
// received, and the progress bar only where a person watches.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "processes.h"
#include "text_helpers.h"

namespace {

std::string WriteImage(const std::string& name, size_t size) {
    std::string path = ::testing::TempDir() + "/" + name;
    std::ofstream out(path, std::ios::binary);
    for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 + i / 251));
    return path;
}

class UpgradeCliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Started()); }
    SimProcess sim;
};

TEST_F(UpgradeCliTest, SendsTheImageAndPrintsNoBarWhenNobodyWatches) {
    std::string image = WriteImage("kavrin-upgrade.bin", 8200);
    CliRun run = RunCli({"-p", sim.Port(), "upgrade", image, "--yes"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.ends_with("Please wait.......\nUpgrade Finished\n")) << run.err;
    EXPECT_FALSE(Contains(run.err, "\r")) << "no bar on a pipe";

    EXPECT_EQ(sim.State("firmware.finished"), "1");
    EXPECT_EQ(sim.State("firmware.length"), "8200");
    EXPECT_EQ(sim.State("firmware.blocks"), "65");
    std::string received = ::testing::TempDir() + "/kavrin-received.bin";
    sim.Command("image " + received);
    EXPECT_EQ(ReadFile(received).substr(0, 8200), ReadFile(image));
}

TEST_F(UpgradeCliTest, OnATerminalABarCountsTheBlocks) {
    std::string image = WriteImage("kavrin-upgrade-bar.bin", 8000);
    CliOptions terminal;
    terminal.errOnTerminal = true;
    CliRun run = RunCli({"-p", sim.Port(), "upgrade", image, "--yes"}, terminal);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.err, "63/63 blocks")) << run.err;
    EXPECT_TRUE(Contains(run.err, "Upgrade Finished")) << run.err;
}

TEST_F(UpgradeCliTest, RefusesBeforeSendingAnything) {
    std::string image = WriteImage("kavrin-upgrade-refused.bin", 8000);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"upgrade", image}, "--yes"},
        {{"upgrade", "--yes"}, "FILE"},
        {{"upgrade", image + ".missing", "--yes"}, "no such file"},
        {{"upgrade", ::testing::TempDir(), "--yes"}, "no such file"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> all{"-p", sim.Port()};
        all.insert(all.end(), args.begin(), args.end());
        CliRun run = RunCli(all);
        EXPECT_EQ(run.exitCode, 2) << args[1];
        EXPECT_TRUE(Contains(run.err, message)) << args[1] << ": " << run.err;
    }
    EXPECT_EQ(sim.State("received"), "0");
}

TEST_F(UpgradeCliTest, AnImageTooShortIsRefusedByTheOperation) {
    std::string image = WriteImage("kavrin-upgrade-short.bin", 7999);
    CliRun run = RunCli({"-p", sim.Port(), "upgrade", image, "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.ends_with("File error!\n")) << run.err;
    EXPECT_EQ(sim.State("received"), "1") << "the version request only";
}

TEST(UpgradeInterruptTest, OneInterruptOnlyWarnsASecondStopsAfterTheBlockInFlight) {
    std::string image = WriteImage("kavrin-upgrade-interrupted.bin", 32768);
    for (int interrupts : {1, 2}) {
        SCOPED_TRACE(interrupts);
        SimProcess reader({"--baud", "115200"});
        ASSERT_TRUE(reader.Started());
        CliOptions options;
        options.whileRunning = [&reader, interrupts](pid_t pid) {
            for (int i = 0; i < interrupts; ++i) {
                // The first once blocks flow, the second well before the last of 257.
                reader.WaitForState("firmware.blocks", 5 + 20 * i);
                kill(pid, SIGINT);
            }
        };
        CliRun run = RunCli({"-p", reader.Port(), "upgrade", image, "--yes"}, options);
        EXPECT_TRUE(Contains(run.err, "stopping now leaves the reader without working firmware")) << run.err;
        long blocks = std::stol("0" + reader.State("firmware.blocks"));
        if (interrupts == 1) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_EQ(reader.State("firmware.finished"), "1");
            std::string received = ::testing::TempDir() + "/kavrin-received-interrupted.bin";
            reader.Command("image " + received);
            EXPECT_EQ(ReadFile(received).substr(0, 32768), ReadFile(image));
        } else {
            EXPECT_EQ(run.signal, SIGINT) << "ends by the signal, as the shell expects: " << run.err;
            EXPECT_TRUE(Contains(run.err, "the reader has no working firmware until the upgrade is run again"))
                << run.err;
            EXPECT_EQ(reader.State("firmware.finished"), "0");
            EXPECT_GE(blocks, 25);
            EXPECT_LT(blocks, 257);
        }
    }
}

}  // namespace
