// Why a port does not open, in words a user can act on.
#pragma once

#include <string>

#include "link/serial_port.h"

// "PORT: what went wrong[: what to do]".
std::string DescribeOpenFailure(const std::string& port, const OpenStatus& status);
