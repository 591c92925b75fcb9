// What kavrin-cli's exit status tells a script.
#pragma once

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the reader, the port or a file failed
inline constexpr int kExitUsage = 2;   // bad usage or bad arguments; nothing was sent
// Stopped by an interrupt (Ctrl-C, SIGTERM, SIGHUP, the console closing),
// as a shell reports a program that SIGINT ended. On Linux the program then
// ends by the signal itself (EndAsInterrupted), which the shell reports.
inline constexpr int kExitInterrupted = 130;
