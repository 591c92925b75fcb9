// The serial adapters plugged into this computer, as the system announces
// them: USB serial adapters (FTDI, CDC-ACM, ...) and, on Linux, the rfcomm
// ttys bound to Bluetooth readers. Built-in ports never come or go, and are
// left out.
//
// On Linux a udev monitor (subsystem tty) sees each tty as udev finishes
// with it, its permissions set; on Windows the COM port interfaces arrive
// through CM_Register_Notification, or on Windows 7, which lacks it,
// through RegisterDeviceNotification on a message-only window. Nothing
// polls and nothing opens a port. The monitor is started before the
// adapters present are listed, so nothing plugged in between the two is
// missed; those present come first, as appeared (port_events.h).
#pragma once

#include <memory>
#include <string>

#include "watch/port_events.h"

struct AdapterWatch {
    std::unique_ptr<PortEvents> events;  // null when the system's announcements cannot be had
    std::string error;                   // why, then
};

AdapterWatch WatchAdapters();
