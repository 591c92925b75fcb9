// The POSIX serial code over a real pseudo-terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "link/serial_port.h"
#include "pty/child_process.h"
#include "pty/reader_fixture.h"
#include "reader_line.h"

namespace {

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(reader.Start(&error)) << error;
    }
    void TearDown() override { ClosePort(port); }

    VirtualReader reader;
    PortHandle port = nullptr;
};

TEST_F(SerialPortTest, OpensAndReadsBackTheReaderLineSettings) {
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    ASSERT_NE(port, nullptr);
    ExpectReaderLine(port);
}

TEST_F(SerialPortTest, HandleAlreadySetGivesOneAndLeavesThatPortWorking) {
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    PortHandle before = port;
    EXPECT_EQ(OpenCommPort(port, reader.PortPath()), 1);
    EXPECT_EQ(port, before);
    EXPECT_EQ(OpenPort(port, reader.PortPath()).failure, OpenFailure::AlreadyOpen);

    std::vector<uint8_t> request = BuildRequest(CMD_GET_VERSION);
    size_t written = 0;
    ASSERT_TRUE(WritePort(port, request.data(), request.size(), written));
    EXPECT_EQ(written, request.size());
    uint8_t answer[6];
    size_t got = 0;
    ASSERT_TRUE(ReadPort(port, answer, sizeof answer, got));
    EXPECT_EQ(got, sizeof answer);
    EXPECT_EQ(answer[0], 0x0B);
}

TEST_F(SerialPortTest, BadNamesGiveOneAndLeaveNoHandle) {
    struct Case {
        std::string name;
        OpenFailure failure;
    } cases[] = {
        {"", OpenFailure::NotFound},
        {"/dev/kavrin-no-such-port", OpenFailure::NotFound},
        {"/dev/null", OpenFailure::NotSerial},
        {"/", OpenFailure::Other},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenCommPort(port, c.name), 1) << c.name;
        ClosePort(port);
        EXPECT_EQ(OpenPort(port, c.name).failure, c.failure) << c.name;
        ClosePort(port);
        EXPECT_EQ(port, nullptr);
    }
}

TEST_F(SerialPortTest, PortHeldByAnotherProcessGivesOneEvenForRoot) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        PortHandle held = nullptr;
        char result = OpenCommPort(held, reader.PortPath()) == 0 ? 'y' : 'n';
        ssize_t ignored = write(ready[1], &result, 1);
        (void)ignored;
        pause();
        _exit(0);
    }
    char result = 0;
    ASSERT_EQ(read(ready[0], &result, 1), 1);
    ASSERT_EQ(result, 'y');

    EXPECT_EQ(OpenPort(port, reader.PortPath()).failure, OpenFailure::Busy);
    ClosePort(port);
    EXPECT_EQ(OpenCommPort(port, reader.PortPath()), 1);
    ClosePort(port);

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(OpenCommPort(port, reader.PortPath()), 0) << "released when its holder ended";
    close(ready[0]);
    close(ready[1]);
}

TEST_F(SerialPortTest, PortWithoutPermissionSaysAccessDenied) {
    // Root may open anything; the check runs as an ordinary user in a child.
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    ASSERT_EQ(chmod(reader.PortPath().c_str(), 0600), 0);
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        PortHandle mine = nullptr;
        OpenStatus status = OpenPort(mine, reader.PortPath());
        _exit(mine == nullptr && status.failure == OpenFailure::AccessDenied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(SerialPortTest, NodeOfRootAloneAfterPlugInOpensOnceUdevGivesItAGroup) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    const char* node = reader.PortPath().c_str();
    ASSERT_EQ(chown(node, 0, 0), 0);
    ASSERT_EQ(chmod(node, 0600), 0);
    // udev's part, a moment after the plug-in.
    std::thread udev([node] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(chown(node, 0, kNobody), 0);
        EXPECT_EQ(chmod(node, 0660), 0);
    });
    std::optional<std::string> opened = ReportFromChild(
        [&] {
            PortHandle mine = nullptr;
            OpenStatus status = OpenPort(mine, reader.PortPath());
            ClosePort(mine);
            return status.Opened() ? std::string("opened") : status.detail;
        },
        true);
    udev.join();
    EXPECT_EQ(opened, "opened");
}

TEST_F(SerialPortTest, ClosedPortCanBeOpenedAgain) {
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    ClosePort(port);
    EXPECT_EQ(port, nullptr);
    EXPECT_EQ(OpenCommPort(port, reader.PortPath()), 0);
}

TEST_F(SerialPortTest, ReadWithNothingArrivingReturnsShortAfterTheTotalTimeout) {
    reader.AddFault({-1, FaultKind::Silent});
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    uint8_t buffer[3];
    size_t got = 99;
    bool ok = false;
    double seconds = SecondsFor([&] { ok = ReadPort(port, buffer, sizeof buffer, got); });
    EXPECT_TRUE(ok) << "a time-out is not a failure";
    EXPECT_EQ(got, 0u);
    EXPECT_GE(seconds, 2.75);  // 3 x 800 + 400 ms
    EXPECT_LT(seconds, 6.0);
}

TEST_F(SerialPortTest, IntervalTimerStartsAtTheFirstByte) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::ShortBody});
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    std::vector<uint8_t> request = BuildRequest(CMD_GET_VERSION);
    size_t written = 0;
    ASSERT_TRUE(WritePort(port, request.data(), request.size(), written));
    // Ask for far more than comes: the total would be 800*100+400 ms, but the
    // read ends 800 ms after the last byte.
    uint8_t buffer[100];
    size_t got = 0;
    double seconds = SecondsFor([&] { ASSERT_TRUE(ReadPort(port, buffer, sizeof buffer, got)); });
    EXPECT_EQ(got, 4u);  // header and half of the 3-byte body
    EXPECT_GE(seconds, 0.75);
    EXPECT_LT(seconds, 3.0);
}

TEST_F(SerialPortTest, NoPortFailsEveryCall) {
    uint8_t byte = 0;
    size_t n = 7;
    EXPECT_FALSE(WritePort(nullptr, &byte, 1, n));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(ReadPort(nullptr, &byte, 1, n));
    PurgePort(nullptr, PurgeQueue::Receive);
    LineSettings line;
    EXPECT_FALSE(ReadLineSettings(nullptr, line));
}

TEST_F(SerialPortTest, VanishedPeerFailsTheReadAtOnceInsteadOfSpinning) {
    reader.AddFault({CMD_GET_VERSION, FaultKind::Hangup});
    ASSERT_EQ(OpenCommPort(port, reader.PortPath()), 0);
    std::vector<uint8_t> request = BuildRequest(CMD_GET_VERSION);
    size_t written = 0;
    ASSERT_TRUE(WritePort(port, request.data(), request.size(), written));
    uint8_t buffer[16];
    size_t got = 0;
    bool ok = true;
    clock_t cpuBefore = clock();
    double seconds = SecondsFor([&] {
        // The first read may still collect the half answer; the next must fail.
        for (int i = 0; i < 3 && ok; ++i) ok = ReadPort(port, buffer, sizeof buffer, got);
    });
    EXPECT_FALSE(ok);
    EXPECT_LT(seconds, 3 * 13.2);
    EXPECT_LT(double(clock() - cpuBefore) / CLOCKS_PER_SEC, 0.5) << "no busy loop on a dead port";
}

}  // namespace
