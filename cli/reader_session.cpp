#include "cli/reader_session.h"

#include "doctor/doctor.h"
#include "link/port_list.h"

namespace {

const char* const kNoAdapter =
    "no USB serial adapter or Bluetooth reader found: plug in the reader, or name its port with --port "
    "(kavrin-cli ports lists the serial ports)";
const char* const kSeveralAdapters = "several USB serial adapters or Bluetooth readers; name the reader's with --port:";
const char* const kUsing = "using ";

// The port, with what the system tells about it where it tells anything.
std::string Described(const std::string& port) {
    std::string description = DescribePort(port);
    return description.empty() ? port : port + "  " + description;
}

}  // namespace

PortChoice AdapterChoice(const std::vector<std::string>& adapters) {
    if (adapters.empty()) return {{}, kExitFailed};
    if (adapters.size() > 1) return {{}, kExitUsage};
    return {adapters.front(), kExitOk};
}

PortChoice ChooseAdapter(const std::vector<std::string>& adapters, CliFeedback& ui) {
    const PortChoice choice = AdapterChoice(adapters);
    if (!choice.port.empty()) {
        ui.Say(kUsing + choice.port);
    } else if (adapters.empty()) {
        ui.Say(kNoAdapter);
    } else {
        ui.Say(kSeveralAdapters);
        for (const std::string& port : adapters) ui.SayItem(Described(port));
    }
    return choice;
}

std::optional<Reader> ConnectToReader(const GlobalOptions& global, CliFeedback& ui, int& exitCode) {
    PortChoice choice = global.port ? PortChoice{*global.port, kExitOk} : ChooseAdapter(AdapterPorts(), ui);
    exitCode = choice.exitCode;
    if (choice.port.empty()) return std::nullopt;

    Reader reader{nullptr, choice.port, {}};
    reader.connection = ConnectReader(ui, choice.port, reader.port);
    if (!reader.connection.connected) {
        ui.Say(ConnectFailureLine(choice.port, reader.connection));
        exitCode = kExitFailed;
        return std::nullopt;
    }
    return reader;
}

void DisconnectFromReader(Reader& reader) { DisconnectReader(reader.port); }

int ExitStatusFor(CliFeedback& ui, const OpResult& result) {
    switch (result.outcome) {
    case Outcome::Ok: return kExitOk;
    case Outcome::Stopped: return kExitInterrupted;
    case Outcome::Refused: ui.Say(RefusalText(result)); return kExitFailed;
    default: return kExitFailed;
    }
}
