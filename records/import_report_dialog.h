// The report of an animal list that was not imported: every bad line with
// its number and why, in one dialog, the list of lines readable (and
// named) for a screen reader.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "book/book.h"

void ShowImportReport(HWND owner, const std::string& file, const std::vector<CsvProblem>& problems);
