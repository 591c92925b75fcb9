// kavrin-sim: a virtual reader on a pseudo-terminal, or with --tty on an
// existing tty (a USB gadget's serial port), or with --rfcomm listening on
// an RFCOMM channel as a reader over Bluetooth.
//
// Prints the port path on the first line of standard output, then answers
// requests until interrupted. With --control it reads commands from standard
// input instead and ends when standard input closes (see PrintHelp).
#include <CLI/CLI.hpp>

#include <signal.h>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

#include "sim/fault_rule.h"
#include "sim/virtual_reader.h"

namespace {

const char* const kControlHelp =
    "commands: fault RULE | clear-faults | records N | count N | version MAJOR.MINOR | params HEX8 |\n"
    "          baud B | state | received | clear-received | image FILE | quit\n";

std::string Hex(const uint8_t* p, size_t n) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", p[i]);
        out += buf;
    }
    return out;
}

bool ParseVersion(const std::string& text, uint8_t& major, uint8_t& minor) {
    unsigned a = 0, b = 0;
    char dot = 0;
    std::istringstream in(text);
    if (!(in >> a >> dot >> b) || dot != '.' || a > 255 || b > 255 || !in.eof()) return false;
    major = static_cast<uint8_t>(a);
    minor = static_cast<uint8_t>(b);
    return true;
}

