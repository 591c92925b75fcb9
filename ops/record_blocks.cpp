#include "ops/record_blocks.h"

#include <algorithm>

#include "link/frame.h"
#include "ops/transaction.h"

namespace {

// Failed attempts in a row at one start index before the reading gives up.
constexpr int kMaxBlockFailures = 3;
// Response byte 2 counts the bytes after the header: the status byte, then the payload.
constexpr size_t kBlockAnswerHead = 1 + 1;  // status, record count
constexpr size_t kRecordsOffset = 3 + kBlockAnswerHead;

// The block a request at `start` brought.
Answer FetchBlock(PortHandle port, int64_t start) {
    uint8_t data[5];
    PutBigEndian32(data, static_cast<uint32_t>(start));
    data[4] = kRecordsPerRequest;
    return Transact(port, CMD_GET_RECORDS, data);
}

// The number of records the block carries, or -1 when the attempt failed.
// (At most 15 whole records fit in one answer.)
int RecordsIn(const Answer& block) {
    if (!block.complete) return -1;
    const size_t received = block.bytes[2];
    if (received < kBlockAnswerHead) return -1;
    const size_t carried = (received - kBlockAnswerHead) / kTagRecordSize;
    if (block.bytes[4] > carried) return -1;
    return block.bytes[4];
}

}  // namespace

BlocksEnd ReadRecordBlocks(Feedback& ui, PortHandle port, int32_t total, const std::function<bool(const TagRecord&)>& take,
                           const std::function<void()>& blockTaken) {
    int64_t start = 0;
    int failures = 0;
    do {
        if (ui.StopRequested()) return BlocksEnd::Stopped;
        const Answer block = FetchBlock(port, start);
        const int count = RecordsIn(block);
        if (count < 0) {
            if (++failures == kMaxBlockFailures) return BlocksEnd::Failed;
            continue;
        }
        failures = 0;
        if (count == 0) break;
        for (int i = 0; i < count; ++i) {
            TagRecord record;
            std::copy_n(block.bytes.begin() + kRecordsOffset + i * kTagRecordSize, kTagRecordSize, record.begin());
            if (!take(record)) return BlocksEnd::Rejected;
        }
        start += count;
        if (blockTaken) blockTaken();
        ui.ShowProgress(Feedback::Work::Records, start, total);
    } while (start < total);
    // A negative total allows one attempt only; if that failed, nothing was read.
    return failures > 0 ? BlocksEnd::Failed : BlocksEnd::Done;
}
