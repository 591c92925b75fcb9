// The record book's face: everything the front ends, the benchmarks and
// the tests use of the book comes through this header; the files behind it
// (its SQL, its schema, its statements) stay inside book/.
//
// The book is one SQLite file (book_file.h) that keeps every download as it
// happens (download_keeping.h: beside the export's file), every read once,
// and the user's animals (animals.h, read from a spreadsheet's CSV by
// animal_list.h). It answers the farmer's questions (queries.h), adds the
// animals to an export's columns (known_animals.h), and writes reads back
// into files in any export format (reads_file.h). For the windows over it,
// it runs queries on a thread of its own (book_worker.h) and turns their
// answers into the lists' cells and orders (table_cells.h) and what the
// windows say of them (window_texts.h).
#pragma once

#include "book/animal_list.h"
#include "book/animals.h"
#include "book/book_file.h"
#include "book/book_path.h"
#include "book/book_worker.h"
#include "book/book_status.h"
#include "book/download_keeping.h"
#include "book/keep_book_setting.h"
#include "book/known_animals.h"
#include "book/local_time_text.h"
#include "book/queries.h"
#include "book/reads_file.h"
#include "book/table_cells.h"
#include "book/window_texts.h"
