#include "watch/notification.h"

// The download's own line is all Windows gets: a toast needs a registered
// application identity, which a program run from a zip does not have.
bool NotifyDesktop(const std::string&, const std::string&) { return false; }
