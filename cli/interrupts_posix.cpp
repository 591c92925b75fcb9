#include "cli/interrupts.h"

#include <csignal>

namespace {

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_lastSignal = 0;
struct sigaction g_before[sizeof kSignals / sizeof kSignals[0]];

void OnInterrupt(int signal) {
    g_interrupts = g_interrupts + 1;
    g_lastSignal = signal;
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
    g_interrupts = 0;
    g_lastSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &action, &g_before[i]);
}

InterruptCatcher::~InterruptCatcher() {
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) sigaction(kSignals[i], &g_before[i], nullptr);
}

int InterruptCatcher::Count() const { return g_interrupts; }

void EndAsInterrupted() {
    const int signal = g_lastSignal;
    if (signal == 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
