#include "cli/download_settings.h"

#include "cli/book_session.h"
#include "link/utf8_path.h"

// The request passed its checks on the command's day; a later day only
// widens what NAIT takes as a date sent, so the profile of that day is
// there, and the command's own stands in should it not be.
ExportProfile ProfileOf(const ExportOptions& options, const CalendarDate& today) {
    return ProfileForRequest(options.request, today).profile.value_or(options.profile);
}

DownloadSettings SettingsFor(const GlobalOptions& global, const ExportOptions& options, const ExportProfile& profile) {
    return {PathFromUtf8(options.folder), options.choice.format, profile, options.animals, options.clear,
            ChooseBook(global)};
}
