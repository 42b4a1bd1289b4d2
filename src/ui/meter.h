// The progress state of a small "please wait" window (MSGMETER): a text line and a bar with a
// total and a position, and a stop flag. The command that runs inside the window changes it;
// the view shows each change. Core type, no Qt.
#pragma once

#include <functional>
#include <string>

namespace klango::ui {

class Meter {
public:
    virtual ~Meter() = default;
    void setTotal(long total) { m_total = total < 1 ? 1 : total; changed(); }
    void setPosition(long position) { m_position = position; changed(); }
    void setText(std::string text) { m_text = std::move(text); changed(); }
    long total() const { return m_total; }
    long position() const { return m_position; }
    const std::string& text() const { return m_text; }
    bool& stop() { return m_stop; }

protected:
    // A view redraws here.
    virtual void changed() {}

private:
    long m_total = 10;
    long m_position = 0;
    std::string m_text;
    bool m_stop = false;
};

using MeterAction = std::function<void(Meter&)>;

}  // namespace klango::ui
