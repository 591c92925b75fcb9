#include "watch/notification.h"

#include <systemd/sd-bus.h>

namespace {

const char* const kService = "org.freedesktop.Notifications";
const char* const kPath = "/org/freedesktop/Notifications";
const char* const kInterface = "org.freedesktop.Notifications";
const char* const kApplication = "Kavrin";
const char* const kIcon = "kavrin";
// The server's own choice of how long the notification shows.
constexpr int32_t kServerTimeout = -1;
// A desktop that does not answer in time is no reason to hold a download's end.
constexpr uint64_t kCallTimeoutUs = 2000000;

}  // namespace

// Notify(app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout)
bool NotifyDesktop(const std::string& summary, const std::string& body) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return false;
    sd_bus_message* call = nullptr;
    sd_bus_message* reply = nullptr;
    int code = sd_bus_message_new_method_call(bus, &call, kService, kPath, kInterface, "Notify");
    if (code >= 0)
        code = sd_bus_message_append(call, "susssasa{sv}i", kApplication, uint32_t{0}, kIcon, summary.c_str(),
                                     body.c_str(), 0, 0, kServerTimeout);
    if (code >= 0) code = sd_bus_call(bus, call, kCallTimeoutUs, nullptr, &reply);
    sd_bus_message_unref(reply);
    sd_bus_message_unref(call);
    sd_bus_flush_close_unref(bus);
    return code >= 0;
}
