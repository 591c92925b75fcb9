// Linux: the USB devices plugged in, from sysfs, with the interfaces no
// kernel driver has taken. Nothing is opened.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "doctor/host.h"

struct UsbDevice {
    unsigned vendor = 0;
    unsigned product = 0;
    std::string label;  // "1a86:7523 USB Serial": vendor:product and its product string
    // What each interface without a driver asks for: usb:v1A86p7523d0264dcFFdsc00dp00icFFisc01ip00in00
    std::vector<std::string> unservedInterfaces;
};

std::vector<UsbDevice> UsbDevices(const Host& host);
