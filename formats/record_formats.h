// The formats an export can write, by the name a user gives: "csv" (the
// default: the window's file), "xlsx" and "jsonl", each with the ID and
// date forms asked for; the registries' movement files, "nait" and
// "nlis", and NLIS's PIC reconciliation file, "nlis-pic", whose columns
// and forms the registry fixes.
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
inline constexpr std::string_view kNlisPicFormat = "nlis-pic";

std::vector<std::string> RecordFormatNames();
std::vector<std::string> RegistryFormatNames();
// A registry's file: nait, nlis or nlis-pic.
bool IsRegistryFormat(std::string_view name);

// Everything a format may need beside the records; each takes its part.
struct ExportProfile {
    ExportForms forms;
    NaitMovement nait;
    VisualTagOf visualTag;  // nait: from the user's animal list, where the book is open
    NlisMovement nlis;
    std::string pic;  // nlis-pic: the PIC the tags are reconciled to, as PicAsWritten gives it
};

// The writer for `name`, one of RecordFormatNames() or RegistryFormatNames();
// null for any other.
std::unique_ptr<RecordWriter> MakeRecordWriter(std::string_view name, const ExportProfile& profile = {});
