// kavrin-cli's arguments to an exit status.
//
// Everything on the command line is checked before any subcommand starts,
// so bad usage ends with kExitUsage before a byte reaches a reader.
#pragma once

// `argv` in UTF-8, program name first.
int RunCommandLine(int argc, const char* const* argv);
