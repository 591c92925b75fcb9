// The port time-outs, in milliseconds, as COMMTIMEOUTS takes them.
#pragma once

inline constexpr unsigned kReadIntervalTimeoutMs = 800;
inline constexpr unsigned kReadTotalMultiplierMs = 800;
inline constexpr unsigned kReadTotalConstantMs = 400;
inline constexpr unsigned kWriteTotalMultiplierMs = 800;
inline constexpr unsigned kWriteTotalConstantMs = 2000;
inline constexpr unsigned kBaudRate = 115200;
