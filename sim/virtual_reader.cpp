#include "sim/virtual_reader.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <algorithm>
#include <fstream>
#include <bluetooth/bluetooth.h>
#include <bluetooth/l2cap.h>
#include <bluetooth/rfcomm.h>
#include <bluetooth/sdp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include "link/frame.h"

namespace {

using Clock = std::chrono::steady_clock;

// An incomplete request older than this is dropped as noise.
constexpr auto kFrameGap = std::chrono::milliseconds(100);
constexpr size_t kMaxRecordsPerAnswer = 15;
// Bytes a paced answer delivers at once, like a UART's receive FIFO.
constexpr size_t kFifoBytes = 16;

void PutRecord(TagBytes& r, uint32_t timestamp) {
    r[12] = static_cast<uint8_t>(timestamp >> 24);
    r[13] = static_cast<uint8_t>(timestamp >> 16);
    r[14] = static_cast<uint8_t>(timestamp >> 8);
    r[15] = static_cast<uint8_t>(timestamp);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::vector<TagBytes> GenerateRecords(size_t count, uint32_t seed) {
    static const uint16_t kCountries[] = {982, 826, 250, 276, 528, 756};
    std::vector<TagBytes> records(count);
    uint64_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        TagBytes& r = records[i];
        r.fill(0);
        uint16_t country = kCountries[(x >> 33) % 6];
        if (i % 2 == 0) {
            uint64_t id = (x >> 20) % (uint64_t{1} << 38);
            r[0] = 0;
            for (int b = 0; b < 4; ++b) r[1 + b] = static_cast<uint8_t>(id >> (8 * b));
            r[5] = static_cast<uint8_t>(((id >> 32) & 0x3F) | ((country & 0x3) << 6));
            r[6] = static_cast<uint8_t>(country >> 2);
        } else {
            uint32_t id = static_cast<uint32_t>(x >> 24);
            uint16_t word = static_cast<uint16_t>(country << 6);
            r[0] = 1;
            r[3] = static_cast<uint8_t>(word >> 8);
            r[4] = static_cast<uint8_t>(word);
            PutBigEndian32(&r[5], id);
        }
        PutRecord(r, 1700000000u + static_cast<uint32_t>(i) * 37u);
    }
    return records;
}

bool LoadRecords(const std::string& path, std::vector<TagBytes>& records, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        std::string digits;
        for (char c : line) {
            if (c == ' ' || c == '\t' || c == '\r') continue;
            if (HexValue(c) < 0) {
                error = path + ":" + std::to_string(lineNumber) + ": not a hex digit";
                return false;
            }
            digits += c;
        }
        if (digits.empty()) continue;
        if (digits.size() != 32) {
            error = path + ":" + std::to_string(lineNumber) + ": a record is 16 bytes (32 hex digits)";
            return false;
        }
        TagBytes r{};
        for (size_t i = 0; i < 16; ++i) r[i] = static_cast<uint8_t>(HexValue(digits[2 * i]) * 16 + HexValue(digits[2 * i + 1]));
        records.push_back(r);
    }
    return true;
}

VirtualReader::VirtualReader(ReaderConfig config) : config_(std::move(config)) {
    state_.params = config_.params;
    state_.records = config_.records;
}

VirtualReader::~VirtualReader() { Stop(); }

bool VirtualReader::Start(std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + std::strerror(errno);
        return false;
    };
    if (config_.rfcommChannel != 0) {
        listener_ = socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_CLOEXEC, BTPROTO_RFCOMM);
        if (listener_ < 0) return fail("RFCOMM socket");
        sockaddr_rc local{};
        local.rc_family = AF_BLUETOOTH;
        local.rc_channel = static_cast<uint8_t>(config_.rfcommChannel);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return fail("bind");
        if (listen(listener_, 1) != 0) return fail("listen");
        path_ = "rfcomm:" + std::to_string(config_.rfcommChannel);
        // The kernel completes each L2CAP connection and keeps what the
        // client sends; nobody ever reads it.
        if (config_.silentSdp) {
            sdpListener_ = socket(AF_BLUETOOTH, SOCK_SEQPACKET | SOCK_CLOEXEC, BTPROTO_L2CAP);
            if (sdpListener_ < 0) return fail("L2CAP socket");
            sockaddr_l2 sdp{};
            sdp.l2_family = AF_BLUETOOTH;
            sdp.l2_psm = htobs(SDP_PSM);
            if (bind(sdpListener_, reinterpret_cast<sockaddr*>(&sdp), sizeof sdp) != 0) return fail("bind SDP");
            if (listen(sdpListener_, 4) != 0) return fail("listen SDP");
        }
    } else if (config_.tty.empty()) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0) return fail("posix_openpt");
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) return fail("unlockpt");
        const char* name = ptsname(master_);
        if (name == nullptr) return fail("ptsname");
        path_ = name;
        // Holding the slave open keeps the master from seeing a hang-up each time
        // the program under test closes its port.
        slaveKeeper_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slaveKeeper_ < 0) return fail("open slave");
        termios tio{};
        tcgetattr(slaveKeeper_, &tio);
        cfmakeraw(&tio);
        tcsetattr(slaveKeeper_, TCSANOW, &tio);
    } else {
        master_ = open(config_.tty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0) return fail(config_.tty.c_str());
        path_ = config_.tty;
        termios tio{};
        if (tcgetattr(master_, &tio) != 0) return fail("tcgetattr");
        cfmakeraw(&tio);
        cfsetspeed(&tio, B115200);
        tio.c_cflag |= CLOCAL | CREAD;
        if (tcsetattr(master_, TCSANOW, &tio) != 0) return fail("tcsetattr");
    }
    if (pipe2(stopPipe_, O_CLOEXEC) != 0) return fail("pipe");
    thread_ = std::thread(&VirtualReader::Run, this);
    return true;
}

