// The reader's records, read in blocks of up to ten by index from 0: what
// the export does to fetch them, and what a second reading does again.
//
// Blocks are asked for until `total` is reached (signed, as the reader's
// count: a negative one allows a single request) or a block comes back
// empty. A block request that fails (no answer, a bad frame, or a count
// byte claiming more records than the answer carries: nothing past the
// bytes received is ever read) is sent again for the same index; after
// three failures in a row the reading gives up. A front end may ask it to
// stop (Feedback::StopRequested): it then stops before the next request.
#pragma once

#include <cstdint>
#include <functional>

#include "link/serial_port.h"
#include "ops/feedback.h"
#include "ops/tag_record.h"

enum class BlocksEnd {
    Done,      // the total was reached or a block came back empty
    Failed,    // a block request kept failing
    Stopped,   // the front end asked to stop
    Rejected,  // `take` refused a record
};

// Reads over `port`; hands every record, in order, to `take`, which gives false to end the
// reading there. After each block, `blockTaken` (when given) runs, then
// ShowProgress tells the front end.
BlocksEnd ReadRecordBlocks(Feedback& ui, PortHandle port, int32_t total, const std::function<bool(const TagRecord&)>& take,
                           const std::function<void()>& blockTaken = {});
