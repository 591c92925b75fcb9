#include "cli/reader_session.h"

#include "cli/exit_codes.h"
#include "cli/open_failure.h"
#include "cli/port_choice.h"
#include "ops/connection.h"
#include "ops/state.h"

namespace {

const char* const kNoAnswer = ": no reader answered; check that it is switched on and attached to this port";

}  // namespace

int WithReader(const GlobalOptions& global, CliFeedback& ui, const std::function<int()>& work) {
    PortChoice choice = ChoosePort(global.port, ui);
    if (choice.port.empty()) return choice.exitCode;
    ui.port = choice.port;

    OnBnClickedConnect(ui);
    if (!g_bConnected) {
        OpenStatus status = LastOpenStatus();
        ui.Say(status.failure == OpenFailure::None ? ui.port + kNoAnswer : DescribeOpenFailure(ui.port, status));
        return kExitFailed;
    }
    int exitCode = work();
    // A finished upgrade disconnects by itself.
    if (g_bConnected) OnBnClickedConnect(ui);
    return exitCode;
}

std::function<int()> OnReader(const GlobalOptions& global, std::function<int(CliFeedback&)> work) {
    return [&global, work] {
        CliFeedback ui;
        return WithReader(global, ui, [&ui, &work] { return work(ui); });
    };
}
