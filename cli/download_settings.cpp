#include "cli/download_settings.h"

#include "cli/book_session.h"
#include "link/utf8_path.h"

namespace {

std::optional<CalendarDate> DateGiven(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return ParseCalendarDate(text);
}

}  // namespace

ExportProfile ProfileOf(const ExportChoice& choice, const CalendarDate& today) {
    ExportProfile profile;
    if (choice.format == kNaitFormat) {
        profile.nait = {choice.sending, choice.receiving, DateGiven(choice.dateSent), DateGiven(choice.dateReceived)};
        if (!profile.nait.dateSent && !profile.nait.dateReceived) profile.nait.dateSent = today;
    } else if (choice.format == kNlisFormat) {
        profile.nlis = {PicAsWritten(choice.fromPic), PicAsWritten(choice.toPic), choice.nvd,
                        DateGiven(choice.date).value_or(today)};
    } else {
        profile.forms = {*IdFormFromName(choice.idForm), *DateFormFromName(choice.dateForm)};
    }
    return profile;
}

DownloadSettings SettingsFor(const GlobalOptions& global, const ExportOptions& options, const ExportProfile& profile) {
    return {PathFromUtf8(options.folder), options.choice.format, profile, options.animals, options.clear,
            ChooseBook(global)};
}
