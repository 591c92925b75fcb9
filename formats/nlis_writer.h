// Australia's NLIS movement file, as Integrity Systems' how-to guide for
// uploading a movement file describes it: one row per tag with five
// columns, the RFID ("982 000123456789"), the PIC the animals leave, the
// PIC they arrive at, the NVD or waybill number, and the date of the
// movement as dd/mm/yyyy. The database needs no header row, so there is
// none. Lines end in CR LF; the PICs and the NVD are checked before the
// export starts (registry_checks.h).
#pragma once

#include <string>

#include "formats/date_form.h"
#include "ops/csv_writer.h"

struct NlisMovement {
    std::string fromPic;
    std::string toPic;
    std::string nvd;  // may be empty
    CalendarDate date;
};

class NlisWriter final : public CsvWriter {
public:
    explicit NlisWriter(NlisMovement movement) : movement_(std::move(movement)) {}

protected:
    std::string Header() const override { return {}; }
    std::string Row(int index, const TagRecord& record, const DecodedTag& tag) const override;

private:
    NlisMovement movement_;
};
