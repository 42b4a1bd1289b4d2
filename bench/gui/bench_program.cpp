#include "bench_program.h"

#include <QApplication>
#include <fstream>
#include <system_error>

#include "platform/file_names.h"
#include "track_table_generator.h"
#include "gui/artwork.h"
#include "gui/track_grid_view.h"

namespace klango::bench {

namespace fs = std::filesystem;

namespace {

// The program's settings: no first-run settings dialog, default window and grid.
constexpr const char* kIni = "[System]\nAutoOpen=0\n";

double statusMb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) / 1024.0;  // kB
    }
    return 0;
}

}  // namespace

double peakResidentMb() { return statusMb("VmHWM"); }
double residentMb() { return statusMb("VmRSS"); }

BenchProgram::BenchProgram(long records) : m_name("Fenster" + std::to_string(records)) {
    const fs::path table = generatedTrackTable(m_name.c_str(), records);
    m_home = benchHome() / ("Programm" + std::to_string(records));
    std::error_code ec;
    fs::remove_all(m_home, ec);
    fs::create_directories(m_home / "Daten");
    fs::create_hard_link(table, dataFolder() / (m_name + ".dbf"), ec);
    if (ec) fs::copy_file(table, dataFolder() / (m_name + ".dbf"), ec);
    {
        std::ofstream ini(m_home / "KLANGO.INI", std::ios::binary);
        ini << kIni;
    }

    gui::Artwork::setFolder(fs::path(KLANGO_RESOURCES) / "art");
    const fs::path cwd = fs::current_path();
    shell::startUp(m_shell, m_home);
    shell::afterStartScreen(m_shell);
    fs::current_path(cwd, ec);
    m_ui.setState(m_shell.state);
    shell::placeMainWindow(m_shell, {0, 0, 768, 1024});
    shell::buildMenu(m_shell);

    m_window = std::make_unique<gui::MainWindow>(m_shell, m_ui);
    m_shell.hooks.quit = [this] { m_window->close(); };
    m_shell.hooks.helpContents = [] {};
    m_shell.hooks.MP3IMPORT = [] { return false; };
    m_shell.hooks.redrawMenu = [this] { m_window->refreshMenu(); };
    m_panel = std::make_unique<gui::TablePanel>(*m_window);
    m_tableWindow = std::make_unique<table::TableWindow>(m_shell);
    m_tableWindow->setView(m_panel.get());
    m_tableWindow->install();
    m_window->resize(1024, 768);
    m_window->show();
    QApplication::processEvents();
}

BenchProgram::~BenchProgram() {
    close();
    m_tableWindow.reset();
    m_panel.reset();
    m_window.reset();
}

void BenchProgram::removeIndexFiles() {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(dataFolder(), ec)) {
        if (platform::matchesMask(e.path().filename().string(), "*.NTX")) fs::remove(e.path(), ec);
    }
}

bool BenchProgram::open() {
    m_shell.state.CFILE = m_name;
    return m_tableWindow->MP3TABLE(false) == std::optional<bool>(true) && m_panel->grid();
}

void BenchProgram::paintWindow() {
    QApplication::processEvents();
    m_window->grab();
}

void BenchProgram::paintGrid() {
    QApplication::processEvents();
    if (m_panel->grid()) m_panel->grid()->viewport()->grab();
}

void BenchProgram::close() {
    if (m_shell.state.LTAB_OPEN) m_tableWindow->MP3DLGCLOSE();
    if (m_shell.areas) m_shell.areas->closeAll();
    QApplication::processEvents();
}

}  // namespace klango::bench
