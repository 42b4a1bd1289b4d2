#include "output/playlist_export.h"

#include <fstream>
#include <system_error>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/order.h"
#include "shell/player_command.h"
#include "output/playlist_export_model.h"
#include "output/playlist_sort_model.h"
#include "platform/file_names.h"
#include "platform/playlist_bytes.h"
#include "shell/rx_helpers.h"
#include "shell/startup.h"
#include "table/marking.h"
#include "table/table_panel_state.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::output {
namespace {

using trackdb::track::Field;
namespace keys = shell::keys;

constexpr const char* kProblem = "Problem";

std::string entryText(const dbf::RecordView& r) {
    std::string text(base::trimRight(r.raw(Field::GROUP)));
    text += " - ";
    text += base::trimRight(r.raw(Field::TITLE));
    return text;
}

bool holdsLineBreak(std::string_view path) {
    return path.find_first_of("\r\n") != std::string_view::npos;
}

std::string twoDigits(int n) {
    return std::string(1, char('0' + n / 10 % 10)) + char('0' + n % 10);
}

}  // namespace

PlaylistExport::PlaylistExport(shell::Shell& shell, const platform::Clock& clock, PlayerStarter starter)
    : m_shell(shell), m_clock(clock), m_starter(std::move(starter)) {
    if (!m_starter) {
        m_starter = [](const platform::ProgramCall& call) { return platform::startDetached(call.program, call.args); };
    }
}

dbf::DbfTable* PlaylistExport::table() const {
    return m_shell.areas ? m_shell.areas->get("DMP3") : nullptr;
}

std::vector<TitleEntry> PlaylistExport::collect(dbf::DbfTable& table, bool tagged, bool withTexts, long* marked) {
    std::vector<TitleEntry> entries;
    long marks = 0;
    auto visit = [&](uint32_t recno) {
        const dbf::RecordView r = table.view(recno);
        if (r.isDeleted()) return;
        const bool isMarked = r.logical(Field::TAGGED);
        marks += isMarked;
        if (tagged && !isMarked) return;
        entries.push_back({withTexts ? entryText(r) : std::string(), recno});
    };
    // The shown records in the current order straight from its entries (the order holds only the
    // records its condition lets through), without moving the table's pointer.
    if (const dbf::Order* order = table.currentOrder()) {
        for (size_t i = 0; i < order->size(); ++i) visit(order->recnoAt(i));
    } else {
        for (uint32_t recno = 1; recno <= table.lastRec(); ++recno) visit(recno);
    }
    if (marked) *marked = marks;
    return entries;
}

PlaylistResult PlaylistExport::M3UEXPORT() {
    KLANGO_ROUTINE("M3UEXPORT");
    PlaylistResult result;
    if (!table()) return result;
    const shell::Settings settings = m_shell.state.settings();
    PlaylistExportModel::Values v;
    v.tagged = settings.on(keys::kExportTagged);
    v.playNow = settings.on(keys::kExportPlayNow);
    v.delMark = settings.on(keys::kExportDelMark);
    v.fileName = withM3uExtension(settings.text(keys::kPlayFile));
    const bool exists = fs::exists(playlistPath(v.fileName));
    v.append = exists && settings.on(keys::kAddPList);
    PlaylistExportModel model(v);
    m_shell.ui->runDialog(model);
    if (!model.accepted()) return result;

    const PlaylistExportModel::Values& chosen = model.values();
    settings.writeSwitch(keys::kExportTagged, chosen.tagged);
    settings.writeSwitch(keys::kExportPlayNow, chosen.playNow);
    settings.writeSwitch(keys::kExportDelMark, chosen.delMark);
    settings.write(keys::kPlayFile, model.trimmedName());
    return M3USORT(model.trimmedName(), chosen.tagged, chosen.playNow, chosen.delMark, chosen.append);
}

