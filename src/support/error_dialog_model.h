// The error dialog of the error handler: the description line, the routine stack, and the buttons
// "&Ende", "&Wiederholen" and "&Default" in their order with the default button. The handler
// (ERRORDIALOG) shows it through Ui::runDialog; the Qt view binds it.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog_model.h"

namespace klango::support {

class ErrorDialogModel : public ui::DialogModel {
  public:
    enum class Choice { End, Retry, Default };
    struct Button {
        std::string caption;
        Choice choice;
    };

    ErrorDialogModel(std::string description, std::vector<std::string> stack, bool canRetry, bool canDefault);

    std::string title() const override { return "Tessel: The Pcore Windows Library"; }
    std::string helpTopic() const override { return "Fehlerdialog"; }

    const std::string& description() const { return m_description; }
    const std::vector<std::string>& stack() const { return m_stack; }
    // Left to right.
    const std::vector<Button>& buttons() const { return m_buttons; }
    size_t defaultButton() const { return m_default; }
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 250;

    // A button was pressed (one that is not shown counts as closing the dialog).
    void press(Choice choice);
    // Closed without a button: the program ends.
    Choice result() const { return m_result; }

  private:
    std::string m_description;
    std::vector<std::string> m_stack;
    std::vector<Button> m_buttons;
    size_t m_default = 0;
    Choice m_result = Choice::End;
};

}  // namespace klango::support
