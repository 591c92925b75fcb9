#include "formats/xlsx_writer.h"

#include <fstream>
#include <random>
#include <system_error>

#include <xlsxwriter.h>

#include "formats/country_name.h"
#include "formats/library_file_name.h"
#include "formats/tag_id.h"
#include "ops/export_file.h"
#include "ops/local_time.h"

namespace {

const char* const kExtension = ".xlsx";
const char* const kFolderPrefix = "kavrin-xlsx-";
const char* const kWorkbookName = "export.xlsx";
const char* const kTextFormat = "@";
const char* const kTimeFormat = "yyyy-mm-dd hh:mm:ss";
const std::array<const char*, XlsxWriter::kColumns> kHeader = {
    "INDEX", "TYPE", "COUNTRY ID", "TID", "TIME", "EID", "COUNTRY"};
enum Column { kIndex, kType, kCountry, kTid, kTime, kEid, kCountryName };
constexpr size_t kTimeWidth = 19;  // yyyy-mm-dd hh:mm:ss
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
    format_set_num_format(timeFormat_, kTimeFormat);
    for (int column = 0; column < kColumns; ++column) {
        widths_[column] = DisplayLength(kHeader[column]);
        if (worksheet_write_string(sheet_, 0, column, kHeader[column], nullptr) != LXW_NO_ERROR) return false;
    }
    widths_[kTime] = std::max(widths_[kTime], kTimeWidth);
    return true;
}

bool XlsxWriter::WriteText(int column, const std::string& text) {
    widths_[column] = std::max(widths_[column], DisplayLength(text));
    return worksheet_write_string(sheet_, row_, column, text.c_str(), textFormat_) == LXW_NO_ERROR;
}

bool XlsxWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    if (sheet_ == nullptr) return false;
    ++row_;
    const std::string number = std::to_string(index);
    widths_[kIndex] = std::max(widths_[kIndex], number.size());
    if (worksheet_write_number(sheet_, row_, kIndex, index, nullptr) != LXW_NO_ERROR) return false;
    LocalTime local;
    if (ToLocalTime(TagRecordSeconds(record), local)) {
        lxw_datetime time{local.year, local.month, local.day, local.hour, local.minute, double(local.second)};
        if (worksheet_write_datetime(sheet_, row_, kTime, &time, timeFormat_) != LXW_NO_ERROR) return false;
    }
    const TagId id = TagIdOf(tag);
    return WriteText(kType, tag.type) && WriteText(kCountry, tag.country) && WriteText(kTid, tag.identity) &&
           WriteText(kEid, FormatTagId(id, IdForm::Eid15).front()) && WriteText(kCountryName, CountryName(id.country));
}

bool XlsxWriter::Finish() {
    if (workbook_ == nullptr) {
        Discard();
        return false;
    }
    bool laidOut = sheet_ != nullptr;
    for (int column = 0; laidOut && column < kColumns; ++column) {
        lxw_format* format = column == kIndex || column == kTime ? nullptr : textFormat_;
        laidOut = worksheet_set_column(sheet_, column, column, double(widths_[column]) + kColumnPadding, format) ==
                  LXW_NO_ERROR;
    }
    if (laidOut) {
        worksheet_freeze_panes(sheet_, 1, 0);
        laidOut = worksheet_autofilter(sheet_, 0, 0, row_, kColumns - 1) == LXW_NO_ERROR;
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