bool ParseParams(const std::string& text, std::array<uint8_t, 4>& params) {
    if (text.size() != 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
    for (size_t i = 0; i < 4; ++i) params[i] = static_cast<uint8_t>(std::stoul(text.substr(2 * i, 2), nullptr, 16));
    return true;
}

void PrintState(const ReaderSnapshot& s) {
    std::cout << "rejected=" << s.rejected << "\n"
              << "received=" << s.received.size() << "\n"
              << "clock=" << (s.clockSet ? Hex(s.clock.data(), s.clock.size()) : "unset") << "\n"
              << "params=" << Hex(s.params.data(), s.params.size()) << "\n"
              << "records=" << s.records.size() << "\n"
              << "firmware.erased=" << s.firmware.erased << "\n"
              << "firmware.started=" << s.firmware.started << "\n"
              << "firmware.finished=" << s.firmware.finished << "\n"
              << "firmware.length=" << s.firmware.length << "\n"
              << "firmware.blocks=" << s.firmware.blocks << "\n"
              << "hungup=" << s.hungUp << "\n";
}

// One control command; false for "quit".
bool RunCommand(VirtualReader& reader, const std::string& line) {
    std::istringstream in(line);
    std::string verb, arg;
    in >> verb >> arg;
    std::string error;
    if (verb == "fault") {
        FaultRule rule;
        if (ParseFaultRule(arg, rule, error)) reader.AddFault(rule);
    } else if (verb == "clear-faults") {
        reader.ClearFaults();
    } else if (verb == "records") {
        reader.SetRecords(GenerateRecords(std::stoul(arg)));
    } else if (verb == "count") {
        ReaderSnapshot s = reader.Snapshot();
        reader.SetRecords(s.records, static_cast<uint32_t>(std::stoul(arg)));
    } else if (verb == "version") {
        uint8_t major, minor;
        if (ParseVersion(arg, major, minor))
            reader.SetVersion(major, minor);
        else
            error = "version is MAJOR.MINOR";
    } else if (verb == "params") {
        std::array<uint8_t, 4> params;
        if (ParseParams(arg, params))
            reader.SetParams(params);
        else
            error = "params are 8 hex digits";
    } else if (verb == "baud") {
        reader.SetBaud(static_cast<unsigned>(std::stoul(arg)));
    } else if (verb == "state") {
        PrintState(reader.Snapshot());
    } else if (verb == "received") {
        for (const auto& frame : reader.Snapshot().received) std::cout << Hex(frame.data(), frame.size()) << "\n";
    } else if (verb == "clear-received") {
        reader.ClearReceived();
    } else if (verb == "image") {
        ReaderSnapshot s = reader.Snapshot();
        std::ofstream out(arg, std::ios::binary);
        out.write(reinterpret_cast<const char*>(s.firmware.received.data()),
                  static_cast<std::streamsize>(s.firmware.received.size()));
        if (!out) error = "cannot write " + arg;
    } else if (verb == "quit") {
        return false;
    } else {
        error = std::string("unknown command; ") + kControlHelp;
    }
    std::cout << (error.empty() ? "ok" : "error: " + error) << std::endl;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"A virtual tag reader on a pseudo-terminal."};
    app.set_version_flag("--version", "kavrin-sim " KAVRIN_VERSION);
    size_t generated = 0;
    std::string recordsFile, version = "1.0", params = "0102030A", link;
    std::optional<uint32_t> count;
    std::vector<std::string> faults;
    unsigned baud = 0;
    bool control = false;
    ReaderConfig config;
    app.add_option("--records", generated, "generate this many FDX-B and HDX records");
    app.add_option("--records-file", recordsFile, "load records: one a line, 32 hex digits")->check(CLI::ExistingFile);
    app.add_option("--count", count, "report this record count instead of the number stored");
    app.add_option("--firmware-version", version, "firmware version MAJOR.MINOR")->capture_default_str();
    app.add_option("--params", params, "the 4-byte parameter block, 8 hex digits")->capture_default_str();
    app.add_option("--fault", faults, "COMMAND:KIND[:ARG[:SKIP[:TIMES]]], repeatable");
    app.add_option("--baud", baud, "pace answers as on a line at this baud rate (0: unpaced)");
    app.add_option("--link", link, "also make a symbolic link to the port at this path");
    app.add_option("--tty", config.tty, "answer on this existing tty instead of a new pseudo-terminal")
        ->check(CLI::ExistingPath);
    app.add_option("--rfcomm", config.rfcommChannel, "listen on this RFCOMM channel instead, as a reader over Bluetooth")
        ->check(CLI::Range(1, 30))
        ->excludes("--tty");
    app.add_flag("--silent-sdp", config.silentSdp,
                 "with --rfcomm, an SDP server that takes every query and never answers")
        ->needs("--rfcomm");
    app.add_flag("--control", control, std::string("read commands on standard input; ") + kControlHelp);
    CLI11_PARSE(app, argc, argv);

    if (!ParseVersion(version, config.versionMajor, config.versionMinor)) {
        std::cerr << "kavrin-sim: --firmware-version is MAJOR.MINOR\n";
        return 2;
    }
    if (!ParseParams(params, config.params)) {
        std::cerr << "kavrin-sim: --params takes 8 hex digits\n";
        return 2;
    }
    std::string error;
    if (!recordsFile.empty() && !LoadRecords(recordsFile, config.records, error)) {
        std::cerr << "kavrin-sim: " << error << "\n";
        return 2;
    }
    std::vector<TagBytes> more = GenerateRecords(generated);
    config.records.insert(config.records.end(), more.begin(), more.end());
    config.reportedCount = count;
    config.baud = baud;

    // Without --control the program waits for SIGINT or SIGTERM. Both are
    // blocked before the reader's threads start, which inherit the mask, and
    // taken by sigwait: a handler could run on one of those threads, or
    // between a look at a flag and pause(), and leave the wait unended.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    if (!control) pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    VirtualReader reader(config);
    for (const std::string& text : faults) {
        FaultRule rule;
        if (!ParseFaultRule(text, rule, error)) {
            std::cerr << "kavrin-sim: " << error << "\n";
            return 2;
        }
        reader.AddFault(rule);
    }
    if (!reader.Start(&error)) {
        std::cerr << "kavrin-sim: " << error << "\n";
        return 1;
    }
    if (!link.empty()) {
        unlink(link.c_str());
        if (symlink(reader.PortPath().c_str(), link.c_str()) != 0) {
            std::perror(("kavrin-sim: " + link).c_str());
            return 1;
        }
    }
    std::cout << reader.PortPath() << std::endl;

    if (control) {
        for (std::string line; std::getline(std::cin, line);) {
            try {
                if (!RunCommand(reader, line)) break;
            } catch (const std::exception&) {
                std::cout << "error: bad number in: " << line << std::endl;
            }
        }
    } else {
        int signal = 0;
        sigwait(&stopSignals, &signal);
    }
    if (!link.empty()) unlink(link.c_str());
    return 0;
}
