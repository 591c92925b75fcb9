// What the book answers: its downloads, one download's rows, every read of
// one tag, the reads of a period, and the user's animals matched to reads.
//
// Each read carries its record and its decoding, the download it belongs
// to, whether it was new to the book there, and the animal with its tag
// when the user's list has one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "book/animals.h"
#include "book/book_file.h"
#include "ops/tag_record.h"

struct DownloadSummary {
    int64_t number = 0;
    std::string started;  // "2021-09-19 05:44:59", local time
    std::string port;
    std::string firmware;
    int32_t reported = 0;  // the count the reader reported
    int rows = 0;          // rows the book holds
    int newRows = 0;       // of them, reads new to the book
    std::string outcome;   // see OutcomeName()
    std::string file;
    std::string format;
};

struct BookRead {
    int64_t download = 0;
    int row = 0;
    std::string downloadStarted;
    TagRecord record{};
    DecodedTag tag;
    bool isNew = false;  // this row first brought the read into the book
    bool known = false;  // the user's list has the tag: `animal` holds it, else only its tag
    Animal animal;
};

// Downloads chosen by their start: a download's number, or every download
// started in [from, before). With neither, the latest download.
struct DownloadScope {
    int64_t download = 0;
    std::string from;    // "2021-09-19" or a longer local time; empty: no bound
    std::string before;  // the same; empty: no bound
};

BookAnswer<std::vector<DownloadSummary>> ListDownloads(Book& book);
// A number that changes whenever another program (or another connection of
// this one) has committed to the book: the sign to read it again.
BookAnswer<int64_t> ChangeCount(Book& book);
// The download numbered `number`; BookAnswer's value is empty when there is none.
BookAnswer<std::vector<DownloadSummary>> FindDownload(Book& book, int64_t number);
// Its rows in their order.
BookAnswer<std::vector<BookRead>> DownloadRows(Book& book, int64_t number);

struct ShownDownload {
    DownloadSummary summary;
    std::vector<BookRead> rows;
};

// The download numbered `number` with its rows; the summary's number is 0
// when there is none, and the status says why not.
BookAnswer<ShownDownload> LoadDownload(Book& book, int64_t number);
// Every read of the tag, newest first, each once, with the download that first brought it.
BookAnswer<std::vector<BookRead>> ReadsOfTag(Book& book, const TagId& id);
enum class ReadFilter {
    All,
    New,      // only the reads the scope's downloads brought into the book
    Unknown,  // only the reads whose tag is not in the user's list
};

// The reads in the scope's downloads, each once, in the order the book got
// them, each with the download that first brought it.
BookAnswer<std::vector<BookRead>> ReadsOfScope(Book& book, const DownloadScope& scope, ReadFilter filter);
// The animals of `group` (all when empty), by group, then tag.
BookAnswer<std::vector<Animal>> ListAnimals(Book& book, const std::string& group);
// The animals (of `group`, or all when empty) none of whose reads is in the scope.
BookAnswer<std::vector<Animal>> MissingAnimals(Book& book, const std::string& group, const DownloadScope& scope);
