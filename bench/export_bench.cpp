// Exports 10,000 records from the virtual reader over a pseudo-terminal,
// first as fast as the software allows, then paced at 115200 baud, and
// prints what each took. The paced figure is set against the time the bytes
// alone need on the wire (8N1: ten bits a byte, 11,520 bytes/s). Last, what
// kavrin-cli export --delete costs against a plain export of the same reader:
// its second reading of every record before the clear.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "cli/cli_feedback.h"
#include "link/frame.h"
#include "ops/csv_writer.h"
#include "ops/export.h"
#include "sim/virtual_reader.h"
#include "watch/verified_clear.h"

namespace {

constexpr size_t kRecords = 10000;
constexpr unsigned kBaud = 115200;
constexpr double kWireBytesPerSecond = kBaud / 10.0;
// Other work on the machine only ever adds time: the best run is the
// closest to what the program itself costs.
constexpr int kUnpacedRuns = 3;
constexpr int kPacedRuns = 3;

// A front end that shows nothing and remembers the last message box.
class QuietFeedback : public Feedback {
public:
    void AppendLog(const std::string& text) override { lastLog = text; }
    bool ShowMessage(const std::string& text, Buttons) override {
        lastMessage = text;
        return true;
    }

    std::string lastLog;
    std::string lastMessage;
};

struct Run {
    double seconds = 0;
    size_t transactions = 0;
    size_t wireBytes = 0;  // requests and answers, both directions
};

// One export into `dir`; false with a reason when it did not save every record.
bool ExportOnce(VirtualReader& reader, const std::filesystem::path& dir, Run& run) {
    PortHandle port = nullptr;
    if (OpenCommPort(port, reader.PortPath()) != 0) {
        std::fprintf(stderr, "cannot open %s\n", reader.PortPath().c_str());
        return false;
    }
    reader.ClearReceived();
    QuietFeedback ui;
    const auto start = std::chrono::steady_clock::now();
    ExportResult result = ExportCsv(ui, port, dir);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ClosePort(port);
    if (!result.Ok() || result.rows != static_cast<int>(kRecords)) {
        std::fprintf(stderr, "export failed: %d rows, log \"%s\", message \"%s\"\n", result.rows, ui.lastLog.c_str(),
                     ui.lastMessage.c_str());
        return false;
    }
    std::filesystem::remove(result.file);

    const ReaderSnapshot snapshot = reader.Snapshot();
    run.transactions = snapshot.received.size();
    size_t blocks = 0;
    for (const auto& request : snapshot.received) {
        run.wireBytes += request.size();
        if (request[3] == CMD_GET_RECORDS) ++blocks;
    }
    // Answers: the count (header, status, 4 bytes), then each block's
    // header, status and count byte, and 16 bytes for every record.
    run.wireBytes += 3 + 1 + 4 + blocks * (3 + 1 + 1) + kRecords * kTagRecordSize;
    return true;
}

// The export and clear of kavrin-cli export --delete, on the records the
// reader holds; its lines go to `quiet`. False when the reader was not cleared.
bool ExportAndClearOnce(VirtualReader& reader, const std::filesystem::path& dir, std::FILE* quiet, double& seconds) {
    reader.SetRecords(GenerateRecords(kRecords));
    PortHandle port = nullptr;
    if (OpenCommPort(port, reader.PortPath()) != 0) return false;
    CliFeedback ui(quiet);
    CsvWriter csv;
    KeepingWriter writer(csv);
    const auto start = std::chrono::steady_clock::now();
    ExportResult result = ExportRecords(ui, port, dir, writer);
    const DownloadStatus cleared = ClearAfterExport(ui, port, result, writer.Records());
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ClosePort(port);
    std::filesystem::remove(result.file);
    return cleared == DownloadStatus::Ok && reader.Snapshot().records.empty();
}

}  // namespace

int main() {
    VirtualReader reader;
    std::string error;
    if (!reader.Start(&error)) {
        std::fprintf(stderr, "virtual reader: %s\n", error.c_str());
        return 1;
    }
    reader.SetRecords(GenerateRecords(kRecords));
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kavrin-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);

    std::printf("export of %zu records from the virtual reader over a pty\n", kRecords);
    Run best;
    for (int i = 0; i < kUnpacedRuns; ++i) {
        Run run;
        if (!ExportOnce(reader, dir, run)) return 1;
        if (i == 0 || run.seconds < best.seconds) best = run;
    }
    std::printf("unpaced (best of %d): %.3f s, %.0f records/s, %zu transactions, %.1f us per transaction\n",
                kUnpacedRuns, best.seconds, kRecords / best.seconds, best.transactions,
                best.seconds * 1e6 / static_cast<double>(best.transactions));

    reader.SetBaud(kBaud);
    Run paced;
    for (int i = 0; i < kPacedRuns; ++i) {
        Run run;
        if (!ExportOnce(reader, dir, run)) return 1;
        const double wire = static_cast<double>(run.wireBytes) / kWireBytesPerSecond;
        std::printf("paced at %u baud, run %d: %.3f s measured; %zu bytes need %.3f s on the wire at %.0f bytes/s: "
                    "%+.2f %%, %.0f us per transaction over the wire time\n",
                    kBaud, i + 1, run.seconds, run.wireBytes, wire, kWireBytesPerSecond, (run.seconds / wire - 1) * 100,
                    (run.seconds - wire) * 1e6 / static_cast<double>(run.transactions));
        if (i == 0 || run.seconds < paced.seconds) paced = run;
    }
    const double wire = static_cast<double>(paced.wireBytes) / kWireBytesPerSecond;
    std::printf("paced (best of %d): %.3f s against %.3f s on the wire: %+.2f %%\n", kPacedRuns, paced.seconds, wire,
                (paced.seconds / wire - 1) * 100);

    std::FILE* quiet = std::fopen("/dev/null", "w");
    double clearing = 0;
    if (quiet == nullptr || !ExportAndClearOnce(reader, dir, quiet, clearing)) {
        std::fprintf(stderr, "export --delete did not clear the reader\n");
        return 1;
    }
    std::fclose(quiet);
    std::printf("paced export --delete (export, second reading, counts, delete): %.3f s, %.2f times the plain "
                "export's %.3f s\n",
                clearing, clearing / paced.seconds, paced.seconds);

    std::filesystem::remove_all(dir);
    return 0;
}
