// Readers coming and going, as a watch sees them: what is present changes
// only by a real change, and named ports are tried on their schedule,
// which runs on the clock seam here, so nothing waits.
#include <gtest/gtest.h>

#include <map>

#include "ops/clock.h"
#include "watch/named_ports.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

PortEvent Appeared(const std::string& port) { return {PortChange::Appeared, port}; }
PortEvent Gone(const std::string& port) { return {PortChange::Gone, port}; }

TEST(PresentPorts, APortAppearsOnceUntilItHasGoneAndComeBack) {
    PresentPorts present;
    EXPECT_TRUE(present.Apply(Appeared("/dev/ttyUSB0")));
    EXPECT_FALSE(present.Apply(Appeared("/dev/ttyUSB0"))) << "listed at the start and announced as well";
    EXPECT_TRUE(present.Apply(Appeared("/dev/ttyUSB1")));
    EXPECT_TRUE(present.Apply(Gone("/dev/ttyUSB0")));
    EXPECT_FALSE(present.Apply(Gone("/dev/ttyUSB0")));
    EXPECT_FALSE(present.Apply(Gone("/dev/ttyS0"))) << "never present: not an adapter";
    EXPECT_TRUE(present.Apply(Appeared("/dev/ttyUSB0")));
}

// Named ports against scripted answers, the waits counted instead of slept.
class NamedPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SystemClock();
        SystemClock().sleep = [this](unsigned ms) { now += milliseconds(ms); };
    }
    void TearDown() override { SystemClock() = saved_; }

    std::unique_ptr<PortEvents> Watch(std::vector<std::string> ports) {
        return WatchNamedPorts(std::move(ports), seconds(60), [this](const std::string& port) {
            tries[port].push_back(now);
            return answers.count(port) ? answers[port] : PortAnswer::Silent;
        });
    }

    milliseconds now{0};
    std::map<std::string, PortAnswer> answers;
    std::map<std::string, std::vector<milliseconds>> tries;

private:
    Clock saved_;
};

TEST_F(NamedPortsTest, EachPortIsTriedAtOnceThenEveryIntervalWhileItDoesNotAnswer) {
    answers["COM3"] = PortAnswer::Answered;
    auto watch = Watch({"COM3", "bt:00:11:22:33:44:55"});
    EXPECT_EQ(watch->Next(seconds(1)), std::vector<PortEvent>{Appeared("COM3")});
    EXPECT_EQ(now, milliseconds(0)) << "the start costs no wait";

    EXPECT_TRUE(watch->Next(seconds(150)).empty());
    EXPECT_EQ(now, seconds(150)) << "a call with nothing to say waits its whole time";
    const std::vector<milliseconds> schedule = {seconds(0), seconds(60), seconds(120)};
    EXPECT_EQ(tries["bt:00:11:22:33:44:55"], schedule);
    EXPECT_EQ(tries["COM3"], schedule) << "a port present is tried too, to see it go";

    answers["bt:00:11:22:33:44:55"] = PortAnswer::Answered;
    EXPECT_EQ(watch->Next(seconds(100)), std::vector<PortEvent>{Appeared("bt:00:11:22:33:44:55")});
    EXPECT_EQ(now, seconds(180)) << "the call returns at the try that answered";
}

TEST_F(NamedPortsTest, AReaderIsSeenAgainOnlyAfterItWasGoneAndABusyPortChangesNothing) {
    answers["/dev/ttyUSB0"] = PortAnswer::Answered;
    auto watch = Watch({"/dev/ttyUSB0"});
    EXPECT_EQ(watch->Next(seconds(1)), std::vector<PortEvent>{Appeared("/dev/ttyUSB0")});

    // Held while it is downloaded, then answering again: still the same visit.
    answers["/dev/ttyUSB0"] = PortAnswer::Busy;
    EXPECT_TRUE(watch->Next(seconds(61)).empty());
    answers["/dev/ttyUSB0"] = PortAnswer::Answered;
    EXPECT_TRUE(watch->Next(seconds(60)).empty());

    answers["/dev/ttyUSB0"] = PortAnswer::Silent;
    EXPECT_EQ(watch->Next(seconds(60)), std::vector<PortEvent>{Gone("/dev/ttyUSB0")});
    answers["/dev/ttyUSB0"] = PortAnswer::Busy;
    EXPECT_TRUE(watch->Next(seconds(60)).empty()) << "busy is no sign of a reader";
    answers["/dev/ttyUSB0"] = PortAnswer::Answered;
    EXPECT_EQ(watch->Next(seconds(60)), std::vector<PortEvent>{Appeared("/dev/ttyUSB0")});
    EXPECT_EQ(tries["/dev/ttyUSB0"].size(), 6u);
}

TEST_F(NamedPortsTest, ShortCallsKeepTheScheduleOfOneLongWait) {
    auto watch = Watch({"/dev/ttyS1"});
    for (int i = 0; i < 130; ++i) EXPECT_TRUE(watch->Next(seconds(1)).empty());
    EXPECT_EQ(tries["/dev/ttyS1"], (std::vector<milliseconds>{seconds(0), seconds(60), seconds(120)}));
}

}  // namespace
