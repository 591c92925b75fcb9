// What an operation's result means for kavrin-cli's exit status.
#pragma once

#include "cli/cli_feedback.h"
#include "ops/result.h"

// kExitOk, kExitInterrupted for a stopped operation, kExitFailed for the
// rest. A refusal, which the window's lines may not show, is said first.
int ExitStatusFor(CliFeedback& ui, const OpResult& result);
