// Whether a port opens, and if not why, in words a user can act on.
#pragma once

#include <string>

#include "link/serial_port.h"

// Opens the port and closes it again, sending nothing; failure None when it opened.
OpenStatus ProbePort(const std::string& port);

// "PORT: what went wrong[: what to do]".
std::string DescribeOpenFailure(const std::string& port, const OpenStatus& status);
