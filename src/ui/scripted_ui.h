// A Ui for tests: answers from a script and records every call. A call the script does not
// expect (a question without a scripted answer) is recorded as unexpected, which the test checks.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace klango::ui {

class ScriptedUi : public Ui {
public:
    // One scripted answer: for yesNo "yes"/"no", for file and folder dialogs the chosen path
    // ("" = cancel). expectKind is checked against the call ("yesNo", "openFile", ...).
    struct Answer {
        std::string kind;
        std::string value;
        std::string textContains;  // when not empty, the call's text must contain it
    };

    void expectYesNo(bool yes, std::string textContains = {});
    void expectOpenFile(std::string path);
    void expectSaveFile(std::string path);
    void expectFolder(std::string path);

    // Recorded as "yesNo: TITLE | TEXT [Nein]" (or "[Ja]"): the preselected button at the end.
    bool yesNo(const std::string& title, const std::string& text, bool noDefault = true) override;
    void info(const std::string& title, const std::string& text) override;
    // Recorded as "info: TITLE | TEXT" with each name on a line of its own, bytes unchanged.
    void infoWithNames(const std::string& title, const std::string& text,
                       const std::vector<std::string>& fileNames) override;
    void warning(const std::string& title, const std::string& text) override;
    void alert(const std::string& text) override;
    std::string openFile(const FileDialogRequest& request) override;
    std::string saveFile(const FileDialogRequest& request) override;
    std::string chooseFolder(const std::string& title, const std::string& startFolder) override;
    void setWaitCursor(bool on) override;
    void processEvents() override;
    void showMessage(const std::string& text) override;
    void setMessageItem(MessageItem item, const std::string& text, const std::string& colors = "N*/W") override;
    void setMessageItemWidth(MessageItem item, int pixels) override { m_itemWidths[size_t(item)] = pixels; }
    void setDefaultMessage(const std::string& text) override { m_defaultMessage = text; }
    void setHelpTopic(const std::string& topic) override;
    void runWithMeter(const std::string& title, const std::string& text, const MeterAction& action) override;
    // Records the dialog, then plays the user: the next scripted dialog action (if any) runs
    // before onShown, so it can set values; the "during" hook runs on every processEvents while
    // the dialog is open (to press a stop button after n events).
    void runDialog(DialogModel& model, const std::function<void()>& onShown = {}) override;
    void expectDialog(std::function<void(DialogModel&)> userActions = {});
    void whileDialogOpen(std::function<void(DialogModel&, int eventNo)> hook) { m_during = std::move(hook); }

    // "kind: title | text" per call, in order.
    const std::vector<std::string>& calls() const { return m_calls; }
    // Calls that had no scripted answer or did not match it.
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    bool scriptDone() const { return m_script.empty(); }
    const std::vector<std::string>& messages() const { return m_messages; }
    bool waitCursor() const { return m_waitCursor; }
    int processEventsCount() const { return m_processEvents; }
    // The current text and colour string of a message-bar item.
    const std::string& messageItem(MessageItem item) const { return m_items[size_t(item)]; }
    const std::string& messageItemColors(MessageItem item) const { return m_itemColors[size_t(item)]; }
    const std::string& helpTopic() const { return m_helpTopic; }
    int messageItemWidth(MessageItem item) const { return m_itemWidths[size_t(item)]; }
    const std::string& defaultMessage() const { return m_defaultMessage; }

private:
    std::string take(const std::string& kind, const std::string& text, const std::string& fallback);

    std::deque<Answer> m_script;
    std::deque<std::function<void(DialogModel&)>> m_dialogActions;
    std::function<void(DialogModel&, int)> m_during;
    DialogModel* m_openDialog = nullptr;
    int m_dialogEvents = 0;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_unexpected;
    std::vector<std::string> m_messages;
    bool m_waitCursor = false;
    std::array<std::string, 4> m_items;
    std::array<std::string, 4> m_itemColors;
    std::string m_helpTopic;
    std::array<int, 4> m_itemWidths{};
    std::string m_defaultMessage;
    int m_processEvents = 0;
};

}  // namespace klango::ui