PlaylistResult PlaylistExport::M3USORT(const std::string& cFile, bool lTagged, bool lPlayNow, bool lDelMark,
                                       bool lAppend) {
    KLANGO_ROUTINE("M3USORT");
    PlaylistResult result;
    dbf::DbfTable* t = table();
    if (!t) return result;
    ui::Ui& ui = *m_shell.ui;
    const std::string name = withM3uExtension(cFile);
    if (name.find_first_of("/\\") != std::string::npos) {
        ui.warning(kProblem, "Der Name der Playliste darf keinen Ordner enthalten:\n" + name);
        return result;
    }

    ui.setWaitCursor(true);
    // The entry texts are wanted only by the sort dialog.
    const bool sortDialog = !m_shell.state.LS_MARKSORT;
    long marked = 0;
    std::vector<TitleEntry> source = collect(*t, lTagged, sortDialog, &marked);
    if (source.empty()) {
        ui.setWaitCursor(false);
        ui.warning(kProblem, kNoTitles);
        t->goTop();
        return result;
    }

    std::vector<TitleEntry> order;
    if (sortDialog && source.size() > 1) {
        ui.setWaitCursor(false);
        PlaylistSortModel sort(std::move(source));
        ui.runDialog(sort);
        if (!sort.accepted()) return result;
        order = sort.order();
        ui.setWaitCursor(true);
    } else {
        order = std::move(source);
    }

    // Each entry keeps its record: no lookup by artist and title, no working index, the view
    // (filter, search, sort order) stays as it is.
    std::vector<uint32_t> records;
    records.reserve(order.size());
    for (const TitleEntry& e : order) records.push_back(e.recno);

    result.file = playlistPath(name);
    const bool wasEof = t->eof();
    const uint32_t saved = t->recNo();
    if (!writePlaylist(*t, records, result)) {
        ui.setWaitCursor(false);
        return result;
    }
    if (lPlayNow) {
        const bool add = lAppend && m_shell.state.settings().on(keys::kAddPList);
        result.playerStarted = startPlayer(add, result.file);
    }
    {
        const platform::LocalTime now = m_clock.now();
        dbf::DbfTable::BulkChange bulk(*t);
        for (uint32_t recno : m_written) {
            t->goTo(recno);
            marked += !t->getL(Field::TAGGED);
            stampPlayed(*t, now, result.playerStarted, true);
        }
    }
    t->flush();
    if (lDelMark) {
        // The table window's own routine when it shows the table, so that its buttons follow.
        if (m_shell.hooks.DELMARKED && m_shell.state.LTAB_OPEN) {
            m_shell.hooks.DELMARKED();
        } else {
            table::TablePanelState panel;
            table::Marking(t, m_shell.state, ui, panel, m_clock).DELMARKED();
        }
        marked = 0;
    }
    t->goTo(wasEof ? t->lastRec() + 1 : saved);
    showMarks(marked);
    ui.setWaitCursor(false);
    if (result.leftOut > 0) {
        ui.info("Playliste", std::to_string(result.tracks) + " Titel in die Playliste geschrieben, " +
                                 std::to_string(result.leftOut) +
                                 " Titel ausgelassen: ihr Pfad enth\xE4lt einen Zeilenumbruch.");
    }
    return result;
}

PlaylistResult PlaylistExport::M3UEXSINGLE() {
    KLANGO_ROUTINE("M3UEXSINGLE");
    PlaylistResult result;
    dbf::DbfTable* t = table();
    if (!t || t->eof() || t->isDeleted()) return result;
    ui::Ui& ui = *m_shell.ui;
    if (m_shell.state.CS_AMPPATH.empty()) {
        ui.warning(kProblem, "Es ist kein MP3-Player eingestellt.");
        return result;
    }
    const uint32_t recno = t->recNo();
    result.file = playlistPath(shell::kPlaylistFile);
    std::error_code ec;
    const bool existed = fs::exists(result.file, ec);
    if (!writePlaylist(*t, {recno}, result)) return result;
    result.playerStarted = startPlayer(existed && m_shell.state.settings().on(keys::kAddPList), result.file);
    t->goTo(recno);
    const bool wasMarked = t->getL(Field::TAGGED);
    stampPlayed(*t, m_clock.now(), result.playerStarted, false);
    t->flush();
    // Only a mark taken away changes the count.
    if (wasMarked) showMarks(shell::NUMTAGGED(*t, false, m_shell.state));
    return result;
}

