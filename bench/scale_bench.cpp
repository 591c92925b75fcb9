// Exports 10,000 and then 100,000 records from a virtual reader and prints
// the program's peak resident memory before and after each, to show that an
// export's memory does not grow with the number of records. Each reader runs
// in a child process of its own, so its store of records is not counted.
// Every row written is then checked against the records the reader held.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "ops/export.h"
#include "ops/csv_writer.h"
#include "sim/virtual_reader.h"
#include "tests/pty/test_feedback.h"

namespace {

constexpr size_t kSizes[] = {10000, 100000};

// A "VmHWM:" or "VmRSS:" figure of this process, in KiB.
long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
}

// A virtual reader holding `count` records in a child process, for as long
// as the pipe to it stays open.
struct ChildReader {
    pid_t pid = -1;
    int keepAlive = -1;
    std::string port;
};

bool StartChildReader(size_t count, ChildReader& child) {
    int toParent[2], toChild[2];
    if (pipe(toParent) != 0 || pipe(toChild) != 0) return false;
    child.pid = fork();
    if (child.pid < 0) return false;
    if (child.pid == 0) {
        close(toParent[0]);
        close(toChild[1]);
        VirtualReader reader;
        reader.SetRecords(GenerateRecords(count));
        if (!reader.Start()) _exit(1);
        const std::string& path = reader.PortPath();
        if (write(toParent[1], path.data(), path.size()) != static_cast<ssize_t>(path.size())) _exit(1);
        close(toParent[1]);
        char c;
        while (read(toChild[0], &c, 1) > 0) {
        }
        reader.Stop();
        _exit(0);
    }
    close(toParent[1]);
    close(toChild[0]);
    char buffer[256];
    ssize_t n = read(toParent[0], buffer, sizeof buffer);
    close(toParent[0]);
    if (n <= 0) return false;
    child.port.assign(buffer, static_cast<size_t>(n));
    child.keepAlive = toChild[1];
    return true;
}

void StopChildReader(ChildReader& child) {
    close(child.keepAlive);
    waitpid(child.pid, nullptr, 0);
}

// Every line of `file` against the rows the reader's records make.
bool RowsMatch(const std::filesystem::path& file, size_t count) {
    const std::vector<TagBytes> records = GenerateRecords(count);
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != std::string(kCsvHeader) + "\r") return false;
    for (size_t i = 0; i < count; ++i) {
        if (!std::getline(in, line) || line != CsvRow(static_cast<int>(i + 1), DecodeTagRecord(records[i])) + "\r")
            return false;
    }
    return !std::getline(in, line);
}

}  // namespace

int main() {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("kavrin-scale-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::printf("peak resident memory before any export: %ld KiB\n", StatusKiB("VmHWM:"));

    std::vector<std::filesystem::path> files;
    for (size_t count : kSizes) {
        ChildReader child;
        if (!StartChildReader(count, child)) {
            std::fprintf(stderr, "cannot start a virtual reader\n");
            return 1;
        }
        PortHandle port = nullptr;
        if (OpenCommPort(port, child.port) != 0) {
            std::fprintf(stderr, "cannot open %s\n", child.port.c_str());
            return 1;
        }
        TestFeedback ui;
        const auto start = std::chrono::steady_clock::now();
        const ExportResult result = ExportCsv(ui, port, dir);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ClosePort(port);
        StopChildReader(child);
        if (!result.Ok() || result.rows != static_cast<int>(count)) {
            std::fprintf(stderr, "export of %zu failed: %d rows\n", count, result.rows);
            return 1;
        }
        std::printf("exported %zu records in %.2f s (%ju bytes of CSV); peak resident memory now %ld KiB, "
                    "resident %ld KiB\n",
                    count, seconds, static_cast<uintmax_t>(std::filesystem::file_size(result.file)),
                    StatusKiB("VmHWM:"), StatusKiB("VmRSS:"));
        files.push_back(result.file);
    }

    for (size_t i = 0; i < files.size(); ++i) {
        const bool match = RowsMatch(files[i], kSizes[i]);
        std::printf("%zu records: %s\n", kSizes[i], match ? "every row matches its record, nothing lost" : "ROWS DIFFER");
        if (!match) return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
