#include "link/port_list.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <system_error>
#include <unistd.h>

#include "link/bluetooth_port_name.h"
#include "link/bluez_devices.h"
#include "link/device_tree.h"
#include "link/errno_failure.h"
#include "link/natural_order.h"

namespace fs = std::filesystem;

namespace {

const char* const kByIdFolder = "serial/by-id";
const char* const kAdapterPrefixes[] = {"ttyUSB", "ttyACM"};
// How far above a tty's device its USB device may sit: the usb-serial
// port, its interface, the device.
constexpr int kUsbLevels = 3;
// The 8250 driver's type for a port where no UART answered.
const char* const kUnknownUartType = "0";
// Since Linux 6.5 a serial tty's device is the serial core's port, a child
// (through its controller) of the device with the real driver.
const char* const kSerialCoreBus = "serial-base";
const char* const kRfcommDriver = "rfcomm";
const char* const kBluetooth = "Bluetooth";

// Entries of `folder` in natural order; none when it cannot be read.
std::vector<fs::path> Entries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end(),
              [](const fs::path& a, const fs::path& b) { return NaturalLess(a.string(), b.string()); });
    return entries;
}

bool IsAdapterNode(const std::string& device) {
    std::string name = fs::path(device).filename().string();
    for (const char* prefix : kAdapterPrefixes)
        if (name.starts_with(prefix)) return true;
    return false;
}

// The device each by-id link resolves to, mapped to the link.
std::map<fs::path, fs::path> ByIdLinks(const DeviceTree& tree) {
    std::map<fs::path, fs::path> links;
    for (const fs::path& link : Entries(tree.dev / kByIdFolder)) {
        std::error_code error;
        fs::path target = fs::canonical(link, error);
        if (!error) links.emplace(target, link);
    }
    return links;
}

// The first line of a sysfs attribute; empty where there is none.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string LinkName(const fs::path& link) {
    std::error_code error;
    fs::path target = fs::canonical(link, error);
    return error ? std::string() : target.filename().string();
}

// The module is the name users know; a driver built into the kernel may
// have no link to it. The 8250 driver's PNP and platform parts are
// "serial" and "serial8250".
std::string DriverName(const fs::path& device) {
    std::string module = LinkName(device / "driver/module");
    if (!module.empty()) return module;
    std::string driver = LinkName(device / "driver");
    return driver == "serial" || driver == "serial8250" ? "8250" : driver;
}

bool IsUsbDevice(const fs::path& folder) {
    std::error_code error;
    return fs::exists(folder / "idVendor", error) && fs::exists(folder / "idProduct", error);
}

void ReadUsbDevice(fs::path folder, TtyHardware& hardware) {
    for (int level = 0; level < kUsbLevels && !IsUsbDevice(folder); ++level) folder = folder.parent_path();
    if (!IsUsbDevice(folder)) return;
    hardware.usbId = Attribute(folder / "idVendor") + ":" + Attribute(folder / "idProduct");
    hardware.manufacturer = Attribute(folder / "manufacturer");
    hardware.product = Attribute(folder / "product");
    hardware.serial = Attribute(folder / "serial");
}

// An rfcomm tty has no device in sysfs, only its remote address and channel.
std::optional<TtyHardware> ReadRfcommTty(const fs::path& tty) {
    std::string address = Attribute(tty / "address");
    if (address.empty()) return std::nullopt;
    TtyHardware hardware;
    hardware.driver = kRfcommDriver;
    hardware.bluetoothAddress = NormalBluetoothAddress(address);
    hardware.channel = std::atoi(Attribute(tty / "channel").c_str());
    return hardware;
}

// `tty` is the tty's folder under /sys/class/tty.
std::optional<TtyHardware> ReadTty(const fs::path& tty) {
    if (std::optional<TtyHardware> rfcomm = ReadRfcommTty(tty)) return rfcomm;
    std::error_code error;
    fs::path device = fs::canonical(tty / "device", error);
    if (error) return std::nullopt;
    while (LinkName(device / "subsystem") == kSerialCoreBus) device = device.parent_path();
    TtyHardware hardware;
    hardware.driver = DriverName(device);
    ReadUsbDevice(device, hardware);
    std::ifstream latency(device / "latency_timer");
    if (int ms = 0; latency >> ms) hardware.latencyMs = ms;
    hardware.placeholder = Attribute(tty / "type") == kUnknownUartType;
    return hardware;
}

// 0 for a port with a by-id name, 1 for another USB port or an rfcomm
// tty, 2 for the rest.
int OfferRank(const DeviceTree& tree, const SerialPortName& port) {
    if (!port.byId.empty()) return 0;
    if (port.bluetooth) return 1;
    std::optional<TtyHardware> hardware = ReadTty(tree.sysClassTty / fs::path(port.device).filename());
    return (hardware && !hardware->usbId.empty()) || IsAdapterNode(port.device) ? 1 : 2;
}

struct RankedPort {
    int rank;
    SerialPortName port;
};

// The ports best first, each ranked once: a rank reads sysfs.
std::vector<RankedPort> RankedPorts(const DeviceTree& tree) {
    std::vector<RankedPort> ranked;
    for (SerialPortName& port : ListSerialDevices(tree)) ranked.push_back({OfferRank(tree, port), std::move(port)});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const RankedPort& a, const RankedPort& b) { return a.rank < b.rank; });
    return ranked;
}

void AddField(std::string& text, const std::string& field) {
    if (field.empty()) return;
    if (!text.empty()) text += "  ";
    text += field;
}

// The paired devices that offer the Serial Port service.
std::vector<BluezDevice> PairedSerialDevices() {
    std::vector<BluezDevice> paired;
    for (const BluezDevice& device : BluezDevices())
        if (device.paired && device.serialPort) paired.push_back(device);
    return paired;
}

