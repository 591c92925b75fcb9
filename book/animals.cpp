#include "book/animals.h"

#include <sqlite3.h>

#include "book/statement.h"

namespace {

// A column the list did not have (its flag 0) keeps what the book holds.
const char* const kUpsert =
    "INSERT INTO animals (country, national, visual, name, group_name, notes) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
    " ON CONFLICT (country, national) DO UPDATE SET"
    " visual = iif(?7, excluded.visual, visual), name = iif(?8, excluded.name, name),"
    " group_name = iif(?9, excluded.group_name, group_name), notes = iif(?10, excluded.notes, notes)";

}  // namespace

BookStatus SaveAnimals(Book& book, const std::vector<Animal>& animals, const AnimalColumns& columns) {
    if (BookStatus status = book.Run("BEGIN IMMEDIATE"); !status.Ok()) return status;
    int code = SQLITE_DONE;
    {
        Statement upsert(book.Handle(), kUpsert);
        upsert.Bind(7, int64_t{columns.visual}).Bind(8, int64_t{columns.name});
        upsert.Bind(9, int64_t{columns.group}).Bind(10, int64_t{columns.notes});
        for (const Animal& animal : animals) {
            upsert.Bind(1, int64_t{animal.tag.country}).Bind(2, static_cast<int64_t>(animal.tag.national));
            upsert.Bind(3, animal.visual).Bind(4, animal.name).Bind(5, animal.group).Bind(6, animal.notes);
            code = upsert.Step();
            upsert.Reset();
            if (code != SQLITE_DONE) break;
        }
    }
    BookStatus status = code == SQLITE_DONE ? book.Run("COMMIT") : book.Failure(code);
    if (!status.Ok()) book.Run("ROLLBACK");
    return status;
}
