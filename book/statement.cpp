#include "book/statement.h"

#include <algorithm>
#include <sqlite3.h>

Statement::Statement(sqlite3* db, std::string_view sql) {
    Keep(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
}

Statement::~Statement() { sqlite3_finalize(statement_); }

void Statement::Keep(int code) {
    if (failure_ == SQLITE_OK) failure_ = code;
}

Statement& Statement::Bind(int index, int64_t value) {
    Keep(sqlite3_bind_int64(statement_, index, value));
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    // A null pointer would bind NULL, not the empty text.
    const char* bytes = text.data() ? text.data() : "";
    Keep(sqlite3_bind_text(statement_, index, bytes, static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::Bind(int index, const TagRecord& bytes) {
    Keep(sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT));
    return *this;
}

int Statement::Step() {
    if (failure_ != SQLITE_OK) return failure_;
    return sqlite3_step(statement_);
}

void Statement::Reset() { sqlite3_reset(statement_); }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
}

TagRecord Statement::Record(int column) const {
    TagRecord record{};
    const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
    const size_t size = std::min(record.size(), static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
    if (bytes) std::copy_n(bytes, size, record.begin());
    return record;
}
