// Programs that keep a port from us: one that has it open, named with its
// PID where /proc lets us read its descriptors, and ModemManager, which
// opens new ttyACM ports to ask them whether they are modems.
#include <system_error>

#include "doctor/linux_checks.h"
#include "doctor/process_table.h"
#include "ops/format_text.h"

namespace {

const char* const kHeldBy = "%s is held by %s";
const char* const kHolder = "%s (pid %d)";
const char* const kQuit = "quit %s, or end it: kill %d";
const char* const kHeldByOther = "%s is held by a program of another user";
const char* const kNameIt = "sudo lsof %s names it";
const char* const kModemManager = "ModemManager runs and may take %s for a modem, holding it while it probes";
const char* const kIgnoreRule = "mark the adapter ID_MM_DEVICE_IGNORE with a udev rule: see %s";
const char* const kModemManagerName = "ModemManager";
const char* const kAcmPrefix = "ttyACM";

}  // namespace

std::optional<Finding> PortHolder(const Host& host, const std::string& port, bool busy) {
    PortHolders holders = HoldersOf(host, port);
    if (holders.found.empty()) {
        if (busy && holders.unreadable)
            return Finding{FormatText(kHeldByOther, port.c_str()), FormatText(kNameIt, port.c_str())};
        return std::nullopt;
    }
    std::string names;
    for (const RunningProgram& program : holders.found)
        names += (names.empty() ? "" : ", ") + FormatText(kHolder, program.name.c_str(), program.pid);
    const RunningProgram& first = holders.found.front();
    return Finding{FormatText(kHeldBy, port.c_str(), names.c_str()),
                   FormatText(kQuit, first.name.c_str(), first.pid)};
}

std::optional<Finding> ModemManagerProbe(const Host& host, const std::string& port) {
    std::error_code error;
    std::string tty = std::filesystem::canonical(port, error).filename().string();
    if (error || !tty.starts_with(kAcmPrefix) || !ProgramRunning(host, kModemManagerName)) return std::nullopt;
    if (host.udev(tty).modemManagerIgnores) return std::nullopt;
    return Finding{FormatText(kModemManager, port.c_str()), FormatText(kIgnoreRule, kShippedUdevRules)};
}
