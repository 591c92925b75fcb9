// Who may open a port's node: its owner, group and mode against this
// process's groups, and against the user's groups in the group database,
// which a login reads only when it starts.
#include <algorithm>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>

#include "doctor/linux_checks.h"
#include "ops/format_text.h"

namespace {

const char* const kMayOpen = "%s (%s): this user may open it";
const char* const kUdevBusy = "%s (%s) still belongs to root: udev has not yet set it up";
const char* const kWait = "wait a moment and try again; if it stays so, no udev rule gives it to a group";
const char* const kNotYet = "%s (%s): %s joined group %s after this login began";
const char* const kLogInAgain = "log out and in again";
const char* const kNotMember = "%s (%s): %s is not in group %s";
const char* const kAddToGroup = "sudo usermod -aG %s %s, then log out and in again";
const char* const kOwnerOnly = "%s (%s): only its owner may open it";
const char* const kAskForRule = "ask the administrator for a udev rule that gives it to a group of yours";

struct Group {
    std::string name;
    std::vector<std::string> members;
};

// The group `gid` in a group file (name:password:gid:member,member).
Group FindGroup(const Host& host, gid_t gid) {
    std::ifstream in(host.groupFile);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, ':');) fields.push_back(field);
        if (fields.size() < 3 || fields[2] != std::to_string(gid)) continue;
        Group group{fields[0], {}};
        std::istringstream members(fields.size() > 3 ? fields[3] : std::string());
        for (std::string member; std::getline(members, member, ',');) group.members.push_back(member);
        return group;
    }
    return {std::to_string(gid), {}};
}

std::string OwnerName(uid_t uid) {
    const passwd* owner = getpwuid(uid);
    return owner ? owner->pw_name : std::to_string(uid);
}

// "crw-rw---- root dialout", as ls -l shows a node.
std::string NodeText(const struct stat& node, const std::string& group) {
    std::string mode = S_ISCHR(node.st_mode) ? "c" : "-";
    const char* letters = "rwx";
    for (int bit = 8; bit >= 0; --bit) mode += (node.st_mode & (1u << bit)) ? letters[(8 - bit) % 3] : '-';
    return mode + " " + OwnerName(node.st_uid) + " " + group;
}

bool MayOpen(const Identity& identity, const struct stat& node) {
    constexpr mode_t kOwnerRw = S_IRUSR | S_IWUSR, kGroupRw = S_IRGRP | S_IWGRP, kOtherRw = S_IROTH | S_IWOTH;
    const std::vector<gid_t>& groups = identity.processGroups;
    return identity.uid == 0 || (node.st_mode & kOtherRw) == kOtherRw ||
           (identity.uid == node.st_uid && (node.st_mode & kOwnerRw) == kOwnerRw) ||
           (std::find(groups.begin(), groups.end(), node.st_gid) != groups.end() &&
            (node.st_mode & kGroupRw) == kGroupRw);
}

}  // namespace

std::optional<Finding> NodeAccess(const Host& host, const std::string& port) {
    struct stat node {};
    if (stat(port.c_str(), &node) != 0) return std::nullopt;
    const Identity& identity = host.identity;
    Group group = FindGroup(host, node.st_gid);
    std::string text = NodeText(node, group.name);
    const char* user = identity.user.c_str();
    if (MayOpen(identity, node)) return Finding{FormatText(kMayOpen, port.c_str(), text.c_str()), {}};
    if (node.st_uid == 0 && node.st_gid == 0) {
        std::error_code error;
        UdevFacts udev = host.udev(std::filesystem::canonical(port, error).filename().string());
        if (udev.running && !udev.initialized) return Finding{FormatText(kUdevBusy, port.c_str(), text.c_str()), kWait};
    }
    if ((node.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || node.st_gid == 0)
        return Finding{FormatText(kOwnerOnly, port.c_str(), text.c_str()), kAskForRule};
    bool member = node.st_gid == identity.primaryGroup ||
                  std::find(group.members.begin(), group.members.end(), identity.user) != group.members.end();
    if (member) return Finding{FormatText(kNotYet, port.c_str(), text.c_str(), user, group.name.c_str()), kLogInAgain};
    return Finding{FormatText(kNotMember, port.c_str(), text.c_str(), user, group.name.c_str()),
                   FormatText(kAddToGroup, group.name.c_str(), user)};
}
