// Linux: where the checks read the system. Every root can be replaced, so
// tests lay out a machine of their own (sysfs, /dev, /proc, the group
// database, udev's rule folders, the kernel's module lists); udev's
// database is reached through libudev, so tests give its answers instead.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "link/device_tree.h"

// What udev's database says about one tty.
struct UdevFacts {
    bool running = false;      // udev is at work on this machine
    bool initialized = false;  // udev has applied its rules to the tty
    bool modemManagerIgnores = false;  // ID_MM_DEVICE_IGNORE is set
};

// Who this process is, and who its user is in the user database.
struct Identity {
    uid_t uid = 0;                     // effective
    std::vector<gid_t> processGroups;  // effective and supplementary
    std::string user;                  // login name
    gid_t primaryGroup = 0;            // the user's group in the user database
};

struct Host {
    DeviceTree tree;
    std::filesystem::path sys = "/sys";
    std::filesystem::path proc = "/proc";
    std::filesystem::path groupFile = "/etc/group";
    std::filesystem::path modules;  // /lib/modules/<running kernel>
    // udev's rule folders, the one whose file wins a name first.
    std::vector<std::filesystem::path> ruleFolders{"/etc/udev/rules.d", "/run/udev/rules.d",
                                                   "/usr/local/lib/udev/rules.d", "/usr/lib/udev/rules.d",
                                                   "/lib/udev/rules.d"};
    std::vector<std::filesystem::path> programFolders{"/usr/bin", "/bin", "/usr/sbin", "/sbin"};
    Identity identity;
    std::function<UdevFacts(const std::string& tty)> udev;  // by tty name: ttyACM0
};

// What libudev tells about the tty `tty` of this machine.
UdevFacts ReadUdevFacts(const std::string& tty);

// This machine as it is now.
Host ThisHost();
