// The dialogs of the records: "Save As..." and the report of an animal list
// refused.
//
// Save As offers the formats by what they are, the ID and date forms as
// what they look like ("982 000123456789", "19/09/2021"), and the fields a
// registry's movement file needs. Every field is checked as kavrin-cli
// checks its options (formats/export_request.h) before the file is asked
// for: a refusal names its field in a message and keeps the dialog open
// with that field chosen, so nothing is written until every field is fit.
// The file dialog asks before it replaces a file.
#pragma once

#include <QWidget>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"

// The titles of the dialogs and of the messages that follow them.
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kImportTitle = "Import Animals";

struct SaveAsAnswer {
    std::filesystem::path file;
    ReadsFileChoice choice;
};

// Starts at `suggested` (a path without its extension, which the format
// gives); nothing when the user cancelled.
std::optional<SaveAsAnswer> AskSaveAs(QWidget* parent, const std::filesystem::path& suggested);

// Every bad line of the list in `file`, in one dialog.
void ShowImportReport(QWidget* parent, const std::string& file, const std::vector<CsvProblem>& problems);
