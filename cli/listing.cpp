#include "cli/listing.h"

#include <cstdio>

#include "cli/commands.h"
#include "formats/formats.h"
#include "ops/csv_writer.h"

namespace {

const char* const kReadFormat = "%-19s  %-4s  %s  download %lld, row %d";
const char* const kAnimalFormat = "  [%s %s %s]";
const char* const kNoTime = "(no time)";
const char* const kAnimalsHeading = "tag,visual tag,name,group,notes";
const char* const kDownloadsHeading = "DOWNLOAD  WHEN                 RECORDS    NEW  OUTCOME     PORT  FILE";
const char* const kDownloadFormat = "%8lld  %-19s  %7d  %5d  %-10s  %s  %s\n";

}  // namespace

std::string SpacedTag(const TagId& id) { return FormatTagId(id, IdForm::Spaced).front(); }

int PrintDownloads(CliFeedback& ui, const BookAnswer<std::vector<DownloadSummary>>& downloads) {
    if (!downloads.status.Ok()) return SayFailure(ui, downloads.status);
    std::printf("%s\n", kDownloadsHeading);
    for (const DownloadSummary& d : downloads.value) {
        std::printf(kDownloadFormat, static_cast<long long>(d.number), d.started.c_str(), d.rows, d.newRows,
                    d.outcome.c_str(), d.port.c_str(), d.file.c_str());
    }
    return kExitOk;
}

int PrintReads(CliFeedback& ui, const BookAnswer<std::vector<BookRead>>& reads) {
    if (!reads.status.Ok()) return SayFailure(ui, reads.status);
    for (const BookRead& read : reads.value) {
        const std::string time = TimeText(read.tag.seconds);
        std::printf(kReadFormat, time.empty() ? kNoTime : time.c_str(), TypeText(read.tag.type),
                    SpacedTag(read.tag.id).c_str(), static_cast<long long>(read.download), read.row);
        if (read.known) {
            std::printf(kAnimalFormat, read.animal.visual.c_str(), read.animal.name.c_str(), read.animal.group.c_str());
        }
        std::printf("\n");
    }
    return kExitOk;
}

int PrintAnimals(CliFeedback& ui, const BookAnswer<std::vector<Animal>>& animals) {
    if (!animals.status.Ok()) return SayFailure(ui, animals.status);
    std::printf("%s\n", kAnimalsHeading);
    for (const Animal& animal : animals.value) {
        std::printf("%s,%s,%s,%s,%s\n", SpacedTag(animal.tag).c_str(), CsvCell(animal.visual).c_str(),
                    CsvCell(animal.name).c_str(), CsvCell(animal.group).c_str(), CsvCell(animal.notes).c_str());
    }
    return kExitOk;
}

int SayFailure(CliFeedback& ui, const BookStatus& status) {
    ui.Say(status.text);
    return kExitFailed;
}
