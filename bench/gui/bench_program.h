// BenchProgram: the desktop program as far as the table window goes, for the view benchmarks: a
// program folder below the benchmark home whose Daten/ holds one generated track table (a hard
// link, so the 528 MB of a million tracks are not copied), a started shell, the main window at
// 1024x768 with its table panel and table window. Owns all of them; GUI thread only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "shell/startup.h"
#include "table/table_window.h"
#include "gui/main_window.h"
#include "gui/qt_ui.h"
#include "gui/table_panel.h"

namespace klango::bench {

class BenchProgram {
public:
    // Generates (or reuses) the table of `records` tracks and starts the program over it; the
    // table is not opened yet.
    explicit BenchProgram(long records);
    ~BenchProgram();
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;

    // The database name (CFILE) and the program's data folder.
    const std::string& name() const { return m_name; }
    std::filesystem::path dataFolder() const { return m_home / "Daten"; }
    // Removes the index files so that the next open builds them as the first open of a day does.
    void removeIndexFiles();
    // MP3TABLE(false) on the table; true when the panel is shown.
    bool open();
    // Lets pending events through and paints the whole main window once.
    void paintWindow();
    // Lets pending events through and paints the grid's visible cells once.
    void paintGrid();
    // MP3DLGCLOSE and close-all, as the program does between two databases.
    void close();

    shell::Shell& shell() { return m_shell; }
    table::TableWindow& tableWindow() { return *m_tableWindow; }
    gui::TablePanel& panel() { return *m_panel; }
    gui::MainWindow& window() { return *m_window; }

private:
    std::string m_name;
    std::filesystem::path m_home;
    gui::QtUi m_ui;
    shell::Shell m_shell{m_ui};
    std::unique_ptr<gui::MainWindow> m_window;
    std::unique_ptr<gui::TablePanel> m_panel;
    std::unique_ptr<table::TableWindow> m_tableWindow;
};

// The process's peak and current resident memory in MB (VmHWM, VmRSS of /proc/self/status).
double peakResidentMb();
double residentMb();

}  // namespace klango::bench
