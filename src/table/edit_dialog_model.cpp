#include "table/edit_dialog_model.h"

#include <algorithm>

#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "base/text_format.h"
#include "ui/ui.h"

namespace klango::table {

namespace {

namespace t = trackdb::track;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The fields whose values go back to the record on save; DISCNAME and PATH are never written.
constexpr std::array<int, 12> kWrittenSlots = {
    EditDialogModel::Album,    EditDialogModel::Group,    EditDialogModel::Title, EditDialogModel::Genre,
    EditDialogModel::Year,     EditDialogModel::Time,     EditDialogModel::Track, EditDialogModel::Played,
    EditDialogModel::PlayDate, EditDialogModel::PlayTime, EditDialogModel::Info,  EditDialogModel::Range,
};

// Play time as m:ss or mm:ss, seconds below 60; empty for none.
bool validTime(std::string_view text) {
    if (text.empty()) return true;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3) return false;
    std::string_view minutes = text.substr(0, colon);
    std::string_view seconds = text.substr(colon + 1);
    return std::all_of(minutes.begin(), minutes.end(), isDigit) && isDigit(seconds[0]) && isDigit(seconds[1]) &&
           seconds[0] <= '5';
}

// A year of four digits, or 0 (empty) for none.
bool validYear(std::string_view text) {
    if (!std::all_of(text.begin(), text.end(), isDigit)) return false;
    const long long year = base::leadingNumber(text);
    return year == 0 || (text.size() == 4 && year >= 1000);
}

bool validRange(std::string_view text) { return text.size() <= 1 && std::all_of(text.begin(), text.end(), isDigit); }

constexpr const char* kTimeRefused = "Die Laufzeit muss die Form m:ss haben (z. B. 3:05) oder leer sein.";
constexpr const char* kYearRefused = "Das V\xD6-Jahr muss vier Ziffern haben (z. B. 1987) oder 0 sein.";
constexpr const char* kRangeRefused = "Die Benotung muss eine Ziffer von 0 bis 9 sein.";

}  // namespace

const std::array<EditFieldDef, EditDialogModel::kFieldCount>& EditDialogModel::fields() {
    static const std::array<EditFieldDef, kFieldCount> kFields = {{
        {"Interpret", "", t::GROUP, EditInput::Text, 40, 170, false, true},
        {"Album", "", t::ALBUM, EditInput::Text, 40, 170, false, true},
        {"Songtitel", "", t::TITLE, EditInput::Text, 40, 170, false, true},
        {"Genre", "", t::GENRE, EditInput::Text, 20, 70, false, true},
        {"Laufzeit", "mm:ss", t::TIME, EditInput::Text, 5, 25, true, true},
        {"V\xD6-Jahr", "", t::YEAR, EditInput::Digits, 4, 25, true, true},
        {"Titel-Nr.", "", t::TRACK, EditInput::Digits, 2, 25, true, true},
        {"Infotext", "", t::INFO, EditInput::Text, 40, 170, false, true},
        {"Benotung", "( 0...9 )", t::RANGE, EditInput::Digits, 1, 20, true, false},
        {"gespielt", "mal", t::PLAYED, EditInput::Shown, 5, 20, false, false},
        {"zuletzt am", "TT.MM.JJ", t::PLAYDATE, EditInput::Shown, 10, 35, false, false},
        {"um", "(hh:mm)", t::PLAYTIME, EditInput::Shown, 5, 25, false, false},
        {"Diskname", "", t::DISCNAME, EditInput::Shown, 50, 50, false, false},
        {"Pfad", "", t::PATH, EditInput::Shown, 250, 170, false, false},
    }};
    return kFields;
}

const std::array<EditDialogModel::Button, 3>& EditDialogModel::buttons() {
    static const std::array<Button, 3> kButtons = {{
        {"&Speichern", "Daten speichern"},
        {"&Hilfe", "Hilfe anzeigen"},
        {"&Beenden", "Dialog beenden"},
    }};
    return kButtons;
}

EditDialogModel::EditDialogModel(dbf::DbfTable& table, uint32_t recno, const shell::AppState& state, ui::Ui* ui)
    : m_ui(ui),
      m_table(table),
      m_recno(recno),
      m_foreground(ui::rgbFromNumber(state.NCOLF)),
      m_background(ui::rgbFromNumber(state.NCOLB)),
      m_backgroundShown(ui::rgbFromNumber(state.NCOLBH)) {
    // The record the user picked is read without moving the table's record pointer, so that the
    // grid's position stays as it is when the dialog is left without saving.
    if (recno < 1 || recno > table.lastRec() || table.fieldCount() != t::kFieldCount) return;
    dbf::RecordView record = table.view(recno);
    if (record.isDeleted()) return;
    for (int slot = 0; slot < kFieldCount; ++slot) {
        const EditFieldDef& def = fields()[size_t(slot)];
        std::string_view raw = record.raw(def.field);
        if (def.field == t::PLAYDATE) {
            m_values[size_t(slot)] = base::Date::fromDbf(raw).toDisplay();
        } else if (table.structure()[size_t(def.field)].type == dbf::FieldType::kNumeric) {
            m_values[size_t(slot)] = std::string(base::trim(raw));
        } else {
            m_values[size_t(slot)] = std::string(base::trimRight(raw));
        }
    }
    m_loadedValues = m_values;
    m_loaded = true;
}

