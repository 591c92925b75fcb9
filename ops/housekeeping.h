// The small one-button operations on the reader's records and settings.
//
// Where the window goes on whatever the reader's status byte says (the
// count, the delete, the clock, reading the parameters), the result still
// says Refused with the status, for the front ends that look.
#pragma once

#include <cstdint>

#include "ops/feedback.h"
#include "ops/result.h"

struct CountResult : OpResult {
    uint32_t count = 0;  // as the reader sent it; the window's field shows it signed
};

struct PowerDownResult : OpResult {
    int minutes = 0;  // the power-down time the reader reported
};

CountResult OnBnClickedGetCnt(Feedback& ui);
OpResult OnBnClickedDeleteAll(Feedback& ui);
OpResult OnBnClickedSyncTime(Feedback& ui);
OpResult OnBnClickedSetPowerDown(Feedback& ui);
PowerDownResult OnBnClickedGetPowerDown(Feedback& ui);
