#include "watch/adapters.h"

#include <libudev.h>
#include <poll.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

const char* const kSubsystem = "tty";
const char* const kAdded = "add";
const char* const kRemoved = "remove";
const char* const kNoUdev = "no udev monitor: ";
// A tty that RFCOMM binds to a Bluetooth device: it has no parent in sysfs.
constexpr std::string_view kRfcommPrefix = "rfcomm";

// A USB serial adapter's tty, or one bound to a Bluetooth device.
bool IsAdapter(udev_device* device) {
    const char* name = udev_device_get_sysname(device);
    if (name != nullptr && std::string_view(name).starts_with(kRfcommPrefix)) return true;
    return udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device") != nullptr;
}

class UdevAdapters final : public PortEvents {
public:
    UdevAdapters(udev* context, udev_monitor* monitor) : context_(context), monitor_(monitor) { ListPresent(); }
    ~UdevAdapters() override {
        udev_monitor_unref(monitor_);
        udev_unref(context_);
    }

    std::vector<PortEvent> Next(std::chrono::milliseconds wait) override {
        std::vector<PortEvent> events;
        events.swap(pending_);
        pollfd ready{udev_monitor_get_fd(monitor_), POLLIN, 0};
        if (events.empty() && poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return events;
        // The monitor's socket does not block: each change waiting is taken.
        while (udev_device* device = udev_monitor_receive_device(monitor_)) {
            Take(device, udev_device_get_action(device), events);
            udev_device_unref(device);
        }
        return events;
    }

private:
    // The monitor is already receiving: an adapter plugged in meanwhile
    // is listed here, or comes from the monitor, or both; PresentPorts
    // keeps one.
    void ListPresent() {
        udev_enumerate* list = udev_enumerate_new(context_);
        if (list == nullptr) return;
        udev_enumerate_add_match_subsystem(list, kSubsystem);
        udev_enumerate_scan_devices(list);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list)) {
            udev_device* device = udev_device_new_from_syspath(context_, udev_list_entry_get_name(entry));
            if (device == nullptr) continue;
            Take(device, kAdded, pending_);
            udev_device_unref(device);
        }
        udev_enumerate_unref(list);
    }

    // A tty gone is no longer in sysfs to be asked what it was: whether it
    // was an adapter is what PresentPorts remembers.
    void Take(udev_device* device, const char* action, std::vector<PortEvent>& events) {
        const char* node = udev_device_get_devnode(device);
        if (node == nullptr || action == nullptr) return;
        PortEvent event{PortChange::Appeared, node};
        if (std::strcmp(action, kRemoved) == 0) {
            event.change = PortChange::Gone;
        } else if (std::strcmp(action, kAdded) != 0 || !IsAdapter(device)) {
            return;
        }
        if (present_.Apply(event)) events.push_back(event);
    }

    udev* context_;
    udev_monitor* monitor_;
    std::vector<PortEvent> pending_;  // the adapters present at the start
    PresentPorts present_;
};

}  // namespace

AdapterWatch WatchAdapters() {
    udev* context = udev_new();
    if (context == nullptr) return {nullptr, std::string(kNoUdev) + std::strerror(errno)};
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    int code = monitor == nullptr ? -errno : udev_monitor_filter_add_match_subsystem_devtype(monitor, kSubsystem, nullptr);
    if (code >= 0) code = udev_monitor_enable_receiving(monitor);
    if (code < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return {nullptr, std::string(kNoUdev) + std::strerror(-code)};
    }
    return {std::make_unique<UdevAdapters>(context, monitor), {}};
}
