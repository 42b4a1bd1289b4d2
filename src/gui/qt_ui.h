// QtUi: the Ui of the desktop program. Message boxes, file and folder dialogs, the wait cursor,
// the message bar, MSGMETER's window, the help topic and the modal dialogs of the dialog models
// (each model type gets its view through registerView). Owned by the entry routine for the whole
// run; GUI thread only.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <typeindex>

#include "shell/app_state.h"
#include "ui/ui.h"

class QDialog;

namespace klango::gui {

class HelpWindow;
class MessageBar;

class QtUi : public ui::Ui {
public:
    // Pending events are let through at most this often, so that long loops stay fast.
    static constexpr int kProcessEventsIntervalMs = 30;

    QtUi() = default;
    ~QtUi() override;

    // The state whose fonts and start rectangle the dialogs use (the shell's, once it exists).
    void setState(const shell::AppState& state) { m_state = &state; }

    // The windows the Ui works with; each may be null (then dialogs have no parent, the message
    // bar and the help do nothing).
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    void setMessageBar(MessageBar* bar) { m_messageBar = bar; }
    void setHelpWindow(HelpWindow* help) { m_help = help; }

    bool yesNo(const std::string& title, const std::string& text, bool noDefault = true) override;
    void info(const std::string& title, const std::string& text) override;
    void infoWithNames(const std::string& title, const std::string& text,
                       const std::vector<std::string>& fileNames) override;
    void warning(const std::string& title, const std::string& text) override;
    void alert(const std::string& text) override;
    std::string openFile(const ui::FileDialogRequest& request) override;
    std::string saveFile(const ui::FileDialogRequest& request) override;
    std::string chooseFolder(const std::string& title, const std::string& startFolder) override;
    void setWaitCursor(bool on) override;
    void processEvents() override;
    void showMessage(const std::string& text) override;
    void setMessageItem(ui::MessageItem item, const std::string& text, const std::string& colors) override;
    void setMessageItemWidth(ui::MessageItem item, int pixels) override;
    void setDefaultMessage(const std::string& text) override;
    void setHelpTopic(const std::string& topic) override { m_helpTopic = topic; }
    void runWithMeter(const std::string& title, const std::string& text, const ui::MeterAction& action) override;
    void runDialog(ui::DialogModel& model, const std::function<void()>& onShown = {}) override;

    // The view of one kind of dialog model: makes the dialog bound to the model.
    using ViewFactory = std::function<std::unique_ptr<QDialog>(ui::DialogModel& model, QWidget* parent)>;
    template <class Model>
    void registerView(ViewFactory factory) {
        m_views[std::type_index(typeid(Model))] = std::move(factory);
    }

    const std::string& helpTopic() const { return m_helpTopic; }
    // F1: the help at the current topic.
    void showHelp();
    bool waitCursor() const { return m_waitCursor; }
    // How often processEvents really let the events through (for tests and the benchmark).
    long processEventsPassed() const { return m_passed; }

    // "description|pattern" (patterns separated by ';') as a Qt name filter showing each pattern
    // once (the dialog matches them in either case): "Datenbanken|*.dbf;*.DBF" ->
    // "Datenbanken (*.dbf)"; a description that ends in its patterns keeps them once.
    static QString nameFilter(const std::string& filter);
    // Where a picker opens: the folder asked for, else the folder last imported from (ImpPath),
    // else the home folder.
    QString startFolder(const std::string& requested) const;

private:
    QWidget* parent() const;

    const shell::AppState& state() const;

    const shell::AppState* m_state = nullptr;
    QPointer<QWidget> m_mainWindow;
    MessageBar* m_messageBar = nullptr;
    HelpWindow* m_help = nullptr;
    std::string m_helpTopic;
    bool m_waitCursor = false;
    QElapsedTimer m_sinceEvents;
    long m_passed = 0;
    std::map<std::type_index, ViewFactory> m_views;
};

}  // namespace klango::gui
