// The watch of kavrin-cli watch and of the window's "Download readers when
// plugged in": each reader that appears is downloaded on a thread of its
// own (download_job.h), several at once, into the book and a file, then
// the watch waits for the next.
//
// A port's events come from its source (port_events.h): what is present
// at the start once, then each coming back after it went. Before reading,
// the device must answer the connect's version request as a reader does;
// anything else is left alone, named in one line. A reader that comes
// back while its last download still runs is read again once that one has
// ended. One download failing never stops another, nor the watch. Each
// finished download says so in one line and, on a Linux desktop, in a
// notification (notification.h).
//
// The watch ends once its front asks it to: the downloads in progress
// stop after the request in flight, keep their rows and say so, and the
// watch returns when they all have ended.
#pragma once

#include <functional>

#include "watch/named_ports.h"
#include "watch/port_events.h"
#include "watch/watch_front.h"

// The settings for a reader that has just appeared: the dates and the
// forms as they are now. Called on the watch's own thread.
using SettingsNow = std::function<DownloadSettings()>;

void WatchReaders(PortEvents& events, WatchFront& front, const SettingsNow& settings);

// The try of a named port (named_ports.h) for a watch: a device on it that
// answers, but not as a reader, is named on `front` once, until the port
// answers otherwise.
PortTry TryNamingForeign(WatchFront& front);
