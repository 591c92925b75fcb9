// What export and watch take from the command line for each reader's
// download (watch/download_job.h): the folder, the format and its profile,
// the animals' columns, the clear, and the record book.
#pragma once

#include "cli/commands.h"
#include "watch/download_job.h"

// The profile `choice` asks for, the dates it leaves out taken as `today`.
// The choice has passed its checks (export_options.h).
ExportProfile ProfileOf(const ExportChoice& choice, const CalendarDate& today);

DownloadSettings SettingsFor(const GlobalOptions& global, const ExportOptions& options, const ExportProfile& profile);
