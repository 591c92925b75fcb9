#include "cli/result_exit.h"

#include "cli/exit_codes.h"

int ExitStatusFor(CliFeedback& ui, const OpResult& result) {
    switch (result.outcome) {
    case Outcome::Ok: return kExitOk;
    case Outcome::Stopped: return kExitInterrupted;
    case Outcome::Refused: ui.Say(RefusalText(result)); return kExitFailed;
    default: return kExitFailed;
    }
}