std::vector<SerialPortName> WithPairedDevices(std::vector<SerialPortName> ports) {
    for (const BluezDevice& device : PairedSerialDevices())
        ports.push_back({BluetoothPortNameOf(device.address), {}, true});
    return ports;
}

std::string BluezName(const std::string& address) {
    for (const BluezDevice& device : BluezDevices())
        if (NormalBluetoothAddress(device.address) == address) return device.name;
    return {};
}

// What this computer tells about `port`: sysfs for a tty, the name alone
// for a "bt:" name; BlueZ's name for a Bluetooth device.
std::optional<TtyHardware> HardwareOf(const std::string& port) {
    std::optional<TtyHardware> hardware;
    if (std::optional<BluetoothPortName> name = ParseBluetoothPortName(port)) {
        hardware = TtyHardware{};
        hardware->bluetoothAddress = name->address;
        hardware->channel = name->channel;
    } else {
        hardware = ReadTtyHardware(DeviceTree{}, port);
    }
    if (hardware && !hardware->bluetoothAddress.empty()) hardware->product = BluezName(hardware->bluetoothAddress);
    return hardware;
}

}  // namespace

std::optional<TtyHardware> ReadTtyHardware(const DeviceTree& tree, const std::string& port) {
    std::error_code error;
    fs::path device = fs::canonical(port, error);
    if (error) return std::nullopt;
    return ReadTty(tree.sysClassTty / device.filename());
}

std::vector<SerialPortName> ListSerialDevices(const DeviceTree& tree) {
    std::map<fs::path, fs::path> byId = ByIdLinks(tree);
    std::vector<SerialPortName> ports;
    for (const fs::path& tty : Entries(tree.sysClassTty)) {
        std::optional<TtyHardware> hardware = ReadTty(tty);
        if (!hardware || hardware->placeholder) continue;
        fs::path device = tree.dev / tty.filename();
        SerialPortName port{device.string(), {}, !hardware->bluetoothAddress.empty()};
        std::error_code error;
        fs::path resolved = fs::canonical(device, error);
        if (!error && byId.count(resolved)) port.byId = byId[resolved].string();
        ports.push_back(port);
    }
    return ports;
}

std::vector<std::string> ListUsbAdapters(const DeviceTree& tree) {
    std::vector<std::string> adapters;
    for (const RankedPort& ranked : RankedPorts(tree))
        if (ranked.rank < 2) adapters.push_back(ranked.port.byId.empty() ? ranked.port.device : ranked.port.byId);
    return adapters;
}

std::vector<SerialPortName> ListOfferedPorts(const DeviceTree& tree) {
    std::vector<SerialPortName> ports;
    for (RankedPort& ranked : RankedPorts(tree)) ports.push_back(std::move(ranked.port));
    return ports;
}

std::vector<SerialPortName> OfferedPorts() { return WithPairedDevices(ListOfferedPorts(DeviceTree{})); }

std::vector<SerialPortName> PresentSerialPorts() { return ListSerialDevices(DeviceTree{}); }

std::vector<std::string> AdapterPorts() {
    DeviceTree tree;
    std::vector<std::string> adapters = ListUsbAdapters(tree);
    // A paired reader bound to an rfcomm tty is one reader, not two.
    std::set<std::string> bound;
    for (const std::string& port : adapters)
        if (std::optional<TtyHardware> hardware = ReadTtyHardware(tree, port)) bound.insert(hardware->bluetoothAddress);
    for (const BluezDevice& device : PairedSerialDevices())
        if (!bound.count(NormalBluetoothAddress(device.address))) adapters.push_back(BluetoothPortNameOf(device.address));
    return adapters;
}

std::vector<SerialPortName> CandidateSerialPorts() { return WithPairedDevices(PresentSerialPorts()); }

std::string LongDescription(const TtyHardware& hardware) {
    std::string text;
    if (!hardware.bluetoothAddress.empty())
        AddField(text, std::string(kBluetooth) + " " + hardware.bluetoothAddress +
                           (hardware.channel ? " channel " + std::to_string(hardware.channel) : ""));
    for (const std::string& field : {hardware.usbId, hardware.manufacturer, hardware.product}) AddField(text, field);
    if (!hardware.serial.empty()) AddField(text, "serial " + hardware.serial);
    if (!hardware.driver.empty()) AddField(text, "driver " + hardware.driver);
    return text;
}

std::string ShortDescription(const TtyHardware& hardware) {
    if (!hardware.bluetoothAddress.empty())
        return hardware.product.empty() ? std::string(kBluetooth) + " " + hardware.bluetoothAddress
                                        : hardware.product + ", " + kBluetooth;
    std::string text = hardware.product.empty() ? hardware.usbId : hardware.product;
    if (!hardware.driver.empty()) text += (text.empty() ? "" : ", ") + hardware.driver;
    return text;
}

std::string BriefPortDescription(const std::string& port) {
    std::optional<TtyHardware> hardware = HardwareOf(port);
    return hardware ? ShortDescription(*hardware) : std::string();
}

std::string DescribePort(const std::string& device) {
    std::optional<TtyHardware> hardware = HardwareOf(device);
    return hardware ? LongDescription(*hardware) : std::string();
}

OpenStatus CheckPortAccess(const std::string& device) {
    // A socket needs no permission of its own.
    if (IsBluetoothPortName(device)) return {};
    if (access(device.c_str(), R_OK | W_OK) == 0) return {};
    int err = errno;
    return {FailureFromErrno(err), std::strerror(err)};
}

std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port) {
    std::optional<TtyHardware> hardware = ReadTtyHardware(tree, port);
    return hardware ? hardware->latencyMs : std::nullopt;
}

std::string SysfsAttribute(const fs::path& file) { return Attribute(file); }
