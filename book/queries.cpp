#include "book/queries.h"

#include <sqlite3.h>

#include "book/statement.h"

namespace {

const char* const kDownloadColumns =
    "SELECT w.number, w.started, w.port, w.firmware, w.reported,"
    " (SELECT count(*) FROM download_rows d WHERE d.download = w.number),"
    " (SELECT count(*) FROM reads r WHERE r.first_download = w.number),"
    " w.outcome, w.file, w.format FROM downloads w ";

// A read with its row `d`, the row's download `w` and its animal `a`, if any.
const char* const kReadColumns =
    "SELECT d.download, d.row, w.started, r.raw,"
    " r.first_download = d.download AND r.first_row = d.row, a.country IS NOT NULL,"
    " r.country, r.national, coalesce(a.visual, ''), coalesce(a.name, ''), coalesce(a.group_name, ''),"
    " coalesce(a.notes, '') ";
const char* const kReadJoins =
    " JOIN downloads w ON w.number = d.download"
    " LEFT JOIN animals a ON a.country = r.country AND a.national = r.national ";
// The read of a row `d`.
const char* const kRowRead = " JOIN reads r ON r.country = d.country AND r.national = d.national AND r.raw = d.raw ";
// Each read once, at the row that first brought it.
const char* const kFirstRow = " JOIN download_rows d ON d.download = r.first_download AND d.row = r.first_row ";

// The numbers of the scope's downloads, from parameters ?1 (a number), ?2
// and ?3 (the bounds of their start).
const char* const kScope =
    "(SELECT number FROM downloads WHERE CASE"
    " WHEN ?1 > 0 THEN number = ?1"
    " WHEN ?2 != '' OR ?3 != '' THEN (?2 = '' OR started >= ?2) AND (?3 = '' OR started < ?3)"
    " ELSE number = (SELECT max(number) FROM downloads) END)";

const char* const kAnimalColumns = "SELECT country, national, visual, name, group_name, notes FROM animals ";

DownloadSummary SummaryAt(const Statement& s) {
    return {s.Int(0),  s.Text(1), s.Text(2), s.Text(3), static_cast<int32_t>(s.Int(4)), static_cast<int>(s.Int(5)),
            static_cast<int>(s.Int(6)), s.Text(7), s.Text(8), s.Text(9)};
}

BookRead ReadAt(const Statement& s) {
    BookRead read;
    read.download = s.Int(0);
    read.row = static_cast<int>(s.Int(1));
    read.downloadStarted = s.Text(2);
    read.record = s.Record(3);
    // The bytes are the read: its numbers come from them, as they came at the download.
    read.tag = DecodeTagRecord(read.record);
    read.isNew = s.Int(4) != 0;
    read.known = s.Int(5) != 0;
    read.animal = {{static_cast<unsigned>(s.Int(6)), static_cast<uint64_t>(s.Int(7))}, s.Text(8), s.Text(9),
                   s.Text(10), s.Text(11)};
    return read;
}

Animal AnimalAt(const Statement& s) {
    return {{static_cast<unsigned>(s.Int(0)), static_cast<uint64_t>(s.Int(1))}, s.Text(2), s.Text(3), s.Text(4), s.Text(5)};
}

// Every row of a statement whose parameters are bound, made by `make`.
template <typename Row, typename Make>
BookAnswer<std::vector<Row>> Collect(Book& book, Statement& statement, Make make) {
    BookAnswer<std::vector<Row>> answer;
    int code;
    while ((code = statement.Step()) == SQLITE_ROW) answer.value.push_back(make(statement));
    if (code != SQLITE_DONE) answer = {book.Failure(code), {}};
    return answer;
}

void BindScope(Statement& statement, const DownloadScope& scope) {
    statement.Bind(1, scope.download).Bind(2, scope.from).Bind(3, scope.before);
}

}  // namespace

