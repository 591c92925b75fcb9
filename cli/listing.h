// How kavrin-cli prints what the record book answers: downloads and reads
// one a line, animals as CSV (the user's text made safe for a
// spreadsheet), and a failure of the book on its own line. Each printer
// takes the book's answer: its list on standard output, or its failure
// said on `ui`; and gives the exit status.
#pragma once

#include <string>
#include <vector>

#include "book/book.h"
#include "cli/cli_feedback.h"
#include "formats/formats.h"

// "982 000123456789".
std::string SpacedTag(const TagId& id);

// A heading row, then one row a download: number, start, records, new, outcome, port, file.
int PrintDownloads(CliFeedback& ui, const BookAnswer<std::vector<DownloadSummary>>& downloads);

// "2020-09-13 12:26:40  FDXB  982 000123456789  download 2, row 17" and,
// for a tag in the animal list, its visual number, name and group.
int PrintReads(CliFeedback& ui, const BookAnswer<std::vector<BookRead>>& reads);

// A heading row, then one row an animal: tag, visual tag, name, group, notes.
int PrintAnimals(CliFeedback& ui, const BookAnswer<std::vector<Animal>>& animals);

// Says the book's failure; the exit status for it.
int SayFailure(CliFeedback& ui, const BookStatus& status);
