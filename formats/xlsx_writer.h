// The Excel workbook export (.xlsx), written with libxlsxwriter.
//
// One sheet: INDEX, TYPE, the ID's columns and TIME as in the CSV, then,
// for the split form, EID (15 digits), and COUNTRY (the name). Identifiers
// are text cells in every form, so no leading zero or digit is lost; TIME
// is a date-time cell shown in the date form (yyyy-mm-dd hh:mm:ss,
// dd/mm/yyyy hh:mm:ss or dd/mm/yyyy; blank where the CSV's TIME is empty);
// INDEX is a number. The header row is frozen and carries an autofilter, and each
// column is as wide as its longest entry.
//
// libxlsxwriter writes a workbook only to a file it opens itself, and only
// when the workbook is closed. So the workbook grows in a private temporary
// folder (rows go to disk as they come, not into memory), and Finish copies
// its bytes into the export file, which stays the one claimed for this
// export, then removes the folder. Finish writes the rows added so far
// after a failed export too: the workbook is always a valid one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "formats/record_columns.h"
#include "ops/record_writer.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxWriter final : public RecordWriter {
public:
    explicit XlsxWriter(const ExportForms& forms);
    ~XlsxWriter() override;
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    std::string_view Extension() const override;
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;

private:
    bool WriteText(int column, const std::string& text);
    int Columns() const { return int(headings_.size()); }
    bool CopyWorkbook();
    void Discard();

    ExportForms forms_;
    std::vector<std::string> headings_;
    int timeColumn_ = 0;
    ExportFile* file_ = nullptr;
    std::filesystem::path folder_;
    std::string workbookName_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* textFormat_ = nullptr;
    lxw_format* timeFormat_ = nullptr;
    uint32_t row_ = 0;
    std::vector<size_t> widths_;
};
