#include "ops/second_reading.h"

#include "ops/record_blocks.h"

SecondReading ReadAgainAndCompare(Feedback& ui, PortHandle port, const std::vector<TagRecord>& first) {
    SecondReading result;
    size_t matched = 0;
    BlocksEnd end = ReadRecordBlocks(ui, port, static_cast<int32_t>(first.size()), [&](const TagRecord& record) {
        if (matched == first.size() || record != first[matched]) return false;
        ++matched;
        return true;
    });
    switch (end) {
    case BlocksEnd::Failed: result.outcome = Outcome::TransactionFailed; break;
    case BlocksEnd::Stopped: result.outcome = Outcome::Stopped; break;
    case BlocksEnd::Rejected:
    case BlocksEnd::Done:
        if (matched < first.size() || end == BlocksEnd::Rejected) {
            result.outcome = Outcome::Differs;
            result.differingRow = static_cast<int>(matched) + 1;
        }
        break;
    }
    return result;
}
