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

}  // namespace

std::string SpacedTag(const TagId& id) { return FormatTagId(id, IdForm::Spaced).front(); }

void PrintReads(const std::vector<BookRead>& reads) {
    for (const BookRead& read : reads) {
        const std::string time = TimeText(read.tag.seconds);
        std::printf(kReadFormat, time.empty() ? kNoTime : time.c_str(), TypeText(read.tag.type),
                    SpacedTag(read.tag.id).c_str(), static_cast<long long>(read.download), read.row);
        if (read.known) {
            std::printf(kAnimalFormat, read.animal.visual.c_str(), read.animal.name.c_str(), read.animal.group.c_str());
        }
        std::printf("\n");
    }
}

void PrintAnimals(const std::vector<Animal>& animals) {
    std::printf("%s\n", kAnimalsHeading);
    for (const Animal& animal : animals) {
        std::printf("%s,%s,%s,%s,%s\n", SpacedTag(animal.tag).c_str(), CsvCell(animal.visual).c_str(),
                    CsvCell(animal.name).c_str(), CsvCell(animal.group).c_str(), CsvCell(animal.notes).c_str());
    }
}

int SayFailure(CliFeedback& ui, const BookStatus& status) {
    ui.Say(status.text);
    return kExitFailed;
}
