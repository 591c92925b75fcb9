// Linux: what an errno from opening or checking a tty means for the user,
// so the open and the listing name a failure alike.
#pragma once

#include "link/serial_port.h"

OpenFailure FailureFromErrno(int err);
