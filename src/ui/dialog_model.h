// Base of the dialog models: a dialog's values, enable rules and button actions live in a model
// in the command layers; a view (Qt, or the test's script) binds to it. The view sets onChanged
// to hear when it must refresh, and closes when the model says so.
#pragma once

#include <functional>
#include <string>

namespace klango::ui {

class DialogModel {
public:
    virtual ~DialogModel() = default;

    virtual std::string title() const = 0;
    // The help topic shown by F1 while the dialog is open; empty: none.
    virtual std::string helpTopic() const { return {}; }

    // Set by the view.
    std::function<void()> onChanged;
    void changed() const {
        if (onChanged) onChanged();
    }

    bool closeRequested() const { return m_close; }
    void requestClose() {
        m_close = true;
        changed();
    }

private:
    bool m_close = false;
};

}  // namespace klango::ui
