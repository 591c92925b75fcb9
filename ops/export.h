// "Get Data": every stored record into a new dated CSV file.
#pragma once

#include "ops/feedback.h"

void OnBnClickedGetData(Feedback& ui);
