// Today's date and the time of day, from one injectable clock, so that "played today" and
// "within the last two hours" can be tested exactly.
#pragma once

#include "base/date.h"

namespace klango::platform {

struct LocalTime {
    base::Date date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    base::Date today() const { return now().date; }
};

// The system's local time.
class SystemClock : public Clock {
public:
    LocalTime now() const override;
};

// A clock that stands where the test puts it.
class FixedClock : public Clock {
public:
    explicit FixedClock(LocalTime t) : m_time(t) {}
    LocalTime now() const override { return m_time; }
    void set(LocalTime t) { m_time = t; }

private:
    LocalTime m_time;
};

// The clock the program uses; SystemClock unless a test installed another.
const Clock& clock();
void setClock(const Clock* clock);  // nullptr: back to the system clock

}  // namespace klango::platform
