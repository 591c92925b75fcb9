// Fault rules written as text, for the command line and the control channel:
// COMMAND:KIND[:ARG[:SKIP[:TIMES]]], where COMMAND is a hex code (41), a
// name (GET_RECORDS or CMD_GET_RECORDS) or "all", and KIND is one of
// silent, wrong-header, short-body, status, late, garbage, empty, hangup,
// count-byte, store, flip-bit.
#pragma once

#include <string>

#include "sim/virtual_reader.h"

bool ParseFaultRule(const std::string& text, FaultRule& rule, std::string& error);
