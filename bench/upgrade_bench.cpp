// Uploads a 256 KiB image to the virtual reader paced at 115200 baud, three
// times, and sets the time each upload takes against the time its bytes
// need on the line: every request and answer at 11,520 bytes per second
// (ten bits a byte). The fixed wait after the erase is not line time and is
// skipped here.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

#include "ops/clock.h"
#include "ops/connection.h"
#include "ops/upgrade.h"
#include "sim/virtual_reader.h"
#include "tests/pty/test_feedback.h"
#include "tests/unit/temp_dir.h"

namespace {

constexpr unsigned kBaud = 115200;
constexpr double kLineBytesPerSecond = kBaud / 10.0;
constexpr size_t kImageSize = 256 * 1024;
constexpr int kRuns = 3;
// Every upgrade command is answered with the header and the status byte.
constexpr size_t kAnswerBytes = 4;

std::vector<uint8_t> RandomImage() {
    std::mt19937 random(1);
    std::vector<uint8_t> image(kImageSize);
    for (uint8_t& b : image) b = static_cast<uint8_t>(random());
    return image;
}

}  // namespace

int main() {
    VirtualReader reader;
    std::string error;
    if (!reader.Start(&error)) {
        std::fprintf(stderr, "virtual reader: %s\n", error.c_str());
        return 1;
    }
    reader.SetBaud(kBaud);
    TempDir dir;
    const std::string path = (dir.path() / "firmware.bin").string();
    const std::vector<uint8_t> image = RandomImage();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), kImageSize);
    SystemClock().sleep = [](unsigned) {};

    std::printf("image %zu bytes, line %u baud (%.0f bytes/s)\n", kImageSize, kBaud, kLineBytesPerSecond);
    std::printf("%-5s %10s %12s %12s %9s\n", "run", "bytes", "line s", "measured s", "over");
    double worst = 0;
    for (int run = 1; run <= kRuns; ++run) {
        TestFeedback ui;
        PortHandle port = nullptr;
        if (!ConnectReader(ui, reader.PortPath(), port).connected) {
            std::fprintf(stderr, "connect failed\n");
            return 1;
        }
        OpenedImage opened = OpenFirmwareImage(ui, path);
        reader.ClearReceived();

        const auto start = std::chrono::steady_clock::now();
        const OpResult upgrade = UpgradeFirmware(ui, port, opened.image, true);
        const double measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        DisconnectReader(port);
        if (!upgrade.Ok()) {
            std::fprintf(stderr, "upgrade did not finish: %s\n", ui.log.empty() ? "" : ui.log.back().c_str());
            return 1;
        }

        size_t bytes = 0;
        for (const std::vector<uint8_t>& frame : reader.Snapshot().received) bytes += frame.size() + kAnswerBytes;
        const double line = static_cast<double>(bytes) / kLineBytesPerSecond;
        const double over = (measured / line - 1) * 100;
        worst = std::max(worst, over);
        std::printf("%-5d %10zu %12.3f %12.3f %8.2f%%\n", run, bytes, line, measured, over);
    }
    std::printf("worst: %.2f%% over the line time (target: at most 3%%)\n", worst);
    return 0;
}
