#include "doctor/host.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

Identity ThisIdentity() {
    Identity identity;
    identity.uid = geteuid();
    identity.processGroups.push_back(getegid());
    int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<size_t>(count));
        count = getgroups(count, groups.data());
        if (count > 0) identity.processGroups.insert(identity.processGroups.end(), groups.begin(), groups.begin() + count);
    }
    if (const passwd* user = getpwuid(getuid())) {
        identity.user = user->pw_name;
        identity.primaryGroup = user->pw_gid;
    }
    return identity;
}

}  // namespace

Host ThisHost() {
    Host host;
    utsname system{};
    if (uname(&system) == 0) host.modules = std::filesystem::path("/lib/modules") / system.release;
    host.identity = ThisIdentity();
    host.udev = ReadUdevFacts;
    return host;
}
