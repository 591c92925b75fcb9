// kavrin-cli doctor: why the reader cannot be reached, one line a finding
// on standard output, each problem with what to do; then the reader's
// answer to the version request on the port named with --port or the one
// adapter present. Exit status 0 only when a reader answered.
#include <algorithm>
#include <cstdio>

#include "cli/cli_feedback.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "doctor/doctor.h"
#include "link/port_list.h"

namespace {

void Print(const std::string& line) { std::printf("%s\n", line.c_str()); }

}  // namespace

// The port is chosen as for every subcommand, but said only when there is
// none: the checks come first, and they name the ports present.
int RunDoctor(const GlobalOptions& global) {
    CliFeedback ui;
    const std::vector<std::string> adapters = global.port ? std::vector<std::string>{} : AdapterPorts();
    const std::string port = global.port ? *global.port : AdapterChoice(adapters).port;
    std::vector<std::string> printed;
    for (const Finding& finding : CheckReach(port)) {
        printed.push_back(FindingLine(finding));
        Print(printed.back());
    }
    std::fflush(stdout);
    if (port.empty()) {
        ChooseAdapter(adapters, ui);
        return kExitFailed;
    }

    PortHandle handle = nullptr;
    ConnectResult connection = ConnectReader(ui, port, handle);
    if (!connection.connected) {
        std::string line = ConnectFailureLine(port, connection);
        // The checks may have said it already.
        if (std::find(printed.begin(), printed.end(), line) == printed.end()) Print(line);
        return kExitFailed;
    }
    Print(FindingLine(ReaderAnswer(port, connection)));
    DisconnectReader(handle);
    return kExitOk;
}
