// kavrin-cli's arguments to an exit status: the command line parsed and
// checked (command_line.h), then the one subcommand it names run with its
// options.
#pragma once

// `argv` in UTF-8, program name first.
int RunCommandLine(int argc, const char* const* argv);
