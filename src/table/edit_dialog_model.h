// EditDialogModel: the track edit dialog "Datensatz editieren": copies of fourteen fields of one
// track record, their input rules and colours, and the three buttons. Owns only the copies; the
// record is written when the user has saved and the caller calls commit(). Used by the edit
// command and its Qt view.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "shell/app_state.h"
#include "trackdb/track_record.h"
#include "ui/color_string.h"
#include "ui/dialog_model.h"

namespace klango::dbf {
class DbfTable;
}

namespace klango::ui {
class Ui;
}

namespace klango::table {

// What a field of the dialog accepts.
enum class EditInput {
    Text,    // any text up to the field's width
    Digits,  // digits only, up to the field's places
    Shown,   // shown only, never changed
};

struct EditFieldDef {
    const char* label;
    const char* hint;  // empty: none
    trackdb::track::Field field;
    EditInput input;
    int places;  // characters the field takes
    int width;   // width in layout units
    bool centred;
    bool firstKeyReplaces;  // the first key typed after entering the field replaces the text
};

class EditDialogModel : public ui::DialogModel {
  public:
    static constexpr int kWidth = 433;
    static constexpr int kHeight = 295;
    static constexpr int kFieldCount = 14;
    // Positions in fields(), in the dialog's order; the editable ones come first, in tab order.
    enum Slot : int {
        Group,
        Album,
        Title,
        Genre,
        Time,
        Year,
        Track,
        Info,
        Range,
        Played,
        PlayDate,
        PlayTime,
        DiscName,
        Path
    };

    struct Button {
        const char* caption;
        const char* toolTip;
    };

    static const std::array<EditFieldDef, kFieldCount>& fields();
    static const std::array<Button, 3>& buttons();  // "&Speichern", "&Hilfe", "&Beenden"

    // Takes copies of the fields of record recno of table (the record the user picked, whatever
    // the table's record pointer). A record that is missing or deleted leaves the model empty and
    // not loaded(); saving it then writes nothing. Refused values are told through ui when given.
    EditDialogModel(dbf::DbfTable& table, uint32_t recno, const shell::AppState& state, ui::Ui* ui = nullptr);

    std::string title() const override { return "Datensatz editieren"; }
    std::string helpTopic() const override { return "Datensatz editieren"; }
    std::string icon() const { return "EDITRECO"; }
    std::string colors() const { return "N/W"; }
    const shell::FontDescription& font() const { return m_font; }

    bool loaded() const { return m_loaded; }
    uint32_t recordNumber() const { return m_recno; }

    // The text a field shows (CP1252, trailing blanks dropped).
    const std::string& value(int slot) const { return m_values.at(size_t(slot)); }
    bool editable(int slot) const { return fields().at(size_t(slot)).input != EditInput::Shown; }
    // Field colours (NCOLF on NCOLB for editable, NCOLF on NCOLBH for shown-only fields);
    // labels are black on white.
    ui::ColorPair fieldColors(int slot) const;
    static ui::ColorPair labelColors() { return {{0, 0, 0}, {255, 255, 255}}; }

    // Input, as the view forwards it. enterField() is called when a field gets the focus: with
    // the "first key replaces" rule its next typed key replaces the whole text. typeText() is
    // what the user typed; characters the field does not accept (a letter in a number field,
    // anything past its places) are dropped. setText() is the whole text after any other edit
    // (erasing, pasting, typing at the cursor); it is refused unchanged when the field does not
    // accept it. Both return whether they were accepted; shown-only fields accept nothing.
    // "Benotung" holds one digit: more than one typed at once is refused with a message.
    void enterField(int slot);
    bool replacePending(int slot) const { return m_replaceNext.at(size_t(slot)); }
    bool typeText(int slot, std::string_view typed);
    bool setText(int slot, std::string_view text);

    // Buttons. save() checks the changed values ("Laufzeit" m:ss or empty, "V\xD6-Jahr" four
    // digits or 0, "Benotung" 0 to 9): a value that breaks its rule is refused with a message
    // naming the field, and the dialog stays open with the values typed, nothing saved. Otherwise
    // save() remembers that the user saved and closes; quit() (also the close box and Escape)
    // closes without saving; help() hands the topic to onHelp, set by the view.
    void save();
    // The message of the last refusal; empty when none.
    const std::string& refusal() const { return m_refusal; }
    void quit();
    void help() const;
    std::function<void(const std::string& topic)> onHelp;
    bool saved() const { return m_saved; }

    // After the dialog has closed with save(): writes ALBUM, GROUP, TITLE, GENRE, YEAR, TIME,
    // TRACK, PLAYED, PLAYDATE, PLAYTIME, INFO and RANGE to the record and flushes it, so that the
    // attached orders place it by its new keys; the record is left current. Fields the user did
    // not change keep their stored bytes. False (nothing written) without a save or a record.
    bool commit();

  private:
    bool accepts(int slot, std::string_view text) const;
    void refuse(std::string message);

    ui::Ui* m_ui;
    std::string m_refusal;
    dbf::DbfTable& m_table;
    uint32_t m_recno;
    bool m_loaded = false;
    bool m_saved = false;
    shell::FontDescription m_font;
    ui::Rgb m_foreground;
    ui::Rgb m_background;
    ui::Rgb m_backgroundShown;
    std::array<std::string, kFieldCount> m_values;
    std::array<std::string, kFieldCount> m_loadedValues;
    std::array<bool, kFieldCount> m_replaceNext{};
};

}  // namespace klango::table
