// The small one-button operations on the reader's records and settings.
#pragma once

#include "ops/feedback.h"

void OnBnClickedGetCnt(Feedback& ui);
void OnBnClickedDeleteAll(Feedback& ui);
void OnBnClickedSyncTime(Feedback& ui);
void OnBnClickedSetPowerDown(Feedback& ui);
void OnBnClickedGetPowerDown(Feedback& ui);
