#include "platform/clock.h"

#include <ctime>

namespace klango::platform {

LocalTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

namespace {
const Clock* g_clock = nullptr;
}

const Clock& clock() {
    static SystemClock system;
    return g_clock ? *g_clock : system;
}

void setClock(const Clock* c) { g_clock = c; }

}  // namespace klango::platform
