// New Zealand's NAIT animal movement file, as OSPRI's user guide for
// uploading a movement file describes it: a CSV file that carries every
// column heading in order, optional columns included (Sending NAIT
// Number, Receiving NAIT Number, NAIT RFID, NAIT Visual Tag Number,
// External Record ID, Date Sent, Date Received), one row per tag. The RFID
// is written "982 000161531687", one of the forms the guide lists; the
// visual tag number is the one the user's animal list gives the tag
// (VisualTagOf), empty where the list has none; External Record ID carries
// the row number, so a row the registry refuses is easy to find; the dates
// are dd/mm/yyyy, empty where not given.
//
// NAIT takes at most 2,500 movement rows in one file. A longer export is
// split into files named like the export's own with _1, _2 and so on: the
// export's file is the first, named for it (NameEnding), and each next one
// is created, exclusively, when the one before is full, and synced and
// closed then. Every row goes to its file as soon as it is made, so an
// export that stops midway leaves every row fetched in one of the files,
// once.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/date_form.h"
#include "ops/new_file.h"
#include "ops/record_writer.h"

inline constexpr int kNaitRowsPerFile = 2500;

struct NaitMovement {
    std::string sending;
    std::string receiving;
    std::optional<CalendarDate> dateSent;
    std::optional<CalendarDate> dateReceived;
};

// The number on a tag's visual tag, empty when not known (the book's animal list).
using VisualTagOf = std::function<std::string(const TagId&)>;

class NaitWriter final : public RecordWriter {
public:
    // Without `visualTag`, every visual tag number is empty.
    explicit NaitWriter(NaitMovement movement, VisualTagOf visualTag = {})
        : movement_(std::move(movement)), visualTag_(std::move(visualTag)) {}
    ~NaitWriter() override;
    NaitWriter(const NaitWriter&) = delete;
    NaitWriter& operator=(const NaitWriter&) = delete;

    std::string_view Extension() const override;
    std::string NameEnding(int32_t records) const override;
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override;

    std::vector<std::filesystem::path> FurtherFiles() const override;

private:
    bool NextFile();
    bool Line(std::string line);
    bool CloseNextFile();

    NaitMovement movement_;
    VisualTagOf visualTag_;
    ExportFile* first_ = nullptr;
    NewFileHandle next_ = kNoFile;  // the file after the first, while one is open
    int rowsInFile_ = 0;
    std::vector<std::filesystem::path> files_;
};
