#include "formats/xlsx_writer.h"

#include <fstream>
#include <random>
#include <system_error>

#include <xlsxwriter.h>

#include "formats/country_name.h"
#include "formats/library_file_name.h"
#include "formats/tag_id.h"
#include "ops/csv_writer.h"
#include "ops/export_file.h"
#include "ops/local_time.h"

namespace {

const char* const kExtension = ".xlsx";
const char* const kFolderPrefix = "kavrin-xlsx-";
const char* const kWorkbookName = "export.xlsx";
const char* const kTextFormat = "@";
// By date form, as DateForm orders them.
const std::array<const char*, 3> kTimeFormats = {"yyyy-mm-dd hh:mm:ss", "dd/mm/yyyy hh:mm:ss", "dd/mm/yyyy"};
const char* const kIndexHeading = "INDEX";
const char* const kTypeHeading = "TYPE";
const char* const kTimeHeading = "TIME";
const char* const kEidHeading = "EID";
const char* const kCountryHeading = "COUNTRY";
constexpr int kIndex = 0;
constexpr int kType = 1;
constexpr int kFirstIdColumn = 2;
// Room beside the longest entry, enough for the header's filter button.
constexpr double kColumnPadding = 3;
constexpr int kFolderAttempts = 100;
constexpr size_t kCopyChunk = 64 * 1024;

// Characters, not bytes: a country name can hold any letter.
size_t DisplayLength(const std::string& utf8) {
    size_t length = 0;
    for (unsigned char byte : utf8) length += (byte & 0xC0) != 0x80;
    return length;
}

bool MakePrivateFolder(std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return false;
    std::random_device random;
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        folder = base / (kFolderPrefix + std::to_string(random()));
        if (std::filesystem::create_directory(folder, error)) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
            return !error;
        }
        if (error) return false;
    }
    return false;
}

}  // namespace

XlsxWriter::XlsxWriter(const ExportForms& forms) : forms_(forms) {
    headings_ = {kIndexHeading, kTypeHeading};
    for (std::string& heading : IdHeadings(forms.id)) headings_.push_back(std::move(heading));
    timeColumn_ = Columns();
    headings_.push_back(kTimeHeading);
    // The split form's columns are the reader's; the 15 digits come beside them.
    if (forms.id == IdForm::Split) headings_.push_back(kEidHeading);
    headings_.push_back(kCountryHeading);
    if (forms.extra)
        for (const ExtraColumn& column : forms.extra->Columns()) headings_.push_back(column.heading);
}

XlsxWriter::~XlsxWriter() { Discard(); }

std::string_view XlsxWriter::Extension() const { return kExtension; }

bool XlsxWriter::Begin(ExportFile& file) {
    file_ = &file;
    if (!MakePrivateFolder(folder_)) return false;
    workbookName_ = LibraryFileName(folder_, kWorkbookName);
    std::string scratch = LibraryFileName(folder_, "");
    // Constant memory: each row goes to a scratch file in the same folder as it is written.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratch.data();
    workbook_ = workbook_new_opt(workbookName_.c_str(), &options);
    if (workbook_ == nullptr) return false;
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    textFormat_ = workbook_add_format(workbook_);
    timeFormat_ = workbook_add_format(workbook_);
    if (sheet_ == nullptr || textFormat_ == nullptr || timeFormat_ == nullptr) return false;
    format_set_num_format(textFormat_, kTextFormat);
    const char* const timeFormat = kTimeFormats[static_cast<size_t>(forms_.date)];
    format_set_num_format(timeFormat_, timeFormat);
    widths_.assign(headings_.size(), 0);
    for (int column = 0; column < Columns(); ++column) {
        widths_[column] = DisplayLength(headings_[column]);
        if (worksheet_write_string(sheet_, 0, column, headings_[column].c_str(), nullptr) != LXW_NO_ERROR) {
            return false;
        }
    }
    widths_[timeColumn_] = std::max(widths_[timeColumn_], std::string_view(timeFormat).size());
    return true;
}

bool XlsxWriter::WriteText(int column, const std::string& text) {
    widths_[column] = std::max(widths_[column], DisplayLength(text));
    return worksheet_write_string(sheet_, row_, column, text.c_str(), textFormat_) == LXW_NO_ERROR;
}

bool XlsxWriter::Add(int index, const TagRecord&, const DecodedTag& tag) {
    if (sheet_ == nullptr) return false;
    ++row_;
    const std::string number = std::to_string(index);
    widths_[kIndex] = std::max(widths_[kIndex], number.size());
    if (worksheet_write_number(sheet_, row_, kIndex, index, nullptr) != LXW_NO_ERROR) return false;
    LocalTime local;
    if (ToLocalTime(tag.seconds, local)) {
        lxw_datetime time{local.year, local.month, local.day, local.hour, local.minute, double(local.second)};
        if (worksheet_write_datetime(sheet_, row_, timeColumn_, &time, timeFormat_) != LXW_NO_ERROR) return false;
    }
    if (!WriteText(kType, TypeText(tag.type))) return false;
    int column = kFirstIdColumn;
    for (const std::string& text : IdColumns(tag, forms_.id)) {
        if (!WriteText(column++, text)) return false;
    }
    column = timeColumn_ + 1;
    const TagId& id = tag.id;
    if (forms_.id == IdForm::Split && !WriteText(column++, FormatTagId(id, IdForm::Eid15).front())) return false;
    if (!WriteText(column++, CountryName(id.country))) return false;
    if (!forms_.extra) return true;
    for (const std::string& text : ExtraCells(*forms_.extra, tag)) {
        if (!text.empty() && !WriteText(column, text)) return false;
        ++column;
    }
    return true;
}

bool XlsxWriter::Finish() {
    if (workbook_ == nullptr) {
        Discard();
        return false;
    }
    bool laidOut = sheet_ != nullptr;
    for (int column = 0; laidOut && column < Columns(); ++column) {
        lxw_format* format = column == kIndex || column == timeColumn_ ? nullptr : textFormat_;
        laidOut = worksheet_set_column(sheet_, column, column, double(widths_[column]) + kColumnPadding, format) ==
                  LXW_NO_ERROR;
    }
    if (laidOut) {
        worksheet_freeze_panes(sheet_, 1, 0);
        laidOut = worksheet_autofilter(sheet_, 0, 0, row_, lxw_col_t(Columns() - 1)) == LXW_NO_ERROR;
    }
    const lxw_error closed = workbook_close(workbook_);
    workbook_ = nullptr;
    const bool copied = laidOut && closed == LXW_NO_ERROR && CopyWorkbook();
    Discard();
    return copied;
}

bool XlsxWriter::CopyWorkbook() {
    std::ifstream in(folder_ / kWorkbookName, std::ios::binary);
    if (!in) return false;
    std::string chunk(kCopyChunk, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const size_t got = static_cast<size_t>(in.gcount());
        if (got > 0 && !file_->Write(std::string_view(chunk.data(), got))) return false;
    }
    return in.eof();
}

void XlsxWriter::Discard() {
    if (workbook_ != nullptr) {
        workbook_close(workbook_);
        workbook_ = nullptr;
    }
    sheet_ = nullptr;
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        folder_.clear();
    }
}
