// Australia's NLIS PIC reconciliation file, as Integrity Systems' how-to
// guide for a reconciliation by file upload describes it: two columns, the
// PIC in column A and the tag in column B. The tag is written as in the
// movement file ("982 000123456789"); each tag once, at its first record,
// whatever else the reader or the book holds of it: a reconciliation is a
// stocktake of tags. No header row, as for the movement file; lines end in
// CR LF. The PIC is checked before any file exists (registry_checks.h);
// the writer refuses to begin with one that fails the check.
#pragma once

#include <set>
#include <string>

#include "ops/csv_writer.h"

class NlisPicWriter final : public CsvWriter {
public:
    // `pic` as PicAsWritten gives it.
    explicit NlisPicWriter(std::string pic) : pic_(std::move(pic)) {}

    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;

protected:
    std::string Header() const override { return {}; }
    std::string Row(int index, const TagRecord& record, const DecodedTag& tag) const override;

private:
    std::string pic_;
    std::set<TagId> written_;
};
