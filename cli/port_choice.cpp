#include "cli/port_choice.h"

#include "cli/exit_codes.h"
#include "link/port_list.h"

namespace {

const char* const kNoAdapter =
    "no USB serial adapter found: plug in the reader, or name its port with --port "
    "(kavrin-cli ports lists the serial ports)";
const char* const kSeveralAdapters = "several USB serial adapters; name the reader's with --port:";
const char* const kUsing = "using ";

// The port, with what the system tells about it where it tells anything.
std::string Described(const std::string& port) {
    std::string description = DescribePort(port);
    return description.empty() ? port : port + "  " + description;
}

}  // namespace

PortChoice ChoosePort(const std::optional<std::string>& named, CliFeedback& ui) {
    if (named) return {*named, kExitOk};
    return ChooseAdapter(AdapterPorts(), ui);
}

PortChoice ChooseAdapter(const std::vector<std::string>& adapters, CliFeedback& ui) {
    if (adapters.empty()) {
        ui.Say(kNoAdapter);
        return {{}, kExitFailed};
    }
    if (adapters.size() > 1) {
        ui.Say(kSeveralAdapters);
        for (const std::string& port : adapters) ui.SayItem(Described(port));
        return {{}, kExitUsage};
    }
    const std::string& port = adapters.front();
    ui.Say(kUsing + port);
    return {port, kExitOk};
}