ui::ColorPair EditDialogModel::fieldColors(int slot) const {
    return {m_foreground, editable(slot) ? m_background : m_backgroundShown};
}

bool EditDialogModel::accepts(int slot, std::string_view text) const {
    const EditFieldDef& def = fields().at(size_t(slot));
    if (def.input == EditInput::Shown || !m_loaded) return false;
    if (text.size() > size_t(def.places)) return false;
    if (def.input == EditInput::Digits) return std::all_of(text.begin(), text.end(), isDigit);
    return true;
}

void EditDialogModel::enterField(int slot) {
    const EditFieldDef& def = fields().at(size_t(slot));
    m_replaceNext[size_t(slot)] = def.firstKeyReplaces && editable(slot) && m_loaded;
}

bool EditDialogModel::typeText(int slot, std::string_view typed) {
    const EditFieldDef& def = fields().at(size_t(slot));
    if (def.input == EditInput::Shown || !m_loaded) return false;
    std::string accepted;
    for (char c : typed) {
        if (def.input == EditInput::Digits && !isDigit(c)) continue;
        accepted += c;
    }
    // A key the field refuses changes nothing, not even the pending replacement.
    if (accepted.empty()) return false;
    if (slot == Range && accepted.size() > 1) {
        refuse(kRangeRefused);
        return false;
    }

    std::string& value = m_values[size_t(slot)];
    const size_t places = size_t(def.places);
    if (m_replaceNext[size_t(slot)]) {
        value = accepted.substr(0, places);
        m_replaceNext[size_t(slot)] = false;
    } else if (places == 1) {
        // A one-place field holds the digit typed last, as a one-character entry overwrites.
        value = accepted.substr(accepted.size() - 1);
    } else {
        if (value.size() >= places) return false;
        value += accepted.substr(0, places - value.size());
    }
    changed();
    return true;
}

bool EditDialogModel::setText(int slot, std::string_view text) {
    if (!accepts(slot, text)) {
        if (slot == Range && m_loaded) refuse(kRangeRefused);
        return false;
    }
    m_values[size_t(slot)] = std::string(text);
    m_replaceNext[size_t(slot)] = false;
    changed();
    return true;
}

void EditDialogModel::refuse(std::string message) {
    m_refusal = std::move(message);
    if (m_ui) m_ui->warning("Problem", m_refusal);
}

void EditDialogModel::save() {
    // Values the user left as they were are kept as stored, whatever they hold.
    auto changedAndInvalid = [&](int slot, bool (*valid)(std::string_view)) {
        const std::string& value = m_values[size_t(slot)];
        return value != m_loadedValues[size_t(slot)] && !valid(value);
    };
    if (changedAndInvalid(Time, validTime)) return refuse(kTimeRefused);
    if (changedAndInvalid(Year, validYear)) return refuse(kYearRefused);
    if (changedAndInvalid(Range, validRange)) return refuse(kRangeRefused);
    m_refusal.clear();
    m_saved = true;
    requestClose();
}

void EditDialogModel::quit() { requestClose(); }

void EditDialogModel::help() const {
    if (onHelp) onHelp(helpTopic());
}

bool EditDialogModel::commit() {
    if (!m_saved || !m_loaded) return false;
    // The record may have gone since the dialog opened (deleted, table packed); then nothing is
    // written rather than writing onto another record.
    if (m_recno > m_table.lastRec()) return false;
    m_table.goTo(m_recno);
    if (m_table.isDeleted()) return false;
    for (int slot : kWrittenSlots) {
        const std::string& value = m_values[size_t(slot)];
        // An unchanged value keeps its stored bytes: the shown-only play data go back exactly.
        if (value == m_loadedValues[size_t(slot)]) continue;
        const EditFieldDef& def = fields()[size_t(slot)];
        if (def.input == EditInput::Digits) {
            m_table.putN(def.field, double(base::leadingNumber(value)));
        } else {
            m_table.putC(def.field, value);
        }
    }
    m_table.flush();
    return true;
}

}  // namespace klango::table
