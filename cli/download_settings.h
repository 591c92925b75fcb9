// What export and watch take from the command line for each reader's
// download (watch/download_job.h): the folder, the format and its profile,
// the animals' columns, the clear, and the record book.
#pragma once

#include "cli/commands.h"
#include "watch/watch.h"

// The profile `options` ask for, the dates they leave out taken as `today`:
// a download on a later day than the command's own gets that day's.
ExportProfile ProfileOf(const ExportOptions& options, const CalendarDate& today);

DownloadSettings SettingsFor(const GlobalOptions& global, const ExportOptions& options, const ExportProfile& profile);
