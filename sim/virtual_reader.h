// A virtual tag reader on a pseudo-terminal.
//
// It plays the reader's side of every command over the master side of a pty;
// the program under test opens the slave side (PortPath()) like any serial
// port. It can serve an existing tty instead, or listen on an RFCOMM
// channel as a reader over Bluetooth does: each connection in turn is its
// line, and when one ends it waits for the next. It is strict: a request with a wrong header, length or checksum, or
// an unknown command, gets no answer and is counted in Snapshot().rejected.
// Faults can be set per command to test how the program copes with a reader
// in the field. Output can be paced to a given baud rate so that timings
// resemble a real line. All public calls are safe from any thread.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using TagBytes = std::array<uint8_t, 16>;

enum class FaultKind {
    None,
    Silent,       // no answer at all
    WrongHeader,  // first byte 0x0C instead of 0x0B, rest well formed
    ShortBody,    // header announces L but only half the body follows
    Status,       // status byte = arg (nonzero), payload as usual
    Late,         // answer after arg milliseconds
    Garbage,      // arg random bytes (default 40) instead of an answer
    Empty,        // 0B 00 00: a response with L = 0
    Hangup,       // half an answer, then the pty or connection is closed (the reader vanishes)
    CountByte,    // response byte 4 (a record count) = arg, the rest as usual
    Store,        // arg more records are stored first (tags read meanwhile), then the usual answer
    FlipBit,      // the first answer that carries the record at index arg has one bit of its
                  // identity flipped, as noise on a line would; later answers carry it whole
};

struct FaultRule {
    int command = -1;  // a command code, or -1 for every command
    FaultKind kind = FaultKind::None;
    int arg = 0;
    int skip = 0;    // let this many matching requests through first
    int times = -1;  // then apply to this many (-1: for ever)
};

struct FirmwareState {
    bool erased = false;
    bool started = false;
    bool finished = false;
    uint32_t length = 0;           // from the start command
    std::vector<uint8_t> received;  // every data block's 128 bytes, in order
    int blocks = 0;
    std::vector<uint8_t> commandOrder;  // erase/start/data/end codes in arrival order
};

struct ReaderConfig {
    uint8_t versionMajor = 1;
    uint8_t versionMinor = 0;
    std::vector<TagBytes> records;
    std::optional<uint32_t> reportedCount;  // count to report instead of records.size()
    std::array<uint8_t, 4> params = {0x01, 0x02, 0x03, 10};
    unsigned baud = 0;  // 0: unpaced
    // Serve this existing tty (a USB gadget's /dev/ttyGS0) instead of a new pty.
    std::string tty;
    // Or listen on this RFCOMM channel (1 to 30) of every local Bluetooth controller.
    int rfcommChannel = 0;
    // With rfcommChannel: an SDP server that takes every query and never
    // answers, as a Bluetooth module whose service directory hangs.
    bool silentSdp = false;
};

struct ReaderSnapshot {
    std::vector<std::vector<uint8_t>> received;  // every accepted request, whole frame
    int rejected = 0;
    std::array<uint8_t, 6> clock{};  // year-2000, month, day, hour, minute, second
    bool clockSet = false;
    std::array<uint8_t, 4> params{};
    std::vector<TagBytes> records;
    FirmwareState firmware;
    bool hungUp = false;
};

// `count` deterministic records, FDX-B and HDX alternating, with increasing times.
std::vector<TagBytes> GenerateRecords(size_t count, uint32_t seed = 1);

// Records from a text file: one record a line as 32 hex digits (spaces
// allowed), '#' starts a comment. False with a reason on a bad file.
bool LoadRecords(const std::string& path, std::vector<TagBytes>& records, std::string& error);

class VirtualReader {
public:
    explicit VirtualReader(ReaderConfig config = {});
    ~VirtualReader();
    VirtualReader(const VirtualReader&) = delete;
    VirtualReader& operator=(const VirtualReader&) = delete;

    // Opens the pty (or the configured tty, or starts listening) and starts
    // answering. False with a reason on failure.
    bool Start(std::string* error = nullptr);
    void Stop();
    const std::string& PortPath() const { return path_; }

    void AddFault(const FaultRule& rule);
    void ClearFaults();
    void SetRecords(std::vector<TagBytes> records, std::optional<uint32_t> reportedCount = std::nullopt);
    void SetVersion(uint8_t major, uint8_t minor);
    void SetParams(const std::array<uint8_t, 4>& params);
    void SetBaud(unsigned baud);
    void ClearReceived();

    ReaderSnapshot Snapshot() const;

private:
    void Run();
    void HandleFrame(const std::vector<uint8_t>& frame);
    std::vector<uint8_t> Answer(const std::vector<uint8_t>& frame);
    std::optional<FaultRule> TakeFault(uint8_t command);
    void FlipRecordBit(const std::vector<uint8_t>& frame, std::vector<uint8_t>& answer);
    void Send(const std::vector<uint8_t>& bytes);

    ReaderConfig config_;
    mutable std::mutex mutex_;
    ReaderSnapshot state_;
    std::vector<FaultRule> faults_;
    std::string path_;
    int master_ = -1;
    int slaveKeeper_ = -1;
    int listener_ = -1;  // the RFCOMM socket that accepts connections
    int sdpListener_ = -1;  // the silent SDP server's L2CAP socket
    int stopPipe_[2] = {-1, -1};
    std::thread thread_;
    uint32_t garbageSeed_ = 12345;
    std::chrono::steady_clock::time_point answerFrom_;  // when the current answer may start on the line
};
