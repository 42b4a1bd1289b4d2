#include "base/call_stack.h"

namespace klango::base {

namespace {
thread_local std::vector<CallFrame> t_frames;
}

CallStack::Marker::Marker(const char* routine, int line) { t_frames.push_back({routine, line}); }
CallStack::Marker::~Marker() { t_frames.pop_back(); }

std::vector<CallFrame> CallStack::snapshot() { return {t_frames.rbegin(), t_frames.rend()}; }
size_t CallStack::depth() { return t_frames.size(); }
const CallFrame* CallStack::frames(size_t& count) {
    count = t_frames.size();
    return t_frames.data();
}

}  // namespace klango::base
