// The book the records benchmarks read: 1,000,000 reads in 10 downloads of
// 100,000, each read a distinct FDX-B tag, and 1,000 of the tags in the
// animal list in 10 groups. Built once where it is asked for, and kept: a
// later run that finds it reuses it.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "book/animals.h"
#include "book/queries.h"
#include "book/recording.h"

inline constexpr int kBigBookDownloads = 10;
inline constexpr int kBigBookDownloadReads = 100000;
inline constexpr int kBigBookAnimals = 1000;
inline constexpr unsigned kBigBookCountry = 982;

// Read `index` of the book: its tag's national number is the index.
inline TagRecord BigBookRecord(uint64_t index) {
    TagRecord r{};
    for (int i = 0; i < 4; ++i) r[1 + i] = static_cast<uint8_t>(index >> (8 * i));
    r[5] = static_cast<uint8_t>(((index >> 32) & 0x3F) | ((kBigBookCountry & 3) << 6));
    r[6] = static_cast<uint8_t>(kBigBookCountry >> 2);
    const uint32_t seconds = 1600000000u + static_cast<uint32_t>(index);
    for (int i = 0; i < 4; ++i) r[12 + i] = static_cast<uint8_t>(seconds >> (24 - 8 * i));
    return r;
}

// The book at `path`, built unless a whole one is there; false with the reason on stderr.
inline bool OpenBigBook(const std::filesystem::path& path, Book& book) {
    BookStatus status = book.Open(path, BookAccess::Create);
    if (!status.Ok()) {
        std::fprintf(stderr, "%s\n", status.text.c_str());
        return false;
    }
    const auto downloads = ListDownloads(book);
    if (downloads.value.size() == kBigBookDownloads) return true;
    if (!downloads.value.empty()) {
        std::fprintf(stderr, "%s holds another book: remove it\n", path.string().c_str());
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    std::printf("building a book of %d reads at %s...\n", kBigBookDownloads * kBigBookDownloadReads,
                path.string().c_str());
    std::fflush(stdout);
    for (int d = 0; d < kBigBookDownloads; ++d) {
        Recording recording(book);
        if (!recording.Begin({LocalTime{2021, 9, 1 + d, 5, 44, 0}, "COM3", "1.0", kBigBookDownloadReads,
                              "bench.csv", "csv"})
                 .Ok())
            return false;
        for (int row = 1; row <= kBigBookDownloadReads; ++row) {
            const TagRecord record = BigBookRecord(static_cast<uint64_t>(d) * kBigBookDownloadReads + row);
            if (!recording.Add(row, record, DecodeTagRecord(record)).Ok()) return false;
            if (row % 10 == 0 && !recording.Commit().Ok()) return false;
        }
        if (!recording.Finish(DownloadOutcome::Complete, kBigBookDownloadReads).Ok()) return false;
    }
    std::vector<Animal> animals;
    for (int i = 1; i <= kBigBookAnimals; ++i)
        animals.push_back({{kBigBookCountry, static_cast<uint64_t>(i) * 997}, std::to_string(i), "Cow " + std::to_string(i),
                           "Herd " + std::to_string(i % 10), ""});
    if (!SaveAnimals(book, animals, {true, true, true, false}).Ok()) return false;
    std::printf("built in %.0f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return true;
}
