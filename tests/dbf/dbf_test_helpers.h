// Shared by the table tests: the track record layout, a handler that records every error it is
// handed, and a fixed clock for header dates.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "dbf/dbf_structure.h"
#include "base/error.h"

namespace klango::test {

// The nineteen fields of a track record (528-byte records).
inline dbf::Structure trackFields() {
    using dbf::FieldType;
    dbf::Structure s = {
        {"DISCNAME", FieldType::kCharacter, 50, 0}, {"PATH", FieldType::kCharacter, 250, 0},
        {"ALBUM", FieldType::kCharacter, 40, 0},    {"GROUP", FieldType::kCharacter, 40, 0},
        {"TITLE", FieldType::kCharacter, 40, 0},    {"GENRE", FieldType::kCharacter, 20, 0},
        {"YEAR", FieldType::kNumeric, 4, 0},        {"TIME", FieldType::kCharacter, 5, 0},
        {"TRACK", FieldType::kNumeric, 2, 0},       {"PLAYED", FieldType::kNumeric, 5, 0},
        {"PLAYDATE", FieldType::kDate, 8, 0},       {"PLAYTIME", FieldType::kCharacter, 5, 0},
        {"RANGE", FieldType::kNumeric, 1, 0},       {"INFO", FieldType::kCharacter, 40, 0},
        {"TAGGED", FieldType::kLogical, 1, 0},      {"TAG", FieldType::kNumeric, 1, 0},
        {"TAGREAD", FieldType::kCharacter, 5, 0},   {"IMPORT", FieldType::kNumeric, 1, 0},
        {"TRSIZE", FieldType::kNumeric, 9, 2},
    };
    dbf::layoutFields(s);
    return s;
}

// Installs a handler for the life of the object; every error is kept, the answer comes from
// answer (default: fall back).
class ErrorCatcher {
public:
    using Answer = std::function<base::ErrorAnswer(const base::ErrorRecord&)>;
    explicit ErrorCatcher(Answer answer = {}) : m_answer(std::move(answer)) {
        base::setNetErr(false);
        m_previous = base::setErrorHandler([this](const base::ErrorRecord& e) {
            errors.push_back(e);
            return m_answer ? m_answer(e) : base::ErrorAnswer::fallBack();
        });
    }
    ~ErrorCatcher() { base::setErrorHandler(std::move(m_previous)); }
    ErrorCatcher(const ErrorCatcher&) = delete;
    ErrorCatcher& operator=(const ErrorCatcher&) = delete;

    bool saw(int genCode) const {
        for (const auto& e : errors) {
            if (e.genCode == genCode) return true;
        }
        return false;
    }

    std::vector<base::ErrorRecord> errors;

private:
    Answer m_answer;
    base::ErrorHandler m_previous;
};

// Puts the program's clock on a fixed day for the life of the object.
class ClockAt {
public:
    explicit ClockAt(base::Date day) : m_clock(platform::LocalTime{day, 12, 0, 0}) {
        platform::setClock(&m_clock);
    }
    ~ClockAt() { platform::setClock(nullptr); }

private:
    platform::FixedClock m_clock;
};

}  // namespace klango::test
