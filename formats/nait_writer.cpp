#include "formats/nait_writer.h"

#include "formats/csv_cell.h"
#include "formats/tag_id.h"
#include "ops/csv_writer.h"
#include "ops/export_file.h"

namespace {

const char* const kExtension = ".csv";
const char* const kFirstSuffix = "_1";
const char* const kPartSeparator = "_";
const char* const kHeader = "Sending NAIT Number,Receiving NAIT Number,NAIT RFID,NAIT Visual Tag Number,"
                            "External Record ID,Date Sent,Date Received";

std::string DateColumn(const std::optional<CalendarDate>& date) { return date ? DayMonthYear(*date) : std::string(); }

// The name of file `number` beside `first`: "20210919_0544_1.csv" gives
// "20210919_0544_2.csv". A first file named without _1 (an export that
// outgrew its count) gives the same stem. Native strings: a folder's name
// may hold any character.
std::filesystem::path Sibling(const std::filesystem::path& first, int number) {
    using Native = std::filesystem::path::string_type;
    Native stem = first.stem().native();
    const Native firstSuffix = std::filesystem::path(kFirstSuffix).native();
    if (stem.size() > firstSuffix.size() && stem.ends_with(firstSuffix)) stem.resize(stem.size() - firstSuffix.size());
    const std::string ending = kPartSeparator + std::to_string(number) + kExtension;
    return first.parent_path() / (stem + std::filesystem::path(ending).native());
}

}  // namespace

NaitWriter::~NaitWriter() { CloseNextFile(); }

std::string_view NaitWriter::Extension() const { return kExtension; }

std::string NaitWriter::NameEnding(int32_t records) const {
    return std::string(records > kNaitRowsPerFile ? kFirstSuffix : "") + kExtension;
}

bool NaitWriter::Begin(ExportFile& file) {
    first_ = &file;
    files_ = {file.Path()};
    return Line(kHeader);
}

bool NaitWriter::Add(int index, const TagRecord&, const DecodedTag& tag) {
    if (rowsInFile_ == kNaitRowsPerFile && !NextFile()) return false;
    ++rowsInFile_;
    const std::string visual = visualTag_ ? CsvCell(visualTag_(tag.id)) : std::string();
    return Line(movement_.sending + ',' + movement_.receiving + ',' + FormatTagId(tag.id, IdForm::Spaced).front() +
                ',' + visual + ',' + std::to_string(index) + ',' + DateColumn(movement_.dateSent) + ',' +
                DateColumn(movement_.dateReceived));
}

bool NaitWriter::Finish() { return CloseNextFile(); }

std::vector<std::filesystem::path> NaitWriter::FurtherFiles() const {
    if (files_.empty()) return {};
    return {files_.begin() + 1, files_.end()};
}

// The full file goes to the disk before the next one starts.
bool NaitWriter::NextFile() {
    if (!CloseNextFile()) return false;
    const std::filesystem::path path = Sibling(files_.front(), int(files_.size()) + 1);
    if (CreateNewFile(path, next_) != NewFileResult::Created) return false;
    files_.push_back(path);
    rowsInFile_ = 0;
    return Line(kHeader);
}

bool NaitWriter::Line(std::string line) {
    line += kCsvLineEnd;
    if (next_ == kNoFile) return first_->Write(line);
    return WriteToFile(next_, line.data(), line.size());
}

bool NaitWriter::CloseNextFile() {
    if (next_ == kNoFile) return true;
    const bool synced = SyncFile(next_, files_.back());
    const bool closed = CloseFile(next_);
    next_ = kNoFile;
    return synced && closed;
}
