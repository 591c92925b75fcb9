// What the windows over the book (Kavrin Records, kavrin-gui) say of what
// they show and of what the user did, so that both say the same: the title
// over a list of reads or animals, the groups to choose from, the report
// of an animal list refused, and the sentence after a Save As.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "book/animal_list.h"
#include "book/queries.h"

// Where the reads come from, as a title names it.
std::string DownloadScopeText(int64_t number);  // "download 12"
std::string LatestDownloadText();               // what Missing... and Unknown... take when nothing is chosen
// From and to as "2021-09-19", either empty.
std::string PeriodText(const std::string& from, const std::string& to);
// "every group" or "group Heifers".
std::string GroupText(const std::string& group);

std::string DownloadReadsTitle(size_t reads, const DownloadSummary& download);
std::string PeriodReadsTitle(const std::string& period, size_t reads);
std::string TagReadsTitle(const TagId& tag, size_t reads);
std::string UnknownReadsTitle(const std::string& where, size_t reads);
std::string AnimalsTitle(const std::string& group, size_t animals);
std::string MissingAnimalsTitle(const std::string& group, const std::string& where, size_t animals);

// The groups of the animals, each once, in the book's order (by group).
std::vector<std::string> GroupsOf(const std::vector<Animal>& animals);

// An animal list refused: the sentence over the list, then each bad line.
std::string ImportRefusedSummary(const std::string& file, size_t badLines);
std::vector<std::string> ImportProblemLines(const std::vector<CsvProblem>& problems);
std::string ImportedSentence(size_t animals, const std::string& file);

// The name Save As offers for the reads of download `number`, or (0) of
// anything else, without its extension.
std::string SaveAsName(int64_t number);
// After Save As of `reads` into `target`: the files written (none: it failed).
std::string SavedSentence(size_t reads, size_t files, const std::string& target);
