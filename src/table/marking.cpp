#include "table/marking.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "table/panel_commands.h"
#include "table/table_panel_state.h"
#include "ui/ui.h"

namespace klango::table {

namespace {

// The number at the start of a time text the way the old runtime's Val reads it: leading blanks
// skipped, digits up to the first other character; none gives 0.
int hourOf(std::string_view time) {
    std::string_view t = base::trimLeft(time.substr(0, std::min<size_t>(2, time.size())));
    int hour = 0;
    for (char c : t) {
        if (c < '0' || c > '9') break;
        hour = hour * 10 + (c - '0');
    }
    return hour;
}

// The shown records from the current one on, at most count of them (all when count is 0), in
// the current order. Collected before anything is changed, so that a change that moves a record
// out of the view (an order whose condition reads TAGGED) cannot derail the walk.
std::vector<uint32_t> shownFromHere(dbf::DbfTable& table, size_t count) {
    std::vector<uint32_t> records;
    for (; !table.eof() && (count == 0 || records.size() < count); table.skip(1)) {
        records.push_back(table.recNo());
    }
    return records;
}

}  // namespace

bool playedToday(const base::Date& playDate, const platform::LocalTime& now) {
    return !playDate.isEmpty() && playDate == now.date;
}

bool playedWithinTwoHours(const base::Date& playDate, std::string_view playTime, const platform::LocalTime& now) {
    return playedToday(playDate, now) && now.hour - hourOf(playTime) <= 2;
}

Marking::Marking(dbf::DbfTable* table, shell::AppState& state, ui::Ui& ui, TablePanelState& panel,
                 const platform::Clock& clock)
    : m_table(table), m_state(state), m_ui(ui), m_panel(panel), m_clock(clock) {
    if (m_table && m_table->isOpen()) {
        m_tagged = m_table->fieldPos("TAGGED");
        m_import = m_table->fieldPos("IMPORT");
        m_path = m_table->fieldPos("PATH");
        m_playDate = m_table->fieldPos("PLAYDATE");
        m_playTime = m_table->fieldPos("PLAYTIME");
    }
}

bool Marking::tableOpen() const {
    return m_state.LTAB_OPEN && m_table && m_table->isOpen() && m_tagged >= 0;
}

bool Marking::goToShown(uint32_t recno) {
    m_table->goTo(recno);
    return !m_table->eof() && m_table->keyNo() > 0;
}

bool Marking::marked() const { return m_table->getL(m_tagged); }

bool Marking::warnsOnMark() const {
    if (m_playDate < 0) return false;
    const platform::LocalTime now = m_clock.now();
    const base::Date playDate = m_table->getD(m_playDate);
    const std::string playTime = m_playTime >= 0 ? m_table->getC(m_playTime) : std::string();
    return (!m_state.LS_MARKDATE && playedToday(playDate, now)) ||
           (!m_state.LS_MARKHOUR && playedWithinTwoHours(playDate, playTime, now));
}

void Marking::setMark(bool on) {
    m_table->putL(m_tagged, on);
    if (on && m_import >= 0) m_table->putN(m_import, 0);
}

void Marking::showTagged(long count) {
    m_ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: " + std::to_string(count));
}

void Marking::followUp() {
    showTagged(shell::NUMTAGGED(*m_table, false, m_state));
    m_panel.playlistEnabled = m_state.LTAB_TAGG;
    showMarkAllLook(m_state.LTAB_TAGG);
}

void Marking::showMarkAllLook(bool tagged) {
    const MarkAllLook look = markAllButton(tagged);
    m_panel.markAllPicture = look.picture;
    m_panel.markAllText = look.text;
}

bool Marking::MP3TAGGIT(uint32_t nRec) {
    KLANGO_ROUTINE("MP3TAGGIT");
    if (!tableOpen() || !goToShown(nRec)) return false;
    if (!marked()) {
        if (!m_state.LS_MARKDATE && m_playDate >= 0 && playedToday(m_table->getD(m_playDate), m_clock.now())) {
            if (!m_ui.yesNo("Problem", "Dieser Titel wurde heute bereits gespielt, trotzdem markieren?")) return false;
        }
        if (!m_state.LS_MARKHOUR && m_playDate >= 0 &&
            playedWithinTwoHours(m_table->getD(m_playDate), m_playTime >= 0 ? m_table->getC(m_playTime) : "",
                                 m_clock.now())) {
            if (!m_ui.yesNo("Problem", "Dieser Titel wurde in den letzten 2 Stunden bereits gespielt, trotzdem markieren?"))
                return false;
        }
        setMark(true);
    } else {
        setMark(false);
    }
    followUp();
    return true;
}

bool Marking::MP3TAGMORE(uint32_t nRecFrom, uint32_t nRecTo) {
    KLANGO_ROUTINE("MP3TAGMORE");
    if (!tableOpen() || !goToShown(nRecTo)) return false;
    const uint32_t posTo = m_table->keyNo();
    uint32_t posFrom = posTo;
    uint32_t first = nRecTo;
    if (nRecFrom != nRecTo && goToShown(nRecFrom)) {
        posFrom = m_table->keyNo();
        if (posFrom < posTo) first = nRecFrom;
    }
    const size_t count = size_t(posFrom > posTo ? posFrom - posTo : posTo - posFrom) + 1;
    m_table->goTo(first);
    dbf::DbfTable::BulkChange bulk(*m_table);
    for (uint32_t recno : shownFromHere(*m_table, count)) {
        m_table->goTo(recno);
        if (marked()) {
            setMark(false);
        } else if (!warnsOnMark()) {
            setMark(true);
        }
    }
    m_table->goTo(nRecTo);
    followUp();
    return true;
}

void Marking::MARKALL() {
    KLANGO_ROUTINE("MARKALL");
    if (!tableOpen()) return;
    const bool wasEof = m_table->eof();
    const uint32_t saved = m_table->recNo();
    m_ui.setWaitCursor(true);
    m_table->goTop();
    {
        dbf::DbfTable::BulkChange bulk(*m_table);
        for (uint32_t recno : shownFromHere(*m_table, 0)) {
            m_table->goTo(recno);
            m_table->putL(m_tagged, true);
        }
    }
    // The flag comes from the count, so that an empty view does not claim marks.
    showTagged(shell::NUMTAGGED(*m_table, true, m_state));
    m_panel.playlistEnabled = m_state.LTAB_TAGG;
    if (m_state.LTAB_TAGG) showMarkAllLook(true);
    m_table->goTo(wasEof ? m_table->lastRec() + 1 : saved);
    m_ui.setWaitCursor(false);
}

void Marking::DELMARKED() {
    KLANGO_ROUTINE("DELMARKED");
    if (!tableOpen()) return;
    const bool wasEof = m_table->eof();
    const uint32_t saved = m_table->recNo();
    m_table->goTop();
    {
        dbf::DbfTable::BulkChange bulk(*m_table);
        for (uint32_t recno : shownFromHere(*m_table, 0)) {
            m_table->goTo(recno);
            m_table->putL(m_tagged, false);
            if (m_import >= 0) m_table->putN(m_import, 0);
        }
    }
    showMarkAllLook(false);
    showTagged(shell::NUMTAGGED(*m_table, true, m_state));
    // Marks outside a filter stay, so the playlist button follows what is left.
    m_panel.playlistEnabled = m_state.LTAB_TAGG;
    m_table->goTo(wasEof ? m_table->lastRec() + 1 : saved);
}

bool Marking::deleteTrackFile(std::string& path) const {
    path = m_path >= 0 ? std::string(base::trimRight(m_table->getC(m_path))) : std::string();
    if (path.empty()) return false;
    const std::filesystem::path file(base::cp1252ToUtf8(path));
    std::error_code ec;
    // Only a plain file (or a link to one) is a track file; a folder named by a damaged
    // record must never be removed.
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    return std::filesystem::remove(file, ec) && !ec;
}

std::string Marking::trackName() const {
    auto text = [&](const char* name) {
        const int pos = m_table->fieldPos(name);
        return pos >= 0 ? std::string(base::trim(m_table->getC(pos))) : std::string();
    };
    const std::string group = text("GROUP");
    const std::string title = text("TITLE");
    if (group.empty() || title.empty()) return group + title;
    return group + " - " + title;
}

bool Marking::MP3DELETE() {
    KLANGO_ROUTINE("MP3DELETE");
    if (!tableOpen()) return false;
    const uint32_t recno = m_table->recNo();
    if (!goToShown(recno)) return false;
    if (!m_ui.yesNo("L\xF6schen", "Wollen Sie diesen Titel l\xF6schen ?\r" + trackName())) return false;
    const std::string path = m_path >= 0 ? std::string(base::trimRight(m_table->getC(m_path))) : std::string();
    if (m_ui.yesNo("L\xF6schen", "Soll die MP3-Datei auch gel\xF6scht werden ?\r" + path)) {
        std::string failed;
        if (!deleteTrackFile(failed) &&
            !m_ui.yesNo("Problem", "Die Datei " + failed + " konnte nicht gel\xF6scht werden !\r" +
                                       "Den Eintrag trotzdem aus der Datenbank entfernen ?")) {
            return false;
        }
    }
    // The record before it in the order, found while the record is still in the order.
    m_table->skip(-1);
    const uint32_t previous = m_table->bof() ? 0 : m_table->recNo();
    m_table->goTo(recno);
    m_table->deleteRecord();
    if (previous != 0) {
        m_table->goTo(previous);
    } else {
        m_table->goTop();
    }
    followUp();
    shell::showRecordCount(m_ui, m_table);
    return true;
}

bool Marking::MP3TDELETE() {
    KLANGO_ROUTINE("MP3TDELETE");
    if (!tableOpen()) return false;
    const bool wasEof = m_table->eof();
    const uint32_t current = wasEof ? 0 : m_table->recNo();
    m_table->goTop();
    const std::vector<uint32_t> shown = shownFromHere(*m_table, 0);
    std::vector<bool> isDoomed(size_t(m_table->lastRec()) + 1, false);
    std::vector<uint32_t> doomed;
    for (uint32_t recno : shown) {
        m_table->goTo(recno);
        if (marked()) {
            doomed.push_back(recno);
            isDoomed[recno] = true;
        }
    }
    m_table->goTo(wasEof ? m_table->lastRec() + 1 : current);
    if (doomed.empty()) return false;

    // Where the grid stands afterwards: the current record when it stays, else the first record
    // after it in the order that stays, else the last one that stays.
    uint32_t after = 0;
    auto from = std::find(shown.begin(), shown.end(), current);
    for (auto it = from; it != shown.end() && after == 0; ++it) {
        if (!isDoomed[*it]) after = *it;
    }
    for (auto it = shown.rbegin(); it != shown.rend() && after == 0; ++it) {
        if (!isDoomed[*it]) after = *it;
    }

    const std::string n = std::to_string(doomed.size());
    const bool one = doomed.size() == 1;
    if (!m_ui.yesNo("L\xF6schen", "Wollen Sie alle markierten Titel l\xF6schen ?\r" + n +
                                      (one ? " markierter Titel" : " markierte Titel"))) {
        return false;
    }
    const bool withFiles = m_ui.yesNo("L\xF6schen", "Sollen die MP3-Dateien auch gel\xF6scht werden ?\r" + n +
                                                        (one ? " MP3-Datei" : " MP3-Dateien"));
    m_ui.setWaitCursor(true);
    std::vector<std::string> kept;
    {
        dbf::DbfTable::BulkChange bulk(*m_table);
        for (uint32_t recno : doomed) {
            m_table->goTo(recno);
            std::string path;
            if (withFiles && !deleteTrackFile(path)) kept.push_back(path);
            m_table->deleteRecord();
        }
    }
    followUp();
    if (after != 0) {
        m_table->goTo(after);
    } else {
        m_table->goTop();
    }
    shell::showRecordCount(m_ui, m_table);
    m_ui.setWaitCursor(false);
    if (!kept.empty()) {
        std::string text = kept.size() == 1
                               ? "Die Datei " + kept.front() + " konnte nicht gel\xF6scht werden !"
                               : std::to_string(kept.size()) + " MP3-Dateien konnten nicht gel\xF6scht werden, darunter\r" +
                                     kept.front();
        m_ui.warning("Problem", text + "\rDie Eintr\xE4ge wurden aus der Datenbank entfernt.");
    }
    return true;
}

}  // namespace klango::table
