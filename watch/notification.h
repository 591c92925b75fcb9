// "Download finished", said where a person at the desktop sees it: on a
// Linux desktop a notification (org.freedesktop.Notifications over the
// session bus); without a session bus, or on Windows, nothing. Never an
// error: the download's own line is the record of it.
#pragma once

#include <string>

// True when the desktop took the notification.
bool NotifyDesktop(const std::string& summary, const std::string& body);
