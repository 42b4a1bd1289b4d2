#include "ui/scripted_ui.h"

namespace klango::ui {

void ScriptedUi::expectYesNo(bool yes, std::string textContains) {
    m_script.push_back({"yesNo", yes ? "yes" : "no", std::move(textContains)});
}
void ScriptedUi::expectOpenFile(std::string path) { m_script.push_back({"openFile", std::move(path), {}}); }
void ScriptedUi::expectSaveFile(std::string path) { m_script.push_back({"saveFile", std::move(path), {}}); }
void ScriptedUi::expectFolder(std::string path) { m_script.push_back({"chooseFolder", std::move(path), {}}); }

std::string ScriptedUi::take(const std::string& kind, const std::string& text, const std::string& fallback) {
    if (m_script.empty() || m_script.front().kind != kind) {
        m_unexpected.push_back(kind + ": " + text);
        return fallback;
    }
    Answer a = m_script.front();
    m_script.pop_front();
    if (!a.textContains.empty() && text.find(a.textContains) == std::string::npos) {
        m_unexpected.push_back(kind + " (text mismatch, wanted '" + a.textContains + "'): " + text);
    }
    return a.value;
}

bool ScriptedUi::yesNo(const std::string& title, const std::string& text, bool noDefault) {
    m_calls.push_back("yesNo: " + title + " | " + text + (noDefault ? " [Nein]" : " [Ja]"));
    return take("yesNo", text, noDefault ? "no" : "yes") == "yes";
}
void ScriptedUi::infoWithNames(const std::string& title, const std::string& text,
                               const std::vector<std::string>& fileNames) {
    std::string all = text;
    for (const std::string& name : fileNames) all += "\n" + name;
    m_calls.push_back("info: " + title + " | " + all);
}

void ScriptedUi::info(const std::string& title, const std::string& text) {
    m_calls.push_back("info: " + title + " | " + text);
}
void ScriptedUi::warning(const std::string& title, const std::string& text) {
    m_calls.push_back("warning: " + title + " | " + text);
}
void ScriptedUi::alert(const std::string& text) { m_calls.push_back("alert: | " + text); }
std::string ScriptedUi::openFile(const FileDialogRequest& r) {
    m_calls.push_back("openFile: " + r.title + " | " + r.startFolder);
    return take("openFile", r.title, {});
}
std::string ScriptedUi::saveFile(const FileDialogRequest& r) {
    m_calls.push_back("saveFile: " + r.title + " | " + r.defaultName);
    return take("saveFile", r.title, {});
}
std::string ScriptedUi::chooseFolder(const std::string& title, const std::string& startFolder) {
    m_calls.push_back("chooseFolder: " + title + " | " + startFolder);
    return take("chooseFolder", title, {});
}
void ScriptedUi::setWaitCursor(bool on) { m_waitCursor = on; }
void ScriptedUi::processEvents() {
    ++m_processEvents;
    if (m_openDialog && m_during) m_during(*m_openDialog, ++m_dialogEvents);
}

void ScriptedUi::expectDialog(std::function<void(DialogModel&)> userActions) {
    m_script.push_back({"dialog", {}, {}});
    m_dialogActions.push_back(std::move(userActions));
}

void ScriptedUi::runDialog(DialogModel& model, const std::function<void()>& onShown) {
    m_calls.push_back("dialog: " + model.title());
    take("dialog", model.title(), {});
    std::function<void(DialogModel&)> actions;
    if (!m_dialogActions.empty()) {
        actions = std::move(m_dialogActions.front());
        m_dialogActions.pop_front();
    }
    DialogModel* outer = m_openDialog;
    m_openDialog = &model;
    m_dialogEvents = 0;
    if (actions) actions(model);
    if (onShown) onShown();
    m_openDialog = outer;
}
void ScriptedUi::showMessage(const std::string& text) { m_messages.push_back(text); }
void ScriptedUi::setMessageItem(MessageItem item, const std::string& text, const std::string& colors) {
    m_items[size_t(item)] = text;
    m_itemColors[size_t(item)] = colors;
}
void ScriptedUi::setHelpTopic(const std::string& topic) { m_helpTopic = topic; }
void ScriptedUi::runWithMeter(const std::string& title, const std::string& text, const MeterAction& action) {
    m_calls.push_back("meter: " + title + " | " + text);
    Meter meter;
    meter.setText(text);
    if (action) action(meter);
    meter.stop() = true;
}

}  // namespace klango::ui
