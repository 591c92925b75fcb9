#include "link/serial_port.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "link/bluetooth_port_name.h"
#include "link/deadline.h"
#include "link/errno_failure.h"
#include "link/port_timeouts.h"
#include "link/rfcomm_socket.h"

namespace {

struct PosixPort {
    int fd = -1;
    termios original{};
    bool restoreOriginal = false;
    // The low-latency flag was off and this open turned it on.
    bool clearLowLatency = false;
    // An RFCOMM socket (rfcomm_socket.h) rather than a tty.
    bool socket = false;
};

OpenStatus Fail(OpenFailure failure, int err) { return {failure, err ? std::strerror(err) : std::string()}; }

PosixPort* Port(PortHandle handle) { return static_cast<PosixPort*>(handle); }

// Fills `settings` with the one line setting of the reader, leaving
// everything else as the driver had it.
void ApplyLineSettings(termios& tio) {
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Timing is done with poll and deadlines, never with VMIN/VTIME.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

// USB adapters buffer for up to 16 ms unless asked not to. Drivers without
// the request (a pseudo-terminal, a built-in UART) simply refuse it. True
// when this turned the flag on: the driver keeps it after the port closes
// (ftdi_sio keeps its latency timer at 1 ms), so closing turns it off again.
bool RequestLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY)) return false;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

void ClearLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    serial.flags &= ~ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

// Waits for `events` until `deadline`; 1 ready, 0 timed out, -1 failed or hung up.
int WaitFor(int fd, short events, const Deadline& deadline) {
    for (;;) {
        pollfd pfd{fd, events, 0};
        int rc = poll(&pfd, 1, deadline.RemainingMs());
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0) return -1;
        if (rc == 0) return 0;
        if (pfd.revents & events) return 1;
        return -1;  // POLLHUP, POLLERR or POLLNVAL without data
    }
}

// A reader reached by its Bluetooth address: a socket, read and written as
// the tty would be.
OpenStatus OpenBluetoothPort(PortHandle& handle, const std::string& name) {
    int fd = -1;
    OpenStatus status = ConnectRfcomm(name, fd);
    if (status.Opened()) handle = new PosixPort{.fd = fd, .socket = true};
    return status;
}

// Right after plug-in a node belongs to root alone until udev has applied
// its rules (a few hundred milliseconds), and an open is refused meanwhile.
constexpr std::chrono::milliseconds kUdevSettleMs(1000);
constexpr std::chrono::milliseconds kUdevRetryMs(50);

bool OwnedByRootAlone(const std::string& name) {
    struct stat node {};
    return stat(name.c_str(), &node) == 0 && node.st_uid == 0 && node.st_gid == 0;
}

// open(2), tried again while a refused node still belongs to root alone.
int OpenNode(const std::string& name) {
    Deadline settle(kUdevSettleMs);
    for (;;) {
        int fd = open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0 || errno != EACCES) return fd;
        if (!OwnedByRootAlone(name) || settle.RemainingMs() == 0) {
            errno = EACCES;
            return -1;
        }
        std::this_thread::sleep_for(kUdevRetryMs);
    }
}

}  // namespace

OpenStatus OpenPort(PortHandle& handle, const std::string& name) {
    if (handle != nullptr) return Fail(OpenFailure::AlreadyOpen, 0);
    if (IsBluetoothPortName(name)) return OpenBluetoothPort(handle, name);

    int fd = OpenNode(name);
    if (fd < 0) return Fail(FailureFromErrno(errno), errno);
    // As close to a Windows port opened with share mode 0 as Linux allows.
    // flock is advisory: it keeps out every program that also flocks (all
    // of ours, root included), not one that simply opens. TIOCEXCL below
    // makes the kernel refuse any further open of the tty, except from a
    // process with CAP_SYS_ADMIN, which it does not bind.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(fd);
        return Fail(err == EWOULDBLOCK ? OpenFailure::Busy : FailureFromErrno(err), err);
    }

    auto* port = new PosixPort;
    port->fd = fd;
    handle = port;

    if (tcgetattr(fd, &port->original) != 0) return Fail(OpenFailure::NotSerial, errno);
    port->restoreOriginal = true;
    ioctl(fd, TIOCEXCL);

    termios tio = port->original;
    ApplyLineSettings(tio);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return Fail(OpenFailure::Other, errno);

    // Raise DTR and RTS; a device without modem lines refuses, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    port->clearLowLatency = RequestLowLatency(fd);
    return {};
}

void ClosePort(PortHandle& handle) {
    PosixPort* port = Port(handle);
    handle = nullptr;
    if (port == nullptr) return;
    if (port->clearLowLatency) ClearLowLatency(port->fd);
    if (port->restoreOriginal) {
        tcsetattr(port->fd, TCSANOW, &port->original);
        ioctl(port->fd, TIOCNXCL);
    }
    close(port->fd);
    delete port;
}

void PurgePort(PortHandle handle, PurgeQueue queue) {
    PosixPort* port = Port(handle);
    if (port == nullptr) return;
    // A socket's unsent bytes are the kernel's alone: only the received ones can go.
    if (port->socket && queue == PurgeQueue::Receive) DiscardReceived(port->fd);
    if (!port->socket) tcflush(port->fd, queue == PurgeQueue::Transmit ? TCOFLUSH : TCIFLUSH);
}

bool WritePort(PortHandle handle, const uint8_t* data, size_t size, size_t& transferred) {
    transferred = 0;
    PosixPort* port = Port(handle);
    if (port == nullptr) return false;
    Deadline total(std::chrono::milliseconds(kWriteTotalMultiplierMs * size + kWriteTotalConstantMs));
    while (transferred < size) {
        ssize_t n = write(port->fd, data + transferred, size - transferred);
        if (n > 0) {
            transferred += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        int ready = WaitFor(port->fd, POLLOUT, total);
        if (ready == 0) return true;
        if (ready < 0) return false;
    }
    return true;
}

bool ReadPort(PortHandle handle, uint8_t* data, size_t size, size_t& transferred) {
    transferred = 0;
    PosixPort* port = Port(handle);
    if (port == nullptr) return false;
    Deadline total(std::chrono::milliseconds(kReadTotalMultiplierMs * size + kReadTotalConstantMs));
    // The interval timer starts only once the first byte has arrived.
    Deadline interval = total;
    while (transferred < size) {
        const Deadline& next = (transferred > 0 && interval.Before(total)) ? interval : total;
        int ready = WaitFor(port->fd, POLLIN, next);
        if (ready == 0) return true;
        if (ready < 0) return false;
        ssize_t n = read(port->fd, data + transferred, size - transferred);
        if (n > 0) {
            transferred += static_cast<size_t>(n);
            interval = Deadline(std::chrono::milliseconds(kReadIntervalTimeoutMs));
            continue;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        return false;  // end of file or EIO: the other side is gone
    }
    return true;
}

bool ReadLineSettings(PortHandle handle, LineSettings& settings) {
    PosixPort* port = Port(handle);
    termios tio{};
    if (port == nullptr || tcgetattr(port->fd, &tio) != 0) return false;
    settings.baudRate = cfgetospeed(&tio) == B115200 ? 115200 : 0;
    switch (tio.c_cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
    }
    settings.parity = (tio.c_cflag & PARENB) != 0;
    settings.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    settings.hardwareFlow = (tio.c_cflag & CRTSCTS) != 0;
    settings.softwareFlow = (tio.c_iflag & (IXON | IXOFF)) != 0;
    return true;
}
