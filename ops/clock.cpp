#include "ops/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "ops/local_time.h"

namespace {

LocalTime NowLocal() {
    LocalTime local;
    ToLocalTime(std::time(nullptr), local);
    return local;
}

void SleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

Clock& SystemClock() {
    static Clock clock{NowLocal, SleepMs};
    return clock;
}
