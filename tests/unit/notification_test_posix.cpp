// "Download finished" on a Linux desktop: over a session bus of the test's
// own (dbus-daemon) to a stand-in for the desktop's notification server;
// and with no session bus, nothing shown and nothing failing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "temp_dir.h"
#include "watch/notification.h"

namespace {

// The session bus address for the duration of a test.
class SessionBus {
public:
    explicit SessionBus(const std::string& address) {
        if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) saved_ = old;
        setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    }
    ~SessionBus() {
        if (saved_.empty()) unsetenv("DBUS_SESSION_BUS_ADDRESS");
        else setenv("DBUS_SESSION_BUS_ADDRESS", saved_.c_str(), 1);
    }

private:
    std::string saved_;
};

struct Shown {
    std::string application, summary, body;
};

int OnNotify(sd_bus_message* call, void* shown, sd_bus_error*) {
    const char *application = nullptr, *icon = nullptr, *summary = nullptr, *body = nullptr;
    uint32_t replaces = 0;
    if (sd_bus_message_read(call, "susss", &application, &replaces, &icon, &summary, &body) < 0) return -EINVAL;
    *static_cast<Shown*>(shown) = {application, summary, body};
    return sd_bus_reply_method_return(call, "u", uint32_t{1});
}

const sd_bus_vtable kServer[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", OnNotify, 0),
    SD_BUS_VTABLE_END,
};

// A dbus-daemon of the test's own, ended however the test ends: one left
// running would hold the test runner's output open for good.
class BusDaemon {
public:
    explicit BusDaemon(const std::string& socket) : pid_(fork()) {
        if (pid_ == 0) {
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", ("--address=unix:path=" + socket).c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        // Bounded for a loaded machine.
        for (int i = 0; pid_ > 0 && i < 400 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~BusDaemon() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    BusDaemon(const BusDaemon&) = delete;
    BusDaemon& operator=(const BusDaemon&) = delete;

private:
    pid_t pid_;
};

TEST(DesktopNotification, GoesToTheDesktopsNotificationServer) {
    TempDir dir;
    const std::string socket = (dir.path() / "bus").string();
    BusDaemon daemon(socket);
    ASSERT_TRUE(std::filesystem::exists(socket)) << "dbus-daemon (scripts/install-deps.sh installs it)";
    SessionBus bus("unix:path=" + socket);

    Shown shown;
    sd_bus* server = nullptr;
    sd_bus_slot* slot = nullptr;
    ASSERT_GE(sd_bus_open_user(&server), 0) << "dbus-daemon (scripts/install-deps.sh installs it)";
    ASSERT_GE(sd_bus_add_object_vtable(server, &slot, "/org/freedesktop/Notifications",
                                       "org.freedesktop.Notifications", kServer, &shown), 0);
    ASSERT_GE(sd_bus_request_name(server, "org.freedesktop.Notifications", 0), 0);
    std::thread serving([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (shown.summary.empty() && std::chrono::steady_clock::now() < until) {
            if (sd_bus_process(server, nullptr) == 0) sd_bus_wait(server, 100000);
        }
    });
    EXPECT_TRUE(NotifyDesktop("Download finished", "/dev/ttyUSB0: 40 records"));
    serving.join();
    sd_bus_slot_unref(slot);
    sd_bus_flush_close_unref(server);
    EXPECT_EQ(shown.application, "Kavrin");
    EXPECT_EQ(shown.summary, "Download finished");
    EXPECT_EQ(shown.body, "/dev/ttyUSB0: 40 records");
}

TEST(DesktopNotification, WithoutASessionBusNothingIsShownAndNothingFails) {
    TempDir dir;
    SessionBus bus("unix:path=" + (dir.path() / "no-bus").string());
    EXPECT_FALSE(NotifyDesktop("Download finished", "/dev/ttyUSB0: 40 records"));
}

}  // namespace
