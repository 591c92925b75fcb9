// The formats an export can write, by the name a user gives: "csv" (the
// default: the window's file), "xlsx" and "jsonl".
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ops/record_writer.h"

inline constexpr std::string_view kDefaultRecordFormat = "csv";

std::vector<std::string> RecordFormatNames();

// The writer for `name`, one of RecordFormatNames(); null for any other.
std::unique_ptr<RecordWriter> MakeRecordWriter(std::string_view name);
