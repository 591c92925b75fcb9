// What `kavrin-cli export` writes: the format, the ID and date forms, and
// the details a registry's movement file needs. Every value is checked
// while the command line is parsed, and so is every combination, so a bad
// one is a usage error naming the option before the reader is asked
// anything or a file exists.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "formats/formats.h"

struct ExportChoice {
    std::string format;
    std::string idForm;
    std::string dateForm;
    std::string sending;
    std::string receiving;
    std::string dateSent;
    std::string dateReceived;
    std::string fromPic;
    std::string toPic;
    std::string nvd;
    std::string date;
};

// Adds --format, the forms and the registries' options to `command`.
void AddExportOptions(CLI::App& command, ExportChoice& choice);
// After parsing: the profile for the chosen format, dates left out taken
// as `today`. Throws CLI::ValidationError for an option the format does
// not take, a required one missing, --delete (`clear`) with a registry's
// file, or a date NAIT does not take.
ExportProfile ProfileFor(const CLI::App& command, const ExportChoice& choice, const CalendarDate& today, bool clear);
