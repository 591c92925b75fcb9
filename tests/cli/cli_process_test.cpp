// kavrin-cli run as a user runs it, against kavrin-sim.
#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/serial_port.h"
#include "processes.h"
#include "text_helpers.h"

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Started()) << "kavrin-sim did not start"; }

    SimProcess sim{{"--firmware-version", "2.10"}};
};

TEST_F(CliTest, InfoPrintsTheVersionAloneOnStandardOutput) {
    // -p goes before or after the subcommand.
    for (const auto& args : {std::vector<std::string>{"-p", sim.Port(), "info"}, {"info", "--port", sim.Port()}}) {
        sim.Command("clear-received");
        CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "2.10\n");
        EXPECT_EQ(run.err, "CommPort open success!\nReader firmvare version:2.10\n");
        EXPECT_EQ(sim.Command("received"), std::vector<std::string>{"0A FF 02 22 D3"});
    }
}

TEST_F(CliTest, BadUsageExitsTwoBeforeAnythingIsSent) {
    const std::string port = sim.Port();
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "a subcommand is required"},
        {{"-p", port}, "a subcommand is required"},
        {{"-p", port, "frobnicate"}, "unknown subcommand: frobnicate"},
        {{"-p", port, "info", "extra"}, "not expected: extra"},
        {{"-p", port, "info", "--bogus"}, "not expected: --bogus"},
        {{"info", "-p"}, "--port"},
        {{"-p", "", "info"}, "the port name is empty"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.args);
        std::string shown = c.args.empty() ? "(none)" : c.args.back();
        EXPECT_EQ(run.exitCode, 2) << shown;
        EXPECT_TRUE(Contains(run.err, c.message)) << shown << ": " << run.err;
        EXPECT_EQ(run.out, "") << shown;
    }
    EXPECT_EQ(sim.State("received"), "0");
    EXPECT_EQ(sim.State("rejected"), "0");
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    CliRun help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"--port", "ports", "info"}) EXPECT_TRUE(Contains(help.out, word)) << word;

    CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("kavrin-cli ") + KAVRIN_VERSION + "\n");
}

TEST_F(CliTest, PortThatDoesNotExistIsNamed) {
    CliRun run = RunCli({"-p", "/dev/kavrin-no-such-port", "info"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("CommPort open failed!\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, "/dev/kavrin-no-such-port: no such port")) << run.err;
}

TEST_F(CliTest, PortHeldByAnotherProgramNamesItAndNothingIsSent) {
    PortHandle held = nullptr;
    ASSERT_EQ(OpenCommPort(held, sim.Port()), 0);
    CliRun run = RunCli({"-p", sim.Port(), "info"});
    ClosePort(held);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.starts_with("CommPort open failed!\n")) << run.err;
    // This test program holds it; /proc gives its name cut to 15 characters.
    const std::string pid = std::to_string(getpid());
    EXPECT_TRUE(Contains(run.err, sim.Port() + " is held by kavrin_cli_test (pid " + pid +
                                      "): quit kavrin_cli_test, or end it: kill " + pid))
        << run.err;
    EXPECT_EQ(sim.State("received"), "0");
}

// kavrin-cli run as nobody, with `group` as its only group, on the pty
// given to root and `nodeGroup` with mode 0660.
CliRun RunAsNobody(const std::string& port, gid_t group, gid_t nodeGroup) {
    passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || chown(port.c_str(), 0, nodeGroup) != 0 || chmod(port.c_str(), 0660) != 0) return {};
    CliOptions options;
    options.user = nobody->pw_uid;
    options.group = group;
    return RunCli({"-p", port, "info"}, options);
}

TEST_F(CliTest, UserOutsideThePortsGroupIsToldToJoinIt) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
    group* dialout = getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    CliRun run = RunAsNobody(sim.Port(), getpwnam("nobody")->pw_gid, dialout->gr_gid);
    if (run.exitCode == 126) GTEST_SKIP() << "an ordinary user may not run " << KAVRIN_CLI;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.starts_with("CommPort open failed!\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, sim.Port() + " (crw-rw---- root dialout): nobody is not in group dialout: "
                                                "sudo usermod -aG dialout nobody, then log out and in again"))
        << run.err;
    EXPECT_EQ(sim.State("received"), "0");
}

TEST_F(CliTest, UserInThePortsGroupButNotInThisLoginIsToldToLogInAgain) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
    // nobody's own group in the user database, left out of the process's
    // groups as a login that began before the user joined it leaves it out.
    passwd* nobody = getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    group* own = getgrgid(nobody->pw_gid);
    ASSERT_NE(own, nullptr);
    const std::string name = own->gr_name;
    CliRun run = RunAsNobody(sim.Port(), getgrnam("dialout")->gr_gid, nobody->pw_gid);
    if (run.exitCode == 126) GTEST_SKIP() << "an ordinary user may not run " << KAVRIN_CLI;
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, sim.Port() + " (crw-rw---- root " + name + "): nobody joined group " + name +
                                      " after this login began: log out and in again"))
        << run.err;
}

TEST_F(CliTest, DoctorEndsWithTheReadersAnswerAndSucceeds) {
    CliRun run = RunCli({"-p", sim.Port(), "doctor"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.ends_with(sim.Port() + ": the reader answered: firmware version 2.10\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, sim.Port() + " (crw")) << "the node's owner and mode: " << run.out;
}

TEST(CliDoctorTest, SomethingThatIsNotTheReaderFailsTheDoctor) {
    SimProcess sim{{"--fault", "GET_VERSION:garbage"}};
    ASSERT_TRUE(sim.Started());
    CliRun run = RunCli({"-p", sim.Port(), "doctor"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.ends_with(sim.Port() + ": something that is not the reader answers on this port\n")) << run.out;
}

TEST(CliSilentReaderTest, ReaderThatNeverAnswersIsNamedAfterTheConnectionsOwnLine) {
    SimProcess sim{{"--fault", "GET_VERSION:silent"}};
    ASSERT_TRUE(sim.Started());
    CliRun run = RunCli({"-p", sim.Port(), "info"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("CommPort open success!\nConnect reader failed!\n")) << run.err;
    EXPECT_TRUE(Contains(run.err, sim.Port() + ": nothing answered in 2.8 s: is the reader switched on? it powers "
                                                "itself down after its power-down time"))
        << run.err;
    EXPECT_EQ(sim.State("received"), "1");
}

TEST(CliPortsTest, ListsOnlyDevicesThatExistAndNeverAPseudoTerminal) {
    SimProcess sim;
    ASSERT_TRUE(sim.Started());
    CliRun run = RunCli({"ports"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(Contains(run.out, sim.Port()));
    size_t start = 0;
    for (size_t end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string device = run.out.substr(start, run.out.find_first_of(" \n", start) - start);
        EXPECT_EQ(access(device.c_str(), F_OK), 0) << device;
    }
    EXPECT_EQ(sim.State("received"), "0");
}

}  // namespace