BookAnswer<std::vector<DownloadSummary>> ListDownloads(Book& book) {
    Statement statement(book.Handle(), std::string(kDownloadColumns) + "ORDER BY w.number");
    return Collect<DownloadSummary>(book, statement, SummaryAt);
}

BookAnswer<int64_t> ChangeCount(Book& book) {
    Statement statement(book.Handle(), "PRAGMA data_version");
    const int code = statement.Step();
    if (code != SQLITE_ROW) return {book.Failure(code), 0};
    return {{}, statement.Int(0)};
}

BookAnswer<std::vector<DownloadSummary>> FindDownload(Book& book, int64_t number) {
    Statement statement(book.Handle(), std::string(kDownloadColumns) + "WHERE w.number = ?");
    statement.Bind(1, number);
    return Collect<DownloadSummary>(book, statement, SummaryAt);
}

BookAnswer<std::vector<BookRead>> DownloadRows(Book& book, int64_t number) {
    Statement statement(book.Handle(), std::string(kReadColumns) +
                                           "FROM download_rows d" + kRowRead + kReadJoins +
                                           "WHERE d.download = ? ORDER BY d.row");
    statement.Bind(1, number);
    return Collect<BookRead>(book, statement, ReadAt);
}

BookAnswer<std::vector<BookRead>> ReadsOfTag(Book& book, const TagId& id) {
    Statement statement(book.Handle(), std::string(kReadColumns) + "FROM reads r" + kFirstRow + kReadJoins +
                                           "WHERE r.country = ? AND r.national = ?"
                                           " ORDER BY r.time DESC, r.first_download DESC, r.first_row DESC");
    statement.Bind(1, int64_t{id.country}).Bind(2, static_cast<int64_t>(id.national));
    return Collect<BookRead>(book, statement, ReadAt);
}

BookAnswer<std::vector<BookRead>> ReadsOfScope(Book& book, const DownloadScope& scope, ReadFilter filter) {
    Statement statement(book.Handle(),
                        std::string("WITH chosen AS (SELECT DISTINCT country, national, raw FROM download_rows"
                                    " WHERE download IN ") +
                            kScope + ") " + kReadColumns +
                            "FROM chosen c JOIN reads r USING (country, national, raw)" + kFirstRow + kReadJoins +
                            "WHERE (?4 = 0 OR r.first_download IN " + kScope +
                            ") AND (?5 = 0 OR a.country IS NULL) ORDER BY r.first_download, r.first_row");
    BindScope(statement, scope);
    statement.Bind(4, int64_t{filter == ReadFilter::New}).Bind(5, int64_t{filter == ReadFilter::Unknown});
    return Collect<BookRead>(book, statement, ReadAt);
}

BookAnswer<std::vector<Animal>> MissingAnimals(Book& book, const std::string& group, const DownloadScope& scope) {
    Statement statement(book.Handle(), std::string(kAnimalColumns) +
                                           "WHERE (?4 = '' OR group_name = ?4) AND (country, national) NOT IN"
                                           " (SELECT country, national FROM download_rows WHERE download IN " +
                                           kScope + ") ORDER BY group_name, country, national");
    BindScope(statement, scope);
    statement.Bind(4, group);
    return Collect<Animal>(book, statement, AnimalAt);
}

BookAnswer<std::vector<Animal>> ListAnimals(Book& book, const std::string& group) {
    Statement statement(book.Handle(),
                        std::string(kAnimalColumns) + "WHERE ?1 = '' OR group_name = ?1 ORDER BY group_name, country, national");
    statement.Bind(1, group);
    return Collect<Animal>(book, statement, AnimalAt);
}

BookAnswer<ShownDownload> LoadDownload(Book& book, int64_t number) {
    BookAnswer<ShownDownload> answer;
    auto found = FindDownload(book, number);
    answer.status = found.status;
    if (!found.status.Ok() || found.value.empty()) return answer;
    answer.value.summary = found.value.front();
    auto rows = DownloadRows(book, number);
    answer.status = rows.status;
    answer.value.rows = std::move(rows.value);
    return answer;
}
