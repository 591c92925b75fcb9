// The serial port the reader hangs on.
//
// One API, one implementation per platform (serial_port_win32.cpp,
// serial_port_posix.cpp). A port is always opened in the one line setting
// the reader speaks: 115200 baud, 8 data bits, no parity, 1 stop bit, no
// flow control, DTR and RTS raised where the device has modem lines (a
// pseudo-terminal has none, which is not an error). A port is held
// exclusively: a second open of the same port fails. On Linux that holds
// against every program that locks the port as we do (flock), root
// included, and against any other opener without CAP_SYS_ADMIN (TIOCEXCL).
// A node that still belongs to root alone, as one does until udev has
// applied its rules after plug-in, is tried again for up to a second
// before the refusal is reported.
//
// Reads and writes behave as Windows' COMMTIMEOUTS set to 800/800/400 and
// 800/2000: a read of k bytes gives up 800*k+400 ms after the call, or 800 ms
// after the last byte once one has arrived; a write of k bytes gives up after
// 800*k+2000 ms. Running out of time is not an error: the call succeeds with
// fewer bytes and the caller compares counts. A call fails only when the
// device does (it vanished, it was never open).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Opaque, pointer-sized; nullptr means no port is open.
using PortHandle = void*;

// Why a port did not open, for front ends that can say more than the
// fixed log line.
enum class OpenFailure { None, AlreadyOpen, NotFound, AccessDenied, Busy, NotSerial, Other };
struct OpenStatus {
    OpenFailure failure = OpenFailure::None;
    std::string detail;  // the operating system's words, where it gave any

    bool Opened() const { return failure == OpenFailure::None; }
};

// Opens `name` ("COM3:" or "COM3" on Windows, a device path elsewhere, or
// on Linux a reader's Bluetooth address, bt:00:11:22:33:44:55, reached
// over an RFCOMM socket with the same deadlines: rfcomm_socket.h) into
// `handle`; failure None when the port is open and configured. A handle
// that is already set gives AlreadyOpen and leaves that port untouched.
// After a failure the handle may hold a port that opened but could not be
// configured: callers release it with ClosePort whatever the result.
OpenStatus OpenPort(PortHandle& handle, const std::string& name);
// The same as 0 (open) or 1.
inline int OpenCommPort(PortHandle& handle, const std::string& name) { return OpenPort(handle, name).Opened() ? 0 : 1; }

// Closes the port (if any) and sets the handle to nullptr.
void ClosePort(PortHandle& handle);

enum class PurgeQueue { Transmit, Receive };
void PurgePort(PortHandle handle, PurgeQueue queue);

// `transferred` receives the count moved before the time-out. False only when
// the port itself failed or there is no port.
bool WritePort(PortHandle handle, const uint8_t* data, size_t size, size_t& transferred);
bool ReadPort(PortHandle handle, uint8_t* data, size_t size, size_t& transferred);

// The line as the driver reports it now.
struct LineSettings {
    uint32_t baudRate = 0;
    int dataBits = 0;
    bool parity = false;
    int stopBits = 0;
    bool hardwareFlow = false;
    bool softwareFlow = false;
};
bool ReadLineSettings(PortHandle handle, LineSettings& settings);
