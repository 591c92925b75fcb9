// Arbitrary answers to the count and record requests of an export.
//
// The export runs into a private folder. Whatever arrives, every row written
// must come from 16 bytes that were received, the file must hold exactly the
// rows reported, and "Data has been saved!" never follows a failure.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/scripted_port.h"
#include "link/frame.h"
#include "ops/export.h"

namespace {

const std::string kSaved = "Data has been saved!";

class RecordingFeedback : public Feedback {
public:
    void AppendLog(const std::string& text) override { log.push_back(text); }
    bool ShowMessage(const std::string& text, Buttons) override {
        messages.push_back(text);
        return true;
    }

    std::vector<std::string> log;
    std::vector<std::string> messages;
};

// A private folder for the exports, removed when the run ends.
class Folder {
public:
    Folder() {
        // In memory: every export syncs its file, which on a disk would have
        // the fuzzer waiting on the disk instead of trying inputs.
        char name[] = "/dev/shm/kavrin-export-fuzz-XXXXXX";
        if (mkdtemp(name) == nullptr) std::abort();
        path_ = name;
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

size_t CountLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t lines = 0;
    while (std::getline(in, line)) ++lines;
    return lines;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ScriptPort(data, size);
    PortHandle port = nullptr;
    OpenCommPort(port, "fuzz");
    RecordingFeedback ui;
    static const Folder folder;
    const ExportResult result = ExportCsv(ui, port, folder.path());
    ClosePort(port);

    // Every row needs a whole record of received bytes behind it.
    Check(result.rows >= 0 && static_cast<size_t>(result.rows) * kTagRecordSize <= ScriptedBytesRead());
    if (result.file.empty()) {
        Check(result.rows == 0);
    } else {
        Check(CountLines(result.file) == 1 + static_cast<size_t>(result.rows));
        std::filesystem::remove(result.file);
    }

    // At most one message box, and the success message only for an export
    // that saved everything with no failure line before it.
    Check(ui.messages.size() <= 1);
    const bool saved = !ui.messages.empty() && ui.messages[0] == kSaved;
    Check(saved == (result.Ok() && !result.file.empty()));
    if (saved) Check(ui.log.empty());
    Check(ui.log.size() <= 1);
    return 0;
}
