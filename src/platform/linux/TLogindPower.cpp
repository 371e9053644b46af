#include "platform/linux/TLogindPower.h"

#include <systemd/sd-bus.h>

namespace Platform {

std::string TLogindPower::PowerOff() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) {
        sd_bus_unref(bus);
        return "sd_bus_open_system() Failed";
    }
    sd_bus_error error{}; // the same zero state as SD_BUS_ERROR_NULL, without its C99 literal
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(bus, "org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager", "PowerOff", &error, &reply,
                                     "b", 0);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
    sd_bus_unref(bus);
    return r < 0 ? "PowerOff() Failed" : "";
}

} // namespace Platform
