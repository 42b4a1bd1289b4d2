// The windowing interface the command routines talk to. Every question, message, file or
// folder choice, wait cursor, progress step and "let pending window messages through" goes
// through it, so that the routines run the same under the Qt views and under ScriptedUi in tests.
// Texts are CP1252, as everywhere in the core.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/meter.h"

namespace klango::ui {

// The four items of the main window's message bar, left to right: OMP3BASE (the database name),
// OMP3RECS ("Titel: n"), OMP3TAGG ("Markiert: n"), OMP3FILT ("Filter !" / "kein Filter").
enum class MessageItem { Base, Records, Tagged, Filter };

struct FileDialogRequest {
    std::string title;
    std::string filter;      // "description|pattern", patterns separated by ';'
    int filterIndex = 1;
    std::string startFolder;
    std::string defaultName;
};

class Ui {
public:
    virtual ~Ui() = default;

    // Yes/No question; noDefault preselects "Nein".
    virtual bool yesNo(const std::string& title, const std::string& text, bool noDefault = true) = 0;
    virtual void info(const std::string& title, const std::string& text) = 0;
    // An information that lists file names as the file system has them (UTF-8 bytes, which may
    // hold what CP1252 cannot), one per line below the CP1252 text.
    virtual void infoWithNames(const std::string& title, const std::string& text,
                               const std::vector<std::string>& fileNames);
    virtual void warning(const std::string& title, const std::string& text) = 0;
    virtual void alert(const std::string& text) = 0;

    // Empty result: cancelled.
    virtual std::string openFile(const FileDialogRequest& request) = 0;
    virtual std::string saveFile(const FileDialogRequest& request) = 0;
    virtual std::string chooseFolder(const std::string& title, const std::string& startFolder) = 0;
    // RXGETFILE: the open-file dialog with the filter mask (entry index preselected), the title,
    // the start folder initDir and defaultValue preselected. folder: the chosen file's folder with
    // its trailing separator, initDir when cancelled; else the chosen file, defaultValue when
    // cancelled.
    std::string RXGETFILE(const std::string& mask, const std::string& title, int index, const std::string& initDir,
                          bool folder, const std::string& defaultValue) {
        const std::string chosen = openFile({title, mask, index, initDir, defaultValue});
        if (chosen.empty()) return folder ? initDir : defaultValue;
        if (!folder) return chosen;
        const size_t end = chosen.find_last_of("\\/");
        return end == std::string::npos ? initDir : chosen.substr(0, end + 1);
    }

    virtual void setWaitCursor(bool on) = 0;
    // Lets pending window messages through (progress bars move, a stop button can be pressed).
    virtual void processEvents() = 0;
    // The centred default text of the message bar, or a command's message.
    virtual void showMessage(const std::string& text) = 0;
    // Sets one item of the message bar: its text and its colour string ("N*/W" black on white,
    // "W*+/R" bright white on red).
    virtual void setMessageItem(MessageItem item, const std::string& text, const std::string& colors = "N*/W") = 0;
    // The width of an item in pixels (the database name is sized to its text).
    virtual void setMessageItemWidth(MessageItem item, int pixels) { (void)item, (void)pixels; }
    // The text the message bar returns to when no menu entry or command speaks.
    virtual void setDefaultMessage(const std::string& text) { (void)text; }
    // The help topic that F1 opens ("Hauptauswahl", "Filter setzen", ...); a dialog sets its own
    // while it is open.
    virtual void setHelpTopic(const std::string& topic) = 0;
    // Shows a modal "please wait" window titled title with text, runs action inside it, and
    // closes the window when action returns (the stop flag is then set).
    virtual void runWithMeter(const std::string& title, const std::string& text, const MeterAction& action) = 0;
    // Shows the modal dialog of model; once it is shown, onShown runs (a dialog that works by
    // itself, such as the import, does its work there and closes). Returns when it has closed.
    // Without a view for the model, onShown runs alone.
    virtual void runDialog(DialogModel& model, const std::function<void()>& onShown = {}) {
        if (onShown) onShown();
        (void)model;
    }
};

// Takes every default without asking: "Nein" to questions, cancel for files, nothing shown.
class NullUi : public Ui {
public:
    bool yesNo(const std::string&, const std::string&, bool noDefault = true) override { return !noDefault; }
    void info(const std::string&, const std::string&) override {}
    void warning(const std::string&, const std::string&) override {}
    void alert(const std::string&) override {}
    std::string openFile(const FileDialogRequest&) override { return {}; }
    std::string saveFile(const FileDialogRequest&) override { return {}; }
    std::string chooseFolder(const std::string&, const std::string&) override { return {}; }
    void setWaitCursor(bool) override {}
    void processEvents() override {}
    void showMessage(const std::string&) override {}
    void setMessageItem(MessageItem, const std::string&, const std::string&) override {}
    void setHelpTopic(const std::string&) override {}
    void runWithMeter(const std::string&, const std::string& text, const MeterAction& action) override {
        Meter meter;
        meter.setText(text);
        if (action) action(meter);
        meter.stop() = true;
    }
};

}  // namespace klango::ui
