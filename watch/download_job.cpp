#include "watch/download_job.h"

#include <algorithm>

#include "link/utf8_path.h"
#include "ops/clock.h"
#include "ops/format_text.h"

namespace {

const char* const kPartialFile = "the rows fetched before the failure are in ";
const char* const kInterruptedFile = "interrupted: the rows fetched before the interrupt are in ";
const char* const kFileSeparator = ", ";
const char* const kNotInBook = "not deleting the reader's records: the record book does not hold the download";
const char* const kWideCountriesFormat =
    "rows with a country code above 999, written as decoded in four digits (no registry takes them): %lld";
constexpr unsigned kWidestThreeDigitCountry = 999;

// The settings' profile, with the animal list's columns where they are
// asked for, and NAIT's visual tags from it.
ExportProfile ProfileWith(const DownloadSettings& settings, KnownAnimals& known) {
    ExportProfile profile = settings.profile;
    if (settings.animals) profile.forms.extra = &known;
    if (settings.format == kNaitFormat) profile.visualTag = [&known](const TagId& id) { return known.VisualTag(id); };
    return profile;
}

DownloadStart StartOf(const std::string& port, const ConnectResult& connection, const std::string& format) {
    return {SystemClock().now(), port, FirmwareText(connection.major, connection.minor), 0, {}, format};
}

// The export's file and any that a split export wrote after it.
std::vector<std::string> FilesWritten(const ExportResult& result, const RecordWriter& writer) {
    if (result.file.empty()) return {};
    std::vector<std::string> files = {Utf8FromPath(result.file.lexically_normal())};
    for (const auto& further : writer.FurtherFiles()) files.push_back(Utf8FromPath(further.lexically_normal()));
    return files;
}

void SayWideCountries(DownloadFeedback& ui, const std::vector<TagRecord>& records) {
    const long long wide = std::count_if(records.begin(), records.end(), [](const TagRecord& record) {
        return DecodeTagRecord(record).id.country > kWidestThreeDigitCountry;
    });
    if (wide > 0) ui.Say(FormatText(kWideCountriesFormat, wide));
}

// The files the export wrote: handed over when it saved them all, else
// said with why they hold only part.
void SayFiles(DownloadFeedback& ui, const ExportResult& result, const std::vector<std::string>& files) {
    switch (result.outcome) {
    case Outcome::Ok: ui.Saved(files); break;
    case Outcome::Stopped:
        if (!files.empty()) ui.Say(kInterruptedFile + JoinedText(files, kFileSeparator));
        break;
    case Outcome::TransactionFailed:
        if (!files.empty()) ui.Say(kPartialFile + JoinedText(files, kFileSeparator));
        break;
    default: break;
    }
}

// The export's own part of the status; a refusal, which the operation's
// lines may not show, is said.
DownloadStatus ExportStatus(DownloadFeedback& ui, const ExportResult& result) {
    switch (result.outcome) {
    case Outcome::Ok: return DownloadStatus::Ok;
    case Outcome::Stopped: return DownloadStatus::Stopped;
    case Outcome::Refused: ui.Say(RefusalText(result)); return DownloadStatus::Failed;
    default: return DownloadStatus::Failed;
    }
}

}  // namespace

DownloadJob::DownloadJob(DownloadFeedback& ui, const DownloadSettings& settings, const std::string& port,
                         const ConnectResult& connection)
    : ui_(ui),
      settings_(settings),
      format_(MakeRecordWriter(settings.format, ProfileWith(settings, known_))),
      keeping_(*format_),
      book_(settings.book, keeping_, StartOf(port, connection, settings.format)) {
    // A book that failed leaves the columns empty, never the file unwritten.
    if ((settings_.animals || settings_.format == kNaitFormat) && book_.TheBook().IsOpen()) {
        if (const BookStatus loaded = known_.Load(book_.TheBook()); !loaded.Ok()) ui_.Say(loaded.text);
    }
}

DownloadReport DownloadJob::Finish(PortHandle port, const ExportResult& result) {
    ui_.EndProgress();
    DownloadReport report;
    report.result = result;
    const bool booked = book_.Finish(result);
    if (const std::string line = book_.Line(); !line.empty()) ui_.Say(line);
    report.number = book_.Number();
    report.files = FilesWritten(result, keeping_);
    SayWideCountries(ui_, keeping_.Records());
    SayFiles(ui_, result, report.files);
    // An empty reader is not a failure: there is simply no file, and nothing to delete.
    if (result.Ok() && report.files.empty()) {
        report.status = booked ? DownloadStatus::Ok : DownloadStatus::Failed;
        return report;
    }
    DownloadStatus status = ExportStatus(ui_, result);
    if (status == DownloadStatus::Ok && !booked) status = DownloadStatus::Failed;
    report.status = status;
    if (!settings_.clear) return report;
    if (status != DownloadStatus::Stopped && result.Ok() && !book_.HoldsAll(result)) {
        ui_.Say(kNotInBook);
        report.status = DownloadStatus::Failed;
        return report;
    }
    // Says why it will not clear the reader after anything short of a saved export.
    const DownloadStatus cleared = ClearAfterExport(ui_, port, result, keeping_.Records());
    if (status != DownloadStatus::Stopped) report.status = cleared;
    return report;
}
