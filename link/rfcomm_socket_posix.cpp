#include "link/rfcomm_socket.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/bluetooth_port_name.h"
#include "link/deadline.h"
#include "link/errno_failure.h"
#include "link/sdp_channel.h"

namespace {

// The whole connect, the SDP query included. The controller gives up
// paging a device after 5.12 s by default; the kernel's own connect
// time-out is far longer.
constexpr std::chrono::milliseconds kConnectTimeout{8000};
constexpr uint8_t kDefaultChannel = 1;
const char* const kNoAnswer = "no answer from the device";
const char* const kNameTheChannel = "; name its channel to skip the query: ";
const char* const kBadName = "not a Bluetooth address: bt:AA:BB:CC:DD:EE:FF or bt:AA:BB:CC:DD:EE:FF/CHANNEL";

OpenStatus Fail(int err) {
    if (err == ETIMEDOUT) return {OpenFailure::Other, kNoAnswer};
    return {FailureFromErrno(err), std::strerror(err)};
}

// Waits until a non-blocking connect on `fd` ends; 0 once connected, else an errno.
int AwaitConnected(int fd, const Deadline& deadline) {
    for (;;) {
        pollfd pfd{fd, POLLOUT, 0};
        int rc = poll(&pfd, 1, deadline.RemainingMs());
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0) return errno;
        if (rc == 0) return ETIMEDOUT;
        int err = 0;
        socklen_t length = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) != 0) return errno;
        return err;
    }
}

// The Serial Port service's channel as the device publishes it; the
// default where it has no SDP server or no such record.
OpenStatus FindChannel(const std::string& name, const bdaddr_t& address, const Deadline& deadline,
                       uint8_t& channel) {
    channel = kDefaultChannel;
    bdaddr_t any{};
    sdp_session_t* session = sdp_connect(&any, &address, SDP_NON_BLOCKING);
    if (session == nullptr) return Fail(errno);
    OpenStatus status;
    if (int err = AwaitConnected(sdp_get_socket(session), deadline); err == 0) {
        status = QuerySerialPortChannel(session, deadline, channel);
        if (!status.Opened()) status.detail += kNameTheChannel + name + "/" + std::to_string(kDefaultChannel);
    } else if (err != ECONNREFUSED) {  // refused: no SDP server, nothing published
        status = Fail(err);
    }
    sdp_close(session);
    return status;
}

}  // namespace

OpenStatus ConnectRfcomm(const std::string& name, int& fd) {
    fd = -1;
    std::optional<BluetoothPortName> target = ParseBluetoothPortName(name);
    if (!target) return {OpenFailure::NotFound, kBadName};
    sockaddr_rc remote{};
    remote.rc_family = AF_BLUETOOTH;
    str2ba(target->address.c_str(), &remote.rc_bdaddr);
    remote.rc_channel = static_cast<uint8_t>(target->channel);
    Deadline deadline(kConnectTimeout);
    if (target->channel == 0) {
        OpenStatus found =
            FindChannel(BluetoothPortNameOf(target->address), remote.rc_bdaddr, deadline, remote.rc_channel);
        if (!found.Opened()) return found;
    }

    int s = socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, BTPROTO_RFCOMM);
    if (s < 0) return Fail(errno);
    int err = connect(s, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 ? 0 : errno;
    if (err == EINPROGRESS || err == EAGAIN) err = AwaitConnected(s, deadline);
    if (err != 0) {
        close(s);
        return Fail(err);
    }
    fd = s;
    return {};
}

void DiscardReceived(int fd) {
    uint8_t buffer[512];
    while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}
