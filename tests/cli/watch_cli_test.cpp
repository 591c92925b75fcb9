// watch as a separate process against several kavrin-sim readers named
// with --port: each downloaded at once into the one book and a file of its
// own, then cleared with --delete; a device that answers but not as a
// reader left alone and named once; an interrupt keeping the rows fetched.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

#include "book/book.h"
#include "processes.h"
#include "text_helpers.h"

namespace fs = std::filesystem;

namespace {

const std::string kVersionFrame = "0A FF 02 22 D3";
constexpr int kBoundMs = 40000;

class WatchCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) / ("kavrin-watch-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        book = folder / "records.db";
    }
    void TearDown() override { fs::remove_all(folder); }

    // The downloads the book holds, none when it cannot be read yet.
    std::vector<DownloadSummary> Downloads() {
        Book opened;
        if (!opened.Open(book, BookAccess::Existing).Ok()) return {};
        return ListDownloads(opened).value;
    }
    size_t Complete() {
        const std::vector<DownloadSummary> all = Downloads();
        return static_cast<size_t>(std::count_if(all.begin(), all.end(), [](const auto& d) { return d.outcome == "complete"; }));
    }
    // Interrupts the watch once `ready` holds, or after the bound.
    static CliOptions InterruptWhen(std::function<bool()> ready) {
        CliOptions options;
        options.whileRunning = [ready](pid_t pid) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
            while (!ready() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            kill(pid, SIGINT);
        };
        return options;
    }
    std::vector<std::string> Watch(const std::vector<std::string>& ports) {
        std::vector<std::string> args = {"--book", book.string(), "watch", "-o", folder.string(), "--every", "1"};
        for (const std::string& port : ports) args.insert(args.end(), {"--port", port});
        return args;
    }

    fs::path folder;
    fs::path book;
};

TEST_F(WatchCliTest, SeveralReadersAtOnceGoIntoOneBookAndAreClearedOnceVerified) {
    const std::vector<size_t> counts = {300, 400, 500};
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::string> ports;
    for (size_t count : counts) {
        sims.push_back(std::make_unique<SimProcess>(
            std::vector<std::string>{"--records", std::to_string(count), "--baud", "115200"}));
        ASSERT_TRUE(sims.back()->Started());
        ports.push_back(sims.back()->Port());
    }
    std::vector<std::string> args = Watch(ports);
    args.push_back("--delete");
    const CliRun run = RunCli(args, InterruptWhen([&] {
        return std::all_of(sims.begin(), sims.end(), [](const auto& sim) { return sim->State("records") == "0"; });
    }));
    EXPECT_EQ(run.signal, SIGINT) << run.err;

    const std::vector<DownloadSummary> downloads = Downloads();
    ASSERT_EQ(downloads.size(), counts.size()) << run.err;
    std::vector<std::string> saved;
    for (size_t i = 0; i < counts.size(); ++i) {
        const auto download = std::find_if(downloads.begin(), downloads.end(), [&](const auto& d) { return d.port == ports[i]; });
        ASSERT_NE(download, downloads.end()) << ports[i] << run.err;
        EXPECT_EQ(download->outcome, "complete");
        EXPECT_EQ(download->rows, static_cast<int>(counts[i]));
        EXPECT_EQ(download->reported, static_cast<int32_t>(counts[i]));
        EXPECT_EQ(sims[i]->State("records"), "0") << ports[i] << " is cleared after its verified download";
        const std::string prefix = ports[i] + ": ";
        EXPECT_TRUE(Contains(run.err, prefix + std::to_string(counts[i]) + " records saved in " + download->file +
                                          " and deleted from the reader\n"))
            << run.err;
        EXPECT_TRUE(Contains(run.err, prefix + "download finished: " + std::to_string(counts[i]) + " records saved in " +
                                          download->file + "\n"))
            << run.err;
        saved.push_back(download->file);
    }
    // Each file's path on standard output, once its download saved it.
    std::vector<std::string> printed = Lines(run.out);
    std::sort(printed.begin(), printed.end());
    std::sort(saved.begin(), saved.end());
    EXPECT_EQ(printed, saved);
    // At once: every reader was connected before the first download ended.
    const size_t firstEnd = run.err.find("download finished");
    for (const std::string& port : ports) EXPECT_LT(run.err.find(port + ": Reader firmvare version:1.0"), firstEnd) << run.err;
}

TEST_F(WatchCliTest, ADeviceThatIsNoReaderIsLeftAloneAndNamedOnce) {
    SimProcess reader({"--records", "20"});
    SimProcess foreign({"--fault", "GET_VERSION:garbage:5"});
    ASSERT_TRUE(reader.Started() && foreign.Started());
    const CliRun run = RunCli(Watch({foreign.Port(), reader.Port()}),
                              InterruptWhen([&] { return Complete() == 1 && std::stol(foreign.State("received")) >= 3; }));
    EXPECT_EQ(run.signal, SIGINT) << run.err;
    const std::string named = foreign.Port() + ": something that is not the reader answers on this port (left alone)\n";
    EXPECT_EQ(Count(run.err, named), 1u) << run.err;
    EXPECT_FALSE(Contains(run.err, foreign.Port() + ": CommPort")) << run.err;
    for (const std::string& request : foreign.Command("received")) EXPECT_EQ(request, kVersionFrame) << "only ever asked for its version";
    EXPECT_EQ(Downloads().size(), 1u);
    EXPECT_TRUE(Contains(run.err, reader.Port() + ": download finished: 20 records saved in ")) << run.err;
}

TEST_F(WatchCliTest, AnInterruptKeepsTheRowsFetchedDeletesNothingAndEndsByTheSignal) {
    SimProcess reader({"--records", "3000", "--baud", "115200"});
    ASSERT_TRUE(reader.Started());
    std::vector<std::string> args = Watch({reader.Port()});
    args.push_back("--delete");
    // The version, the count, then some blocks.
    const CliRun run = RunCli(args, InterruptWhen([&] { return std::stol(reader.State("received")) >= 6; }));
    EXPECT_EQ(run.signal, SIGINT) << run.err;
    EXPECT_EQ(run.out, "") << "no path where a script expects a complete file";
    const std::vector<DownloadSummary> downloads = Downloads();
    ASSERT_EQ(downloads.size(), 1u) << run.err;
    EXPECT_EQ(downloads[0].outcome, "stopped");
    EXPECT_GT(downloads[0].rows, 0);
    EXPECT_LT(downloads[0].rows, 3000);
    EXPECT_EQ(WholeRows(ReadFile(downloads[0].file)), downloads[0].rows) << "every row fetched, whole";
    EXPECT_EQ(reader.State("records"), "3000");
    EXPECT_TRUE(Contains(run.err, reader.Port() + ": not deleting the reader's records: ")) << run.err;
    EXPECT_TRUE(Contains(run.err, reader.Port() + ": download stopped: " + std::to_string(downloads[0].rows) +
                                      " of 3000 records saved in " + downloads[0].file + "\n"))
        << run.err;
}

}  // namespace