bool PlaylistExport::writePlaylist(dbf::DbfTable& table, const std::vector<uint32_t>& records,
                                   PlaylistResult& result) {
    m_written.clear();
    m_written.reserve(records.size());
    std::vector<std::string_view> paths;
    paths.reserve(records.size());
    const int pathField = table.fieldPos("PATH");
    for (uint32_t recno : records) {
        const std::string_view path = base::trimRight(table.view(recno).raw(pathField));
        if (holdsLineBreak(path)) {
            ++result.leftOut;
            continue;
        }
        paths.push_back(path);
        m_written.push_back(recno);
    }
    if (paths.empty() && result.leftOut > 0) {
        // Nothing to play: an older playlist of that name stays as it is.
        m_shell.ui->warning(kProblem,
                            records.size() == 1
                                ? std::string("Der Pfad dieses Titels enth\xE4lt einen Zeilenumbruch; er kann nicht "
                                              "abgespielt werden.")
                                : "Die Pfade aller " + std::to_string(records.size()) +
                                      " Titel enthalten einen Zeilenumbruch; die Playliste wurde nicht geschrieben.\n"
                                      "Es wurde nichts ge\xE4ndert.");
        return false;
    }
    const std::string bytes = platform::playlistBytes(paths);

    // Written beside the target and renamed over it, so the file is the old one or the whole new one.
    fs::path temp = result.file;
    temp += ".tmp~";
    std::error_code ec;
    bool ok = false;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(bytes.data(), std::streamsize(bytes.size()));
            out.close();
            ok = bool(out);
        }
    }
    if (ok) {
        fs::rename(temp, result.file, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
        m_written.clear();
        m_shell.ui->warning(kProblem, "Die Playliste '" + base::utf8ToCp1252(result.file.string()) +
                                          "' konnte nicht geschrieben werden.\nEs wurde nichts ge\xE4ndert.");
        return false;
    }
    result.written = true;
    result.tracks = paths.size();
    return true;
}

// The folder and the name are joined with exactly one separator; the name is found case-blind.
fs::path PlaylistExport::playlistPath(const std::string& name) const {
    const std::string utf8 = base::cp1252ToUtf8(name);
    if (!m_folder.empty()) return platform::resolveCaseBlind(m_folder, utf8);
    return shell::playlistFile(m_shell.state, utf8.c_str());
}

bool PlaylistExport::startPlayer(bool append, const fs::path& playlist) {
    const std::string& setting = m_shell.state.CS_AMPPATH;
    ui::Ui& ui = *m_shell.ui;
    if (base::trim(setting).empty()) {
        ui.warning(kProblem, "Es ist kein MP3-Player eingestellt; die Playliste wurde geschrieben, aber nicht abgespielt.");
        return false;
    }
    const std::optional<platform::ProgramCall> call = shell::playerCall(setting, append, playlist.string());
    if (!call || !m_starter(*call)) {
        ui.warning(kProblem, "Der MP3-Player konnte nicht gestartet werden:\n" + setting);
        return false;
    }
    return true;
}

void PlaylistExport::stampPlayed(dbf::DbfTable& table, const platform::LocalTime& now, bool played, bool tagged) {
    if (played) table.putN(Field::PLAYED, table.getN(Field::PLAYED) + 1);
    table.putD(Field::PLAYDATE, now.date);
    table.putC(Field::PLAYTIME, twoDigits(now.hour) + ":" + twoDigits(now.minute));
    table.putL(Field::TAGGED, tagged);
}

// The message bar's mark count and the menu follow the marks.
void PlaylistExport::showMarks(long tagged) {
    m_shell.state.LTAB_TAGG = tagged > 0;
    m_shell.ui->setMessageItem(ui::MessageItem::Tagged, "Markiert: " + std::to_string(tagged));
    shell::RXSETMENU(m_shell);
}

}  // namespace klango::output
