#include "book/download_keeping.h"

#include "ops/format_text.h"

namespace {

const char* const kNoDefaultPath = "no folder for the record book: set XDG_DATA_HOME or HOME, or give --book FILE";
const char* const kRecordedFormat = "record book: download %lld, %d records, %d new";

DownloadOutcome OutcomeOf(const ExportResult& result) {
    switch (result.outcome) {
    case Outcome::Ok: return DownloadOutcome::Complete;
    case Outcome::Stopped: return DownloadOutcome::Stopped;
    default: return DownloadOutcome::Failed;
    }
}

}  // namespace

BookStatus OpenChosenBook(const BookChoice& choice, BookAccess access, Book& book) {
    if (choice.path.empty()) return {BookError::CannotOpen, kNoDefaultPath};
    return book.Open(choice.path, access);
}

DownloadKeeping::DownloadKeeping(const BookChoice& choice, RecordWriter& file, DownloadStart start)
    : choice_(choice), recording_(book_), writer_(file, recording_, std::move(start)) {
    if (choice_.kept) status_ = OpenChosenBook(choice_, BookAccess::Create, book_);
}

bool DownloadKeeping::Finish(const ExportResult& result) {
    if (!Open()) return status_.Ok();
    status_ = writer_.Status();
    if (writer_.Begun()) {
        const BookStatus finished = recording_.Finish(OutcomeOf(result), result.total);
        if (status_.Ok()) status_ = finished;
    }
    return status_.Ok();
}

std::string DownloadKeeping::Line() const {
    if (!status_.Ok()) return status_.text;
    if (!choice_.kept || !writer_.Begun()) return {};
    return FormatText(kRecordedFormat, static_cast<long long>(recording_.Number()), recording_.Rows(),
                      recording_.NewRows());
}

bool DownloadKeeping::HoldsAll(const ExportResult& result) const {
    return !choice_.kept || result.rows == 0 || (status_.Ok() && writer_.Begun() && recording_.Rows() == result.rows);
}
