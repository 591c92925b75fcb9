// "Save As": the format, the ID and date forms (offered as what they look
// like: "982 000123456789", "19/09/2021"), the fields a registry's movement
// file needs, and the file. Every field is checked as kavrin-cli checks its
// options (formats/export_request.h) before the dialog closes: a refusal
// names its field and keeps the dialog open, so nothing is written until
// every field is fit.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>

#include "formats/formats.h"

struct SaveChoice {
    std::string format;  // one of RecordFormatNames() or RegistryFormatNames()
    ExportProfile profile;
    bool withAnimals = false;  // the animal list's columns too
    std::filesystem::path file;
};

// Starts at `suggested` (a path without its extension, which the format
// gives); nothing when the user cancelled.
std::optional<SaveChoice> AskSaveAs(HWND owner, const std::filesystem::path& suggested);
