// What `kavrin-cli export` writes: the format, the ID and date forms, and
// the details a registry's movement file needs. Every value is checked
// while the command line is parsed, and so is every combination, so a bad
// one is a usage error naming the option before the reader is asked
// anything or a file exists. Part of the parsing: only command_line.cpp
// includes this.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.h"

// Adds --format, the forms and the registries' options to `command`.
void AddExportOptions(CLI::App& command, ExportChoice& choice);
// After parsing: what was asked, each option as given or left out, and
// --delete (`clear`).
ExportRequest RequestOf(const CLI::App& command, const ExportChoice& choice, bool clear);
// The profile for the request, dates left out taken as `today`. Throws
// CLI::ValidationError for an option the format does not take, a required
// one missing, --delete with a registry's file, or a date NAIT does not take.
ExportProfile ProfileFor(const ExportRequest& request, const CalendarDate& today);
