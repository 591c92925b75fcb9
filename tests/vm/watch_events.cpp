// Prints the adapters that appear and go, one line each ("appeared
// /dev/ttyUSB0", "gone /dev/ttyUSB0"), as the watch sees them, for SECONDS
// (default 60); run in the test machine while the host plugs adapters in
// and pulls them out.
#include <cstdio>
#include <cstdlib>

#include "watch/adapters.h"

int main(int argc, char** argv) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 60);
    AdapterWatch watch = WatchAdapters();
    if (!watch.events) {
        std::fprintf(stderr, "%s\n", watch.error.c_str());
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    while (std::chrono::steady_clock::now() < until) {
        for (const PortEvent& event : watch.events->Next(std::chrono::milliseconds(200))) {
            std::printf("%s %s\n", event.change == PortChange::Appeared ? "appeared" : "gone", event.port.c_str());
            std::fflush(stdout);
        }
    }
    return 0;
}
