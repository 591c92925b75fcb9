// The user's animal list, read from a CSV file as spreadsheets save it
// (see csv_reader.h).
//
// The first record is the heading row. A column headed "tag" is required;
// "visual tag" (or "visual tag number", "visual"), "name", "group" and
// "notes" are optional; headings match whatever their case, order and
// surrounding spaces, and other columns are ignored. Every tag is read by
// ParseTagId, in any of its forms. Every bad row is reported with its line:
// no tag, a tag that is not one, a tag already on an earlier line, more
// cells than headings. A list with problems is not to be saved.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "book/animals.h"
#include "book/csv_reader.h"

struct AnimalList {
    std::vector<Animal> animals;
    AnimalColumns columns;
    std::vector<CsvProblem> problems;  // by line
};

AnimalList ReadAnimalList(std::string_view text);
// The same from a file; a file that cannot be read is a problem at line 0.
AnimalList ReadAnimalListFile(const std::filesystem::path& path);

// A list file into the book: all its animals, or, when any line is bad,
// nothing at all.
struct AnimalImport {
    std::vector<CsvProblem> problems;  // every bad line; the book is untouched when there are any
    BookStatus status;                 // what saving the clean list into the book gave
    size_t imported = 0;               // animals saved
};

AnimalImport ImportAnimalList(Book& book, const std::filesystem::path& path);
