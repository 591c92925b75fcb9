// A prepared SQLite statement that finalizes itself, with the few calls the
// book makes on one.
//
// Parameters are bound by position, text and blobs as copies, so the
// user's own text only ever reaches SQLite as a value, never as SQL. The
// first failure (preparing or binding) is kept and returned by Step, so a
// caller checks once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ops/tag_record.h"

struct sqlite3;
struct sqlite3_stmt;

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, const TagRecord& bytes);
    // SQLITE_ROW, SQLITE_DONE or the code of the first failure.
    int Step();
    // Ready to step again, with its parameters kept for rebinding.
    void Reset();

    int64_t Int(int column) const;
    std::string Text(int column) const;
    // The column's bytes as a record; zeros past the end of a shorter blob.
    TagRecord Record(int column) const;

private:
    void Keep(int code);

    sqlite3_stmt* statement_ = nullptr;
    int failure_ = 0;
};
