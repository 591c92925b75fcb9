#include "link/rfcomm_socket.h"

#include <algorithm>
#include <bluetooth/bluetooth.h>
#include <bluetooth/rfcomm.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "link/bluetooth_port_name.h"
#include "link/deadline.h"
#include "link/errno_failure.h"

namespace {

// The controller gives up paging a device after 5.12 s by default; the
// kernel's own connect time-out is far longer.
constexpr std::chrono::milliseconds kConnectTimeout{8000};
constexpr uint8_t kDefaultChannel = 1;
const char* const kNoAnswer = "no answer from the device";
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

// The channel of the first Serial Port record among `records`; 0 for none.
int SerialPortChannel(sdp_list_t* records) {
    int channel = 0;
    for (sdp_list_t* item = records; item != nullptr && channel == 0; item = item->next) {
        auto* record = static_cast<sdp_record_t*>(item->data);
        sdp_list_t* protocols = nullptr;
        if (sdp_get_access_protos(record, &protocols) == 0) {
            channel = std::max(0, sdp_get_proto_port(protocols, RFCOMM_UUID));
            for (sdp_list_t* p = protocols; p != nullptr; p = p->next)
                sdp_list_free(static_cast<sdp_list_t*>(p->data), nullptr);
            sdp_list_free(protocols, nullptr);
        }
    }
    return channel;
}

// The Serial Port service's channel as the device publishes it; the
// default where it has no SDP server or no such record. An errno when the
// device cannot be reached at all.
int FindChannel(const bdaddr_t& address, const Deadline& deadline, uint8_t& channel) {
    channel = kDefaultChannel;
    bdaddr_t any{};
    sdp_session_t* session = sdp_connect(&any, &address, SDP_NON_BLOCKING);
    if (session == nullptr) return errno;
    int err = AwaitConnected(sdp_get_socket(session), deadline);
    if (err == ECONNREFUSED) err = 0;  // no SDP server: nothing published
    if (err != 0) {
        sdp_close(session);
        return err;
    }
    uuid_t serialPort;
    sdp_uuid16_create(&serialPort, SERIAL_PORT_SVCLASS_ID);
    uint32_t allAttributes = 0x0000ffff;
    sdp_list_t* search = sdp_list_append(nullptr, &serialPort);
    sdp_list_t* attributes = sdp_list_append(nullptr, &allAttributes);
    sdp_list_t* records = nullptr;
    // The query waits for its answer with the library's own time-out.
    if (sdp_service_search_attr_req(session, search, SDP_ATTR_REQ_RANGE, attributes, &records) == 0) {
        if (int found = SerialPortChannel(records); found > 0) channel = static_cast<uint8_t>(found);
        sdp_list_free(records, reinterpret_cast<sdp_free_func_t>(sdp_record_free));
    }
    sdp_list_free(search, nullptr);
    sdp_list_free(attributes, nullptr);
    sdp_close(session);
    return 0;
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
    if (target->channel == 0) {
        if (int err = FindChannel(remote.rc_bdaddr, Deadline(kConnectTimeout), remote.rc_channel)) return Fail(err);
    }

    int s = socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, BTPROTO_RFCOMM);
    if (s < 0) return Fail(errno);
    int err = connect(s, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0 ? 0 : errno;
    if (err == EINPROGRESS || err == EAGAIN) err = AwaitConnected(s, Deadline(kConnectTimeout));
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
