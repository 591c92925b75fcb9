// The book's tables, by version.
//
// The version lives in the file as PRAGMA user_version, and PRAGMA
// application_id marks the file as a record book, so another program's
// database is never mistaken for one. Each version adds one step to
// kSchemaSteps; a book at an older version runs the steps it lacks, all in
// the one transaction that also sets the new version.
#pragma once

#include <cstdint>

#include "book/book_file.h"

inline constexpr int32_t kBookApplicationId = 0x4B617642;  // "KavB"

// The version this program writes and reads.
inline constexpr int kSchemaVersion = 2;

// Brings the open book to SchemaVersion(): creates a new one, upgrades an
// older one, refuses a newer one or a database that is not a book.
BookStatus UpgradeSchema(Book& book);
