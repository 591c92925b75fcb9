// The small operations on the reader's records and settings.
//
// Where the window goes on whatever the reader's status byte says (the
// count, the delete, the clock, reading the parameters), the result still
// says Refused with the status, for the front ends that look.
#pragma once

#include <cstdint>

#include "link/serial_port.h"
#include "ops/clock.h"
#include "ops/feedback.h"
#include "ops/result.h"

struct CountResult : OpResult {
    uint32_t count = 0;  // as the reader sent it; the window's field shows it signed
};

struct PowerDownResult : OpResult {
    int minutes = 0;  // the power-down time the reader reported
};

// The record count, asked once, logging nothing: every operation that
// needs the count asks it here.
CountResult ReadRecordCount(PortHandle port);
// The same, logging what the window logs.
CountResult CountRecords(Feedback& ui, PortHandle port);
// `sent`: the reader answered the delete (whatever its status).
struct DeleteResult : OpResult {
    bool sent = false;
};

// Asks whether every record may be deleted; true for Yes.
bool ConfirmDelete(Feedback& ui);
// Sends the delete once the user has said yes (`confirmed`); Declined,
// with nothing sent, otherwise. The reader then needs a moment: once the
// delete was sent, AwaitDeletion waits it out and says the records are
// gone. A window shows its wait cursor in between; DeleteAndAwait does both
// for a front end that shows nothing between them.
DeleteResult DeleteAllRecords(Feedback& ui, PortHandle port, bool confirmed);
void AwaitDeletion(Feedback& ui);
DeleteResult DeleteAndAwait(Feedback& ui, PortHandle port);
// Sets the reader's clock to `now`.
OpResult SyncClock(Feedback& ui, PortHandle port, const LocalTime& now);
// BadField, with nothing sent, when `minutes` is out of the reader's range.
OpResult SetPowerDown(Feedback& ui, PortHandle port, int minutes);
PowerDownResult GetPowerDown(Feedback& ui, PortHandle port);
