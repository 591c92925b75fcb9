#include <libudev.h>

#include "doctor/host.h"

namespace {

const char* const kModemManagerIgnore = "ID_MM_DEVICE_IGNORE";

}  // namespace

UdevFacts ReadUdevFacts(const std::string& tty) {
    UdevFacts facts;
    udev* context = udev_new();
    if (context == nullptr) return facts;
    if (udev_queue* queue = udev_queue_new(context)) {
        facts.running = udev_queue_get_udev_is_active(queue) != 0;
        udev_queue_unref(queue);
    }
    if (udev_device* device = udev_device_new_from_subsystem_sysname(context, "tty", tty.c_str())) {
        facts.initialized = udev_device_get_is_initialized(device) != 0;
        const char* ignore = udev_device_get_property_value(device, kModemManagerIgnore);
        facts.modemManagerIgnores = ignore != nullptr && std::string(ignore) == "1";
        udev_device_unref(device);
    }
    udev_unref(context);
    return facts;
}
