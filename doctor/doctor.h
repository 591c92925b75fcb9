// Why a reader cannot be reached: what the checks found, one line each,
// for every front end. The one header the front ends include.
//
// The checks read what the system already knows (on Linux sysfs, /dev,
// /proc, the udev database and rule folders, the running kernel's module
// list; on Windows SetupAPI and the registry) and never open a port the
// user did not choose. Every front end shows their lines as they stand, so
// a text and its remedy are written once, in the check that finds it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "ops/connection.h"

struct Finding {
    std::string text;    // what was found
    std::string remedy;  // what to do about it; empty where nothing is wrong

    bool Problem() const { return !remedy.empty(); }
};

// "text" or "text: remedy".
std::string FindingLine(const Finding& finding);
// A window's text of the findings: each on its line, its remedy on the
// next, indented, and a blank line after each.
std::string FindingsText(const std::vector<Finding>& findings, const char* lineEnd);

// Everything for kavrin-cli doctor: the serial ports present and the
// adapters whose port is missing, then, for `port` (none when empty), what
// keeps it from this program.
std::vector<Finding> CheckReach(const std::string& port);

// Why `port` did not open with `status`, where the checks find more than
// the status says: who holds a busy port, which group a refused user
// lacks, which driver a missing port waits for.
std::optional<Finding> WhyNotOpened(const std::string& port, const OpenStatus& status);

// Why a port that opened may not answer as a reader: another program has
// it open as well, or ModemManager probes it.
std::optional<Finding> WhyNoAnswer(const std::string& port);

// The line a front end adds after the connection's own when no reader
// could be reached ("CommPort open failed!", "Connect reader failed!"):
// why the port did not open, the holder of a busy port named, or what the
// port answered instead of a reader.
//
// "PORT: what went wrong[: what to do]", from the checks where they find
// more than the status says.
std::string OpenFailureLine(const std::string& port, const OpenStatus& status);
// What the answer to the version request tells: the version, silence, or
// bytes no reader sends.
Finding ReaderAnswer(const std::string& port, const ConnectResult& connection);
// Why the connection failed, as the checks find it where they find more
// than the result says; its line is ConnectFailureLine's.
Finding ConnectFailure(const std::string& port, const ConnectResult& connection);
// The one line for a connection that failed.
std::string ConnectFailureLine(const std::string& port, const ConnectResult& connection);
// What a window shows after a failed Connect: why it failed, then every
// check of CheckReach(port), each once.
std::vector<Finding> ConnectDiagnosis(const std::string& port, const ConnectResult& connection);

// The latency timer of the USB serial adapter behind `port`, where the
// system shows one (adapter_latency.h), as each front end shows it.
// "latency timer 16 ms", the field of a port's long description; empty
// where no timer is shown.
std::string LatencyField(const std::string& port);
// "PORT: adapter latency timer: 16 ms" and, above 1 ms, a line on how to
// lower it; nothing where no timer is shown. Read while the port is open:
// the driver may lower the timer for an open port that asked for low latency.
std::vector<std::string> LatencyLines(const std::string& port);

// What the checks tell about every serial port without a word to a reader:
// the ports present with what the system knows of them, the adapters whose
// driver failed or that have no port, each port another program holds, and
// each adapter's latency timer. kavrin-cli doctor adds the reader's answer
// on one port; a window that never talks to a reader shows these alone.
// Opens no port on Linux; on Windows each present port but a Bluetooth one
// is opened and closed at once, as the window's start-up probe does, since
// only that tells a held port.
std::vector<Finding> SurveyPorts();
