#include "support/error_dialog_model.h"

namespace klango::support {

ErrorDialogModel::ErrorDialogModel(std::string description, std::vector<std::string> stack, bool canRetry,
                                   bool canDefault)
    : m_description(std::move(description)), m_stack(std::move(stack)) {
    const Button end{"&Ende", Choice::End}, retry{"&Wiederholen", Choice::Retry},
        fallBack{"&Default", Choice::Default};
    if (canRetry && canDefault) {
        m_buttons = {retry, end, fallBack};
        m_default = 1;
    } else if (canRetry) {
        m_buttons = {end, retry};
        m_default = 1;
    } else if (canDefault) {
        m_buttons = {end, fallBack};
        m_default = 1;
    } else {
        m_buttons = {end};
        m_default = 0;
    }
}

void ErrorDialogModel::press(Choice choice) {
    bool shown = false;
    for (const Button& b : m_buttons) shown = shown || b.choice == choice;
    m_result = shown ? choice : Choice::End;
    requestClose();
}

}  // namespace klango::support
