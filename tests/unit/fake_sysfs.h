// A sysfs and /dev laid out as the kernel lays them out: an FTDI adapter
// (usb-serial port below its interface), a CDC-ACM device (the tty on the
// interface), a real UART on a PNP device, the 8250 driver's empty
// placeholder and a pseudo-terminal. The UART is laid out as since Linux
// 6.5 (its tty on the serial core's port below the PNP device), the
// placeholder as before.
#pragma once

#include <gtest/gtest.h>

#include <fstream>

#include "link/device_tree.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

inline const char* const kById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

class SysfsTree : public ::testing::Test {
protected:
    void SetUp() override {
        sys = dir.path() / "sys";
        tree = {dir.path() / "dev", sys / "class/tty"};
        fs::create_directories(tree.dev / "serial/by-id");
        fs::path ftdi = Usb("usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        Device(ftdi / "1-2:1.0", "usb", "ftdi_sio", "ftdi_sio");
        Tty("ttyUSB0", Device(ftdi / "1-2:1.0/ttyUSB0", "usb-serial", "ftdi_sio", "ftdi_sio"));
        Write(ftdi / "1-2:1.0/ttyUSB0/latency_timer", "16");
        fs::path acm = Usb("usb1/1-3", "1d6b", "0104", "", "Gadget Serial v2.4", "");
        Tty("ttyACM0", Device(acm / "1-3:2.0", "usb", "cdc_acm", "cdc_acm"));
        fs::path pnp = Device(sys / "devices/pnp0/00:04", "pnp", "serial", "8250");
        Device(pnp / "00:04:0", "serial-base", "ctrl", "serial_base");
        Tty("ttyS0", Device(pnp / "00:04:0/00:04:0.0", "serial-base", "port", "serial_base"), "4");
        Tty("ttyS1", Device(sys / "devices/platform/serial8250", "platform", "serial8250", "8250"), "0");
        fs::create_directories(tree.sysClassTty / "ptmx");
        std::ofstream(tree.dev / "ptmx");
        fs::create_symlink("../../ttyUSB0", tree.dev / "serial/by-id" / kById);
    }

    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }

    fs::path Usb(const std::string& path, const std::string& vendor, const std::string& product,
                 const std::string& manufacturer, const std::string& name, const std::string& serial) {
        fs::path device = sys / "devices/pci0000:00/0000:00:14.0" / path;
        fs::create_directories(device);
        fs::create_directories(sys / "bus/usb/devices");
        fs::create_directory_symlink(device, sys / "bus/usb/devices" / device.filename());
        Write(device / "idVendor", vendor);
        Write(device / "idProduct", product);
        if (!manufacturer.empty()) Write(device / "manufacturer", manufacturer);
        Write(device / "product", name);
        if (!serial.empty()) Write(device / "serial", serial);
        return device;
    }

    fs::path Device(const fs::path& device, const std::string& bus, const std::string& driver,
                    const std::string& module) {
        fs::path drivers = sys / "bus" / bus / "drivers" / driver;
        fs::create_directories(drivers);
        fs::create_directories(sys / "module" / module);
        if (!fs::exists(drivers / "module")) fs::create_directory_symlink(sys / "module" / module, drivers / "module");
        fs::create_directories(device);
        fs::create_directory_symlink(drivers, device / "driver");
        fs::create_directory_symlink(sys / "bus" / bus, device / "subsystem");
        return device;
    }

    void Tty(const std::string& name, const fs::path& device, const std::string& type = "") {
        fs::create_directories(tree.sysClassTty / name);
        fs::create_directory_symlink(device, tree.sysClassTty / name / "device");
        if (!type.empty()) Write(tree.sysClassTty / name / "type", type);
        std::ofstream(tree.dev / name);
    }

    std::string Dev(const std::string& name) { return (tree.dev / name).string(); }

    TempDir dir;
    fs::path sys;
    DeviceTree tree;
};
