// Windows: a COM port as Device Manager shows it, from SetupAPI: the
// devices of the Ports class, each with its friendly name, the USB device
// behind it, its driver service and any problem code Device Manager shows.
// The reading of device instance ids is plain text work and builds
// everywhere, so its tests run natively too; ComPortDevices exists on
// Windows only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/bluetooth_instance.h"

struct ComPortDevice {
    std::string port;          // COM5; empty where the driver never named one
    std::string friendlyName;  // "USB Serial Port (COM5)"
    std::string usbId;         // 0403:6001
    std::string serial;        // the USB device's own serial number
    std::string service;       // the driver's service: FTDIBUS, usbser, BTHMODEM
    BluetoothDirection bluetooth = BluetoothDirection::Unknown;  // Unknown: not a Bluetooth port
    unsigned problem = 0;      // Device Manager's problem code: 10, 28...; 0 where there is none
};

// Every device of the Ports class present (LPT ports left out).
std::vector<ComPortDevice> ComPortDevices();
// The port behind a COM port interface (GUID_DEVINTERFACE_COMPORT's
// \\?\USB#VID_0403... path, as device arrival names it); an empty port
// where the interface is gone or names no COM port.
ComPortDevice ComPortOfInterface(const std::wstring& interfacePath);

// "USB Serial Port (COM5)  0403:6001  serial A50285BI  driver FTDIBUS":
// the fields there are, two spaces apart.
std::string DescribeComPort(const ComPortDevice& device);

// "0403:6001" from an id naming VID_0403 and PID_6001; empty otherwise.
std::string UsbIdOf(std::string_view instanceId);
// The serial number a USB device's id ends in (USB\VID_0403&PID_6001\A50285BI);
// empty for an interface's id or one Windows made up (it holds '&').
std::string UsbSerialOf(std::string_view instanceId);
// A Bluetooth serial port's direction (bluetooth_instance.h); Unknown for
// an id outside BTHENUM.
BluetoothDirection BluetoothLinkOf(std::string_view instanceId);
