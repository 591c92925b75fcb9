// "Browse" picks and opens a firmware image; "Upgrade" sends it.
#pragma once

#include "ops/feedback.h"

void OnBnClickedBrowse(Feedback& ui);
void OnBnClickedUpgrade(Feedback& ui);
