#include "doctor/process_table.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kPtyMaster = "ptmx";
const char* const kPtySlaves = "pts";

// Every process folder under /proc, by number.
std::vector<RunningProgram> Processes(const Host& host) {
    std::vector<RunningProgram> programs;
    std::error_code error;
    for (fs::directory_iterator it(host.proc, error), end; !error && it != end; it.increment(error)) {
        std::string pid = it->path().filename().string();
        if (pid.empty() || !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; })) continue;
        RunningProgram program{std::stoi(pid), {}};
        std::ifstream comm(it->path() / "comm");
        std::getline(comm, program.name);
        programs.push_back(program);
    }
    return programs;
}

}  // namespace

bool ProgramRunning(const Host& host, std::string_view name) {
    std::vector<RunningProgram> programs = Processes(host);
    return std::any_of(programs.begin(), programs.end(),
                       [&](const RunningProgram& program) { return program.name.starts_with(name); });
}

PortHolders HoldersOf(const Host& host, const std::string& node) {
    PortHolders holders;
    std::error_code error;
    fs::path device = fs::canonical(node, error);
    if (error) return holders;
    for (const RunningProgram& program : Processes(host)) {
        if (program.pid == getpid()) continue;
        fs::path fds = host.proc / std::to_string(program.pid) / "fd";
        fs::directory_iterator it(fds, error), end;
        // A process that ended meanwhile holds nothing.
        if (error) {
            holders.unreadable |= error != std::errc::no_such_file_or_directory;
            continue;
        }
        bool holds = false;
        bool master = false;
        for (; !error && it != end; it.increment(error)) {
            std::error_code linkError;
            fs::path target = fs::read_symlink(it->path(), linkError);
            holds |= target == device;
            master |= target.filename() == kPtyMaster;
        }
        // The program on a pseudo-terminal's master side is the device itself.
        if (holds && !(master && device.parent_path().filename() == kPtySlaves)) holders.found.push_back(program);
    }
    return holders;
}
