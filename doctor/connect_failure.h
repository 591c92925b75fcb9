// The line a front end adds after the connection's own when no reader
// could be reached ("CommPort open failed!", "Connect reader failed!"):
// why the port did not open, the holder of a busy port named, or what the
// port answered instead of a reader.
#pragma once

#include <string>

#include "doctor/finding.h"
#include "link/serial_port.h"
#include "ops/connection.h"

// "PORT: what went wrong[: what to do]", from the checks where they find
// more than the status says.
std::string OpenFailureLine(const std::string& port, const OpenStatus& status);

// What the answer to the version request tells: the version, silence, or
// bytes no reader sends.
Finding ReaderAnswer(const std::string& port, const ConnectResult& connection);

// The one line for a connection that failed.
std::string ConnectFailureLine(const std::string& port, const ConnectResult& connection);
