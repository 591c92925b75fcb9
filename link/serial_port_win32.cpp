#include "link/serial_port.h"

#include <windows.h>

#include "link/port_timeouts.h"
#include "link/utf.h"

namespace {

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return NarrowFromWide(message);
}

OpenStatus Fail(OpenFailure failure, DWORD code) { return {failure, code ? SystemMessage(code) : std::string()}; }

OpenFailure FailureFromError(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return OpenFailure::NotFound;
    // A COM port held by another program answers "access denied" on
    // Windows; Wine reports a tty held with TIOCEXCL as a lock violation.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return OpenFailure::Busy;
    default: return OpenFailure::Other;
    }
}

// "COM10:" only opens as \\.\COM10; the device path works for COM1 to COM9 too.
std::wstring DevicePath(const std::string& name) {
    std::string base = name;
    if (!base.empty() && base.back() == ':') base.pop_back();
    bool isCom = base.size() > 3 && (base[0] == 'C' || base[0] == 'c') && (base[1] == 'O' || base[1] == 'o') &&
                 (base[2] == 'M' || base[2] == 'm') &&
                 base.find_first_not_of("0123456789", 3) == std::string::npos;
    return isCom ? L"\\\\.\\" + WideFromNarrow(base) : WideFromNarrow(name);
}

HANDLE Win(PortHandle handle) { return static_cast<HANDLE>(handle); }

// A handle that is no serial port fails the Comm calls with ERROR_INVALID_HANDLE.
OpenStatus FailToConfigure() {
    DWORD code = GetLastError();
    return Fail(code == ERROR_INVALID_HANDLE ? OpenFailure::NotSerial : OpenFailure::Other, code);
}

}  // namespace

OpenStatus OpenPort(PortHandle& handle, const std::string& name) {
    if (handle != nullptr) return Fail(OpenFailure::AlreadyOpen, 0);

    HANDLE h = CreateFileW(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        return Fail(FailureFromError(code), code);
    }
    handle = h;

    SetupComm(h, 256, 256);

    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    // Without the driver's settings there is nothing sound to change; and a
    // port left without time-outs (below) could block a read for ever.
    if (!GetCommState(h, &dcb)) return FailToConfigure();
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!SetCommState(h, &dcb)) return FailToConfigure();

    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = kReadIntervalTimeoutMs;
    timeouts.ReadTotalTimeoutMultiplier = kReadTotalMultiplierMs;
    timeouts.ReadTotalTimeoutConstant = kReadTotalConstantMs;
    timeouts.WriteTotalTimeoutMultiplier = kWriteTotalMultiplierMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTotalConstantMs;
    if (!SetCommTimeouts(h, &timeouts)) return FailToConfigure();
    return {};
}

void ClosePort(PortHandle& handle) {
    if (handle != nullptr) CloseHandle(Win(handle));
    handle = nullptr;
}

void PurgePort(PortHandle handle, PurgeQueue queue) {
    if (handle != nullptr) PurgeComm(Win(handle), queue == PurgeQueue::Transmit ? PURGE_TXCLEAR : PURGE_RXCLEAR);
}

bool WritePort(PortHandle handle, const uint8_t* data, size_t size, size_t& transferred) {
    DWORD written = 0;
    BOOL ok = handle != nullptr && WriteFile(Win(handle), data, static_cast<DWORD>(size), &written, nullptr);
    transferred = written;
    return ok;
}

bool ReadPort(PortHandle handle, uint8_t* data, size_t size, size_t& transferred) {
    DWORD got = 0;
    BOOL ok = handle != nullptr && ReadFile(Win(handle), data, static_cast<DWORD>(size), &got, nullptr);
    transferred = got;
    return ok;
}

bool ReadLineSettings(PortHandle handle, LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (handle == nullptr || !GetCommState(Win(handle), &dcb)) return false;
    settings.baudRate = dcb.BaudRate;
    settings.dataBits = dcb.ByteSize;
    settings.parity = dcb.Parity != NOPARITY;
    settings.stopBits = dcb.StopBits == ONESTOPBIT ? 1 : 2;
    settings.hardwareFlow = dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    settings.softwareFlow = dcb.fOutX || dcb.fInX;
    return true;
}
