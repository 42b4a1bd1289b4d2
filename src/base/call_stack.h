// A small stack of the routines that are running, with the line each is at, so that the error
// log can list "Aufgerufen von". Every routine of the program opens with KLANGO_ROUTINE.
#pragma once

#include <string>
#include <vector>

namespace klango::base {

struct CallFrame {
    const char* routine;
    int line;
};

class CallStack {
public:
    // Innermost first, as the error log lists them.
    static std::vector<CallFrame> snapshot();
    static size_t depth();
    // The frames outermost first, without copying or allocating: for the crash log, which may
    // only make async-signal-safe calls. count receives the number of frames.
    static const CallFrame* frames(size_t& count);

    class Marker {
    public:
        Marker(const char* routine, int line);
        ~Marker();
        Marker(const Marker&) = delete;
        Marker& operator=(const Marker&) = delete;
    };
};

}  // namespace klango::base

#define KLANGO_ROUTINE_CAT2(a, b) a##b
#define KLANGO_ROUTINE_CAT(a, b) KLANGO_ROUTINE_CAT2(a, b)
#define KLANGO_ROUTINE(name) \
    ::klango::base::CallStack::Marker KLANGO_ROUTINE_CAT(klangoRoutine_, __LINE__)(name, __LINE__)
