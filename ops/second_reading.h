// The reader's records read a second time and compared with the first
// reading, byte for byte, before anything may clear them.
//
// The reader's answers carry no checksum: a bit flipped on the line turns
// into a wrong tag number in the file, and only a second reading that
// differs can show it. The records are read again exactly as the export
// read them (record_blocks.h), as many as `first` holds.
#pragma once

#include <vector>

#include "link/serial_port.h"
#include "ops/feedback.h"
#include "ops/result.h"
#include "ops/tag_record.h"

// Ok when both readings agree. Differs when they do not, with
// `differingRow` the first row (from 1) whose record came back otherwise,
// or missing, or a record past the last one first read. TransactionFailed
// or Stopped when the second reading did not complete.
struct SecondReading : OpResult {
    int differingRow = 0;
};

SecondReading ReadAgainAndCompare(Feedback& ui, PortHandle port, const std::vector<TagRecord>& first);
