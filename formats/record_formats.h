// The formats an export can write, by the name a user gives: "csv" (the
// default: the window's file), "xlsx" and "jsonl", each with the ID and
// date forms asked for; and the registries' movement files, "nait" and
// "nlis", whose columns and forms the registry fixes.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/nait_writer.h"
#include "formats/nlis_writer.h"
#include "formats/record_columns.h"
#include "ops/record_writer.h"

inline constexpr std::string_view kDefaultRecordFormat = "csv";
inline constexpr std::string_view kNaitFormat = "nait";
inline constexpr std::string_view kNlisFormat = "nlis";

std::vector<std::string> RecordFormatNames();
std::vector<std::string> RegistryFormatNames();

// Everything a format may need beside the records; each takes its part.
struct ExportProfile {
    ExportForms forms;
    NaitMovement nait;
    NlisMovement nlis;
};

// The writer for `name`, one of RecordFormatNames() or RegistryFormatNames();
// null for any other.
std::unique_ptr<RecordWriter> MakeRecordWriter(std::string_view name, const ExportProfile& profile = {});
