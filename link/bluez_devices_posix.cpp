#include "link/bluez_devices.h"

#include <systemd/sd-bus.h>

namespace {

const char* const kService = "org.bluez";
const char* const kDeviceInterface = "org.bluez.Device1";
const char* const kSerialPortUuid = "00001101-0000-1000-8000-00805f9b34fb";
constexpr uint64_t kAnswerTimeoutUs = 1'000'000;

// Reads one property's variant into `device` where it is one we use;
// skips it otherwise. Negative on a malformed message.
int ReadProperty(sd_bus_message* reply, BluezDevice& device) {
    const char* property = nullptr;
    if (int rc = sd_bus_message_read(reply, "s", &property); rc < 0) return rc;
    std::string key = property;
    const char* text = nullptr;
    int flag = 0;
    if (key == "Address" || key == "Name") {
        if (int rc = sd_bus_message_read(reply, "v", "s", &text); rc < 0) return rc;
        (key == "Address" ? device.address : device.name) = text;
    } else if (key == "Paired") {
        if (int rc = sd_bus_message_read(reply, "v", "b", &flag); rc < 0) return rc;
        device.paired = flag != 0;
    } else if (key == "UUIDs") {
        if (int rc = sd_bus_message_enter_container(reply, 'v', "as"); rc < 0) return rc;
        if (int rc = sd_bus_message_enter_container(reply, 'a', "s"); rc < 0) return rc;
        int rc = 0;
        while ((rc = sd_bus_message_read(reply, "s", &text)) > 0)
            if (std::string(text) == kSerialPortUuid) device.serialPort = true;
        if (rc < 0) return rc;
        if (int rc = sd_bus_message_exit_container(reply); rc < 0) return rc;
        if (int rc = sd_bus_message_exit_container(reply); rc < 0) return rc;
    } else if (int rc = sd_bus_message_skip(reply, "v"); rc < 0) {
        return rc;
    }
    return 0;
}

// One object's interfaces, a{sa{sv}}; a device when it has Device1.
int ReadObject(sd_bus_message* reply, std::vector<BluezDevice>& devices) {
    if (int rc = sd_bus_message_enter_container(reply, 'a', "{sa{sv}}"); rc < 0) return rc;
    while (sd_bus_message_enter_container(reply, 'e', "sa{sv}") > 0) {
        const char* interface = nullptr;
        if (int rc = sd_bus_message_read(reply, "s", &interface); rc < 0) return rc;
        if (std::string(interface) != kDeviceInterface) {
            if (int rc = sd_bus_message_skip(reply, "a{sv}"); rc < 0) return rc;
        } else {
            BluezDevice device;
            if (int rc = sd_bus_message_enter_container(reply, 'a', "{sv}"); rc < 0) return rc;
            while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
                if (int rc = ReadProperty(reply, device); rc < 0) return rc;
                if (int rc = sd_bus_message_exit_container(reply); rc < 0) return rc;
            }
            if (int rc = sd_bus_message_exit_container(reply); rc < 0) return rc;
            if (!device.address.empty()) devices.push_back(device);
        }
        if (int rc = sd_bus_message_exit_container(reply); rc < 0) return rc;
    }
    return sd_bus_message_exit_container(reply);
}

// GetManagedObjects' answer, a{oa{sa{sv}}}.
void ReadObjects(sd_bus_message* reply, std::vector<BluezDevice>& devices) {
    if (sd_bus_message_enter_container(reply, 'a', "{oa{sa{sv}}}") < 0) return;
    while (sd_bus_message_enter_container(reply, 'e', "oa{sa{sv}}") > 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(reply, "o", &path) < 0 || ReadObject(reply, devices) < 0) return;
        if (sd_bus_message_exit_container(reply) < 0) return;
    }
}

}  // namespace

std::vector<BluezDevice> BluezDevices() {
    std::vector<BluezDevice> devices;
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) return devices;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    if (sd_bus_message_new_method_call(bus, &call, kService, "/", "org.freedesktop.DBus.ObjectManager",
                                       "GetManagedObjects") >= 0 &&
        // bluetoothd not running means no Bluetooth, not a reason to start it.
        sd_bus_message_set_auto_start(call, 0) >= 0 && sd_bus_call(bus, call, kAnswerTimeoutUs, &error, &reply) >= 0)
        ReadObjects(reply, devices);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    sd_bus_flush_close_unref(bus);
    return devices;
}
