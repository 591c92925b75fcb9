// Local time and fixed waits, through a seam that tests can replace.
#pragma once

#include <functional>

struct LocalTime {
    int year = 0;    // e.g. 2021
    int month = 0;   // 1 to 12
    int day = 0;     // 1 to 31
    int hour = 0;    // 0 to 23
    int minute = 0;  // 0 to 59
    int second = 0;  // 0 to 59
};

struct Clock {
    std::function<LocalTime()> now;
    std::function<void(unsigned ms)> sleep;
};

// The process's clock; tests assign its members and restore them.
Clock& SystemClock();