void VirtualReader::Stop() {
    if (thread_.joinable()) {
        char c = 'q';
        ssize_t ignored = write(stopPipe_[1], &c, 1);
        (void)ignored;
        thread_.join();
    }
    for (int* fd : {&master_, &slaveKeeper_, &listener_, &sdpListener_, &stopPipe_[0], &stopPipe_[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

void VirtualReader::AddFault(const FaultRule& rule) {
    std::lock_guard lock(mutex_);
    faults_.push_back(rule);
}

void VirtualReader::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void VirtualReader::SetRecords(std::vector<TagBytes> records, std::optional<uint32_t> reportedCount) {
    std::lock_guard lock(mutex_);
    state_.records = std::move(records);
    config_.reportedCount = reportedCount;
}

void VirtualReader::SetVersion(uint8_t major, uint8_t minor) {
    std::lock_guard lock(mutex_);
    config_.versionMajor = major;
    config_.versionMinor = minor;
}

void VirtualReader::SetParams(const std::array<uint8_t, 4>& params) {
    std::lock_guard lock(mutex_);
    state_.params = params;
}

void VirtualReader::SetBaud(unsigned baud) {
    std::lock_guard lock(mutex_);
    config_.baud = baud;
}

void VirtualReader::ClearReceived() {
    std::lock_guard lock(mutex_);
    state_.received.clear();
    state_.rejected = 0;
}

ReaderSnapshot VirtualReader::Snapshot() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void VirtualReader::Run() {
    // Paced answers need wake-ups on time; the default 50 us of timer slack
    // would be added to every answer.
    prctl(PR_SET_TIMERSLACK, 1UL);
    std::vector<uint8_t> pending;
    Clock::time_point firstByteAt{};
    for (;;) {
        if (master_ < 0 && listener_ < 0) return;  // hung up
        pollfd fds[3] = {{master_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}, {listener_, POLLIN, 0}};
        int timeout = pending.empty() ? -1 : static_cast<int>(kFrameGap.count());
        int rc = poll(fds, 3, timeout);
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0 || (fds[1].revents & POLLIN)) return;
        if (fds[2].revents & POLLIN) {
            // One line at a time: a new connection replaces the one before.
            int connection = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (connection >= 0) {
                if (master_ >= 0) close(master_);
                master_ = connection;
                pending.clear();
            }
            continue;
        }
        if (rc == 0) {
            // A fragment that never completed: noise on the line.
            std::lock_guard lock(mutex_);
            ++state_.rejected;
            pending.clear();
            continue;
        }
        uint8_t buffer[512];
        ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0 && listener_ >= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) {
            // The connection ended: wait for the next.
            close(master_);
            master_ = -1;
            pending.clear();
            continue;
        }
        if (n <= 0) {
            // EIO: no slave open at the moment. The keeper fd prevents it, but
            // do not spin if it happens anyway.
            poll(nullptr, 0, 10);
            continue;
        }
        if (pending.empty()) firstByteAt = Clock::now();
        pending.insert(pending.end(), buffer, buffer + n);

        // Take every complete frame; drop bytes that cannot start one.
        for (;;) {
            size_t start = 0;
            while (start < pending.size() && pending[start] != kRequestHeader0) ++start;
            if (start > 0) {
                std::lock_guard lock(mutex_);
                ++state_.rejected;
                pending.erase(pending.begin(), pending.begin() + static_cast<long>(start));
            }
            if (pending.size() < 3) break;
            size_t total = 3 + pending[2];
            if (pending.size() < total) break;
            std::vector<uint8_t> frame(pending.begin(), pending.begin() + static_cast<long>(total));
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(total));
            const CommandInfo* info = FindCommand(frame.size() > 3 ? frame[3] : 0);
            bool valid = frame[1] == kRequestHeader1 && info != nullptr && info->requestLength == frame.size() &&
                         FrameChecksum(frame.data(), frame.size() - 1) == frame.back();
            if (!valid) {
                std::lock_guard lock(mutex_);
                ++state_.rejected;
                continue;
            }
            unsigned baud;
            {
                std::lock_guard lock(mutex_);
                baud = config_.baud;
            }
            // On a real line the request's last byte arrives only after all of it has crossed.
            answerFrom_ = firstByteAt;
            if (baud) {
                answerFrom_ += std::chrono::microseconds(frame.size() * 10'000'000ull / baud);
                std::this_thread::sleep_until(answerFrom_);
            }
            HandleFrame(frame);
            firstByteAt = Clock::now();
            if (master_ < 0) break;
        }
    }
}

std::optional<FaultRule> VirtualReader::TakeFault(uint8_t command) {
    std::lock_guard lock(mutex_);
    for (FaultRule& rule : faults_) {
        if (rule.command != -1 && rule.command != command) continue;
        if (rule.kind == FaultKind::FlipBit) continue;  // decided by the records an answer carries
        if (rule.skip > 0) {
            --rule.skip;
            continue;
        }
        if (rule.times == 0) continue;
        if (rule.times > 0) --rule.times;
        return rule;
    }
    return std::nullopt;
}

void VirtualReader::HandleFrame(const std::vector<uint8_t>& frame) {
    const uint8_t command = frame[3];
    std::optional<FaultRule> fault = TakeFault(command);
    if (fault && fault->kind == FaultKind::Store) {
        std::lock_guard lock(mutex_);
        std::vector<TagBytes> more = GenerateRecords(state_.records.size() + static_cast<size_t>(fault->arg));
        state_.records.insert(state_.records.end(), more.begin() + static_cast<long>(state_.records.size()), more.end());
    }
    std::vector<uint8_t> answer = Answer(frame);
    if (command == CMD_GET_RECORDS) FlipRecordBit(frame, answer);
    if (!fault) {
        Send(answer);
        return;
    }
    switch (fault->kind) {
    case FaultKind::None:
    case FaultKind::Store:
    case FaultKind::FlipBit: Send(answer); break;
    case FaultKind::Silent: break;
    case FaultKind::WrongHeader:
        answer[0] = 0x0C;
        Send(answer);
        break;
    case FaultKind::ShortBody: answer.resize(3 + answer[2] / 2); Send(answer); break;
    case FaultKind::Status:
        answer[3] = static_cast<uint8_t>(fault->arg ? fault->arg : 1);
        Send(answer);
        break;
    case FaultKind::Late:
        answerFrom_ += std::chrono::milliseconds(fault->arg);
        std::this_thread::sleep_until(answerFrom_);
        Send(answer);
        break;
    case FaultKind::Garbage: {
        std::vector<uint8_t> noise(static_cast<size_t>(fault->arg > 0 ? fault->arg : 40));
        for (uint8_t& b : noise) {
            garbageSeed_ = garbageSeed_ * 1103515245u + 12345u;
            b = static_cast<uint8_t>(garbageSeed_ >> 16);
        }
        if (noise[0] == kResponseHeader) noise[0] = 0x5A;
        Send(noise);
        break;
    }
    case FaultKind::Empty: Send({kResponseHeader, 0x00, 0x00}); break;
    case FaultKind::CountByte:
        if (answer.size() > 4) answer[4] = static_cast<uint8_t>(fault->arg);
        Send(answer);
        break;
    case FaultKind::Hangup: {
        answer.resize(answer.size() / 2);
        Send(answer);
        std::lock_guard lock(mutex_);
        state_.hungUp = true;
        close(master_);
        close(slaveKeeper_);
        master_ = slaveKeeper_ = -1;
        break;
    }
    }
}

void VirtualReader::FlipRecordBit(const std::vector<uint8_t>& frame, std::vector<uint8_t>& answer) {
    // Byte 5 holds identity bits in both layouts (FDX-B bits 37-32, HDX bits 31-24).
    constexpr size_t kIdentityByte = 5;
    constexpr size_t kFirstRecord = 5;
    std::lock_guard lock(mutex_);
    const uint64_t start = GetBigEndian32(frame.data() + 4);
    const size_t carried = answer.size() > kFirstRecord ? answer[4] : 0;
    for (FaultRule& rule : faults_) {
        if (rule.kind != FaultKind::FlipBit || rule.times == 0 || rule.arg < 0) continue;
        const uint64_t index = static_cast<uint64_t>(rule.arg);
        if (index < start || index >= start + carried) continue;
        answer[kFirstRecord + (index - start) * kTagRecordSize + kIdentityByte] ^= 0x01;
        rule.times = 0;
    }
}

std::vector<uint8_t> VirtualReader::Answer(const std::vector<uint8_t>& frame) {
    std::lock_guard lock(mutex_);
    state_.received.push_back(frame);
    const uint8_t command = frame[3];
    const uint8_t* data = frame.data() + 4;
    uint8_t status = 0;
    std::vector<uint8_t> payload;
    FirmwareState& fw = state_.firmware;
    switch (command) {
    case CMD_GET_VERSION: payload = {config_.versionMajor, config_.versionMinor}; break;
    case CMD_GET_PARAMS: payload.assign(state_.params.begin(), state_.params.end()); break;
    case CMD_SET_PARAMS:
        if (data[3] >= 1 && data[3] <= 60)
            std::copy(data, data + 4, state_.params.begin());
        else
            status = 1;
        break;
    case CMD_SET_TIME:
        std::copy(data, data + 6, state_.clock.begin());
        state_.clockSet = true;
        break;
    case CMD_GET_RECORD_COUNT: {
        payload.resize(4);
        PutBigEndian32(payload.data(), config_.reportedCount.value_or(static_cast<uint32_t>(state_.records.size())));
        break;
    }
    case CMD_GET_RECORDS: {
        uint64_t index = GetBigEndian32(data);
        size_t wanted = std::min<size_t>(data[4], kMaxRecordsPerAnswer);
        size_t available = index < state_.records.size() ? state_.records.size() - index : 0;
        size_t r = std::min(wanted, available);
        payload.push_back(static_cast<uint8_t>(r));
        for (size_t i = 0; i < r; ++i) {
            const TagBytes& rec = state_.records[index + i];
            payload.insert(payload.end(), rec.begin(), rec.end());
        }
        break;
    }
    case CMD_DELETE_RECORDS:
        state_.records.clear();
        config_.reportedCount.reset();
        break;
    case CMD_ERASE:
        fw.commandOrder.push_back(command);
        if (std::equal(kEraseKey.begin(), kEraseKey.end(), data)) {
            fw = FirmwareState{true, false, false, 0, {}, 0, std::move(fw.commandOrder)};
        } else {
            status = 1;
        }
        break;
    case CMD_UPGRADE_START:
        fw.commandOrder.push_back(command);
        if (!fw.erased) {
            status = 1;
            break;
        }
        fw.started = true;
        fw.finished = false;
        fw.length = GetBigEndian32(data);
        fw.received.clear();
        fw.blocks = 0;
        break;
    case CMD_UPGRADE_DATA:
        fw.commandOrder.push_back(command);
        if (!fw.started) {
            status = 1;
            break;
        }
        fw.received.insert(fw.received.end(), data, data + kFirmwareBlockSize);
        ++fw.blocks;
        break;
    case CMD_UPGRADE_END:
        fw.commandOrder.push_back(command);
        if (!fw.started || fw.received.size() < fw.length) {
            status = 2;
            break;
        }
        fw.finished = true;
        fw.started = false;
        fw.erased = false;
        break;
    }
    const uint8_t head[] = {kResponseHeader, 0x00, static_cast<uint8_t>(1 + payload.size()), status};
    payload.insert(payload.begin(), std::begin(head), std::end(head));
    return payload;
}

void VirtualReader::Send(const std::vector<uint8_t>& bytes) {
    unsigned baud;
    {
        std::lock_guard lock(mutex_);
        baud = config_.baud;
    }
    // The answer's bytes are due on the schedule of a line that starts sending
    // when the request has arrived, however late this thread woke up: a
    // reader's UART does not add our scheduling delays to the wire time.
    const auto start = answerFrom_;
    size_t sent = 0;
    while (sent < bytes.size() && master_ >= 0) {
        size_t due = bytes.size();
        if (baud) {
            auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
            // A byte is there once its ten bits have crossed the line.
            due = std::min(bytes.size(), static_cast<size_t>(elapsed * static_cast<long long>(baud) / 10'000'000));
            if (due <= sent) {
                // Bytes come a FIFO's worth at a time, as from a UART, each group when
                // its last byte has crossed; the answer's last byte is never late.
                // Waking once per byte would cost a busy machine more than the line.
                const size_t next = std::min(bytes.size(), sent + kFifoBytes);
                std::this_thread::sleep_until(start + std::chrono::microseconds((next * 10'000'000ull + baud - 1) / baud));
                continue;
            }
        }
        ssize_t n = write(master_, bytes.data() + sent, due - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd pfd{master_, POLLOUT, 0};
            poll(&pfd, 1, 100);
        } else if (n < 0 && errno != EINTR) {
            return;
        }
    }
}
