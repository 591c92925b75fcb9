#include "cli/reader_session.h"

#include "cli/exit_codes.h"
#include "cli/open_failure.h"
#include "cli/port_choice.h"
#include "ops/connection.h"
#include "ops/state.h"

namespace {

const char* const kNoAnswer = ": no reader answered; check that it is switched on and attached to this port";

}  // namespace

int WithReader(const GlobalOptions& global, CliFeedback& ui, const std::function<int(const ConnectResult&)>& work) {
    PortChoice choice = ChoosePort(global.port, ui);
    if (choice.port.empty()) return choice.exitCode;
    ui.port = choice.port;

    ConnectResult connection = OnBnClickedConnect(ui);
    if (!connection.connected) {
        ui.Say(connection.outcome == Outcome::PortFailed ? DescribeOpenFailure(ui.port, connection.open)
                                                         : ui.port + kNoAnswer);
        return kExitFailed;
    }
    int exitCode = work(connection);
    // A finished upgrade disconnects by itself.
    if (g_bConnected) OnBnClickedConnect(ui);
    return exitCode;
}

std::function<int()> OnReader(const GlobalOptions& global,
                              std::function<int(CliFeedback&, const ConnectResult&)> work) {
    return [&global, work] {
        CliFeedback ui;
        return WithReader(global, ui, [&ui, &work](const ConnectResult& connection) { return work(ui, connection); });
    };
}

std::function<int()> OnReader(const GlobalOptions& global, std::function<int(CliFeedback&)> work) {
    return OnReader(global, [work](CliFeedback& ui, const ConnectResult&) { return work(ui); });
}
