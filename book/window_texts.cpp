#include "book/window_texts.h"

#include "formats/formats.h"
#include "ops/format_text.h"

namespace {

const char* const kDownloadTitleFormat = "%zu reads in download %lld (%s, %s)";
const char* const kPeriodTitleFormat = "Reads of %s: %zu";
const char* const kTagTitleFormat = "Every read of %s: %zu";
const char* const kNoReadOfTagFormat = "No read of %s in the record book";
const char* const kUnknownTitleFormat = "Reads of %s whose tag is not in the animal list: %zu";
const char* const kAnimalsTitleFormat = "Animals of %s: %zu";
const char* const kMissingTitleFormat = "Animals of %s not read in %s: %zu";
const char* const kEveryGroup = "every group";
const char* const kGroupFormat = "group %s";
const char* const kDownloadScopeFormat = "download %lld";
const char* const kLatestDownload = "the latest download";
const char* const kEveryDownload = "every download";
const char* const kFromToFormat = "the downloads from %s to %s";
const char* const kFromFormat = "the downloads from %s on";
const char* const kToFormat = "the downloads up to %s";
const char* const kRefusedSummaryFormat =
    "Nothing was imported from %s: %zu bad lines. Mend them in the file and import it again.";
const char* const kLineFormat = "Line %d: %s";
const char* const kImportedFormat = "%zu animals imported from %s.";
const char* const kOneImportedFormat = "1 animal imported from %s.";
const char* const kDownloadFileFormat = "download %lld";
const char* const kReadsFile = "reads";
const char* const kSavedFormat = "%zu reads saved in %s.";
const char* const kSavedSplitFormat = "%zu reads saved in %zu files, the first %s.";
const char* const kNotSavedFormat = "%s could not be written, so nothing was saved: choose a folder you can write to.";

}  // namespace

std::string DownloadScopeText(int64_t number) { return FormatText(kDownloadScopeFormat, static_cast<long long>(number)); }

std::string LatestDownloadText() { return kLatestDownload; }

std::string PeriodText(const std::string& from, const std::string& to) {
    if (!from.empty() && !to.empty()) return FormatText(kFromToFormat, from.c_str(), to.c_str());
    if (!from.empty()) return FormatText(kFromFormat, from.c_str());
    if (!to.empty()) return FormatText(kToFormat, to.c_str());
    return kEveryDownload;
}

std::string GroupText(const std::string& group) {
    return group.empty() ? kEveryGroup : FormatText(kGroupFormat, group.c_str());
}

std::string DownloadReadsTitle(size_t reads, const DownloadSummary& download) {
    return FormatText(kDownloadTitleFormat, reads, static_cast<long long>(download.number), download.started.c_str(),
                      download.port.c_str());
}

std::string PeriodReadsTitle(const std::string& period, size_t reads) {
    return FormatText(kPeriodTitleFormat, period.c_str(), reads);
}

std::string TagReadsTitle(const TagId& tag, size_t reads) {
    const std::string spaced = FormatTagId(tag, IdForm::Spaced).front();
    return reads == 0 ? FormatText(kNoReadOfTagFormat, spaced.c_str()) : FormatText(kTagTitleFormat, spaced.c_str(), reads);
}

std::string UnknownReadsTitle(const std::string& where, size_t reads) {
    return FormatText(kUnknownTitleFormat, where.c_str(), reads);
}

std::string AnimalsTitle(const std::string& group, size_t animals) {
    return FormatText(kAnimalsTitleFormat, GroupText(group).c_str(), animals);
}

std::string MissingAnimalsTitle(const std::string& group, const std::string& where, size_t animals) {
    return FormatText(kMissingTitleFormat, GroupText(group).c_str(), where.c_str(), animals);
}

std::vector<std::string> GroupsOf(const std::vector<Animal>& animals) {
    std::vector<std::string> groups;
    for (const Animal& animal : animals) {
        if (!animal.group.empty() && (groups.empty() || groups.back() != animal.group)) groups.push_back(animal.group);
    }
    return groups;
}

std::string ImportRefusedSummary(const std::string& file, size_t badLines) {
    return FormatText(kRefusedSummaryFormat, file.c_str(), badLines);
}

std::vector<std::string> ImportProblemLines(const std::vector<CsvProblem>& problems) {
    std::vector<std::string> lines;
    lines.reserve(problems.size());
    // Line 0: the file as a whole.
    for (const CsvProblem& problem : problems)
        lines.push_back(problem.line > 0 ? FormatText(kLineFormat, problem.line, problem.text.c_str()) : problem.text);
    return lines;
}

std::string ImportedSentence(size_t animals, const std::string& file) {
    return animals == 1 ? FormatText(kOneImportedFormat, file.c_str()) : FormatText(kImportedFormat, animals, file.c_str());
}

std::string SaveAsName(int64_t number) {
    return number != 0 ? FormatText(kDownloadFileFormat, static_cast<long long>(number)) : kReadsFile;
}

std::string SavedSentence(size_t reads, size_t files, const std::string& target) {
    if (files == 0) return FormatText(kNotSavedFormat, target.c_str());
    if (files == 1) return FormatText(kSavedFormat, reads, target.c_str());
    return FormatText(kSavedSplitFormat, reads, files, target.c_str());
}
