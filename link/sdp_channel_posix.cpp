#include "link/sdp_channel.h"

#include <bluetooth/rfcomm.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace {

constexpr int kLastChannel = 30;
constexpr uint16_t kLibraryFailure = 0xffff;  // the callback's status when sdp_get_error() says why
const char* const kNoAnswer = "the device's SDP server did not answer";
const char* const kHungUp = "the device's SDP server hung up without an answer";
const char* const kRefused = "the device's SDP server refused the query with error 0x%04X";
const char* const kUnreadable = "the device's SDP server gave an answer that cannot be read";
const char* const kFailed = "the SDP query failed: ";

struct Answer {
    bool arrived = false;
    uint8_t type = 0;
    uint16_t status = 0;
    std::vector<uint8_t> lists;
};

// libbluetooth's callback once the last part of the answer, or a failure, is in.
void Keep(uint8_t type, uint16_t status, uint8_t* bytes, size_t size, void* data) {
    auto* answer = static_cast<Answer*>(data);
    answer->arrived = true;
    answer->type = type;
    answer->status = status;
    answer->lists.assign(bytes, bytes + size);
}

// Why the library failed: an errno, EPROTO where it kept none.
int LibraryError(sdp_session_t* session) {
    int err = sdp_get_error(session);
    return err > 0 ? err : EPROTO;
}

OpenStatus Failed(int err) { return {OpenFailure::Other, kFailed + std::string(std::strerror(err))}; }

OpenStatus Refused(uint16_t code) {
    char text[96];
    std::snprintf(text, sizeof text, kRefused, static_cast<unsigned>(code));
    return {OpenFailure::Other, text};
}

// Waits for each part of the answer until the deadline and passes it to
// the library, which asks for the next part itself; succeeds once
// `answer` holds the whole answer or the library's failure.
OpenStatus AwaitAnswer(sdp_session_t* session, const Deadline& deadline, Answer& answer) {
    int fd = sdp_get_socket(session);
    while (!answer.arrived) {
        pollfd pfd{fd, POLLIN, 0};
        int rc = poll(&pfd, 1, deadline.RemainingMs());
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0) return Failed(errno);
        if (rc == 0) return {OpenFailure::Other, kNoAnswer};
        if (!(pfd.revents & POLLIN)) {
            int err = 0;
            socklen_t length = sizeof err;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &length) == 0 && err != 0) return Failed(err);
            return {OpenFailure::Other, kHungUp};
        }
        // 0 while more parts are to come; otherwise the callback has run,
        // but for a failure before reading (out of memory).
        if (sdp_process(session) != 0 && !answer.arrived) return Failed(ENOMEM);
    }
    return {};
}

uint8_t ChannelOf(sdp_record_t* record) {
    int channel = 0;
    sdp_list_t* protocols = nullptr;
    if (sdp_get_access_protos(record, &protocols) == 0) {
        channel = sdp_get_proto_port(protocols, RFCOMM_UUID);
        for (sdp_list_t* p = protocols; p != nullptr; p = p->next)
            sdp_list_free(static_cast<sdp_list_t*>(p->data), nullptr);
        sdp_list_free(protocols, nullptr);
    }
    return channel >= 1 && channel <= kLastChannel ? static_cast<uint8_t>(channel) : 0;
}

}  // namespace

OpenStatus QuerySerialPortChannel(sdp_session_t* session, const Deadline& deadline, uint8_t& channel) {
    Answer answer;
    uuid_t serialPort;
    sdp_uuid16_create(&serialPort, SERIAL_PORT_SVCLASS_ID);
    uint32_t allAttributes = 0x0000ffff;
    sdp_list_t* search = sdp_list_append(nullptr, &serialPort);
    sdp_list_t* attributes = sdp_list_append(nullptr, &allAttributes);
    OpenStatus status;
    if (sdp_set_notify(session, Keep, &answer) != 0 ||
        sdp_service_search_attr_async(session, search, SDP_ATTR_REQ_RANGE, attributes) != 0)
        status = Failed(LibraryError(session));
    else
        status = AwaitAnswer(session, deadline, answer);
    sdp_list_free(search, nullptr);
    sdp_list_free(attributes, nullptr);
    if (!status.Opened()) return status;

    if (answer.status == kLibraryFailure) return Failed(LibraryError(session));
    if (answer.type == SDP_ERROR_RSP) return Refused(answer.status);
    std::optional<uint8_t> found = SerialPortChannelIn(answer.lists.data(), answer.lists.size());
    if (answer.type != SDP_SVC_SEARCH_ATTR_RSP || !found) return {OpenFailure::Other, kUnreadable};
    if (*found != 0) channel = *found;
    return {};
}

std::optional<uint8_t> SerialPortChannelIn(const uint8_t* lists, size_t size) {
    if (size == 0) return 0;  // some servers say "no records" with no sequence at all
    uint8_t type = 0;
    int length = 0;
    int scanned = sdp_extract_seqtype(lists, static_cast<int>(size), &type, &length);
    if (scanned == 0 || static_cast<size_t>(scanned) + length > size) return std::nullopt;
    uint8_t channel = 0;
    for (size_t at = scanned, end = at + length; at < end;) {
        int used = 0;
        sdp_record_t* record = sdp_extract_pdu(lists + at, static_cast<int>(end - at), &used);
        if (record == nullptr) return std::nullopt;
        if (channel == 0) channel = ChannelOf(record);
        sdp_record_free(record);
        if (used <= 0 || static_cast<size_t>(used) > end - at) return std::nullopt;
        at += used;
    }
    return channel;
}
