// The export dialog " Playliste erzeugen": which tracks go into the playlist, what happens to
// them, append or new playlist, and the file name. Holds the values while the dialog is open;
// choosing "&An Playliste anfügen" switches the removal of the marks on. Made and read by
// PlaylistExport::M3UEXPORT; Qt view: gui/playlist_export_view.
#pragma once

#include <string>

#include "ui/dialog_model.h"

namespace klango::output {

class PlaylistExportModel : public ui::DialogModel {
public:
    static constexpr size_t kNameWidth = 40;
    static constexpr const char* kTaggedText = "Nur markierte &Datens\xE4tze abspielen.";
    static constexpr const char* kPlayNowText = "Den &Inhalt der Playliste sofort abspielen.";
    static constexpr const char* kDelMarkText = "Alle &Markierungen nach dem Export entfernen.";
    static constexpr const char* kGroupLabel = "Ausgew\xE4hlte Titel";
    static constexpr const char* kAppendText = "&An Playliste anf\xFCgen";
    static constexpr const char* kNewText = "&Neue Playliste erzeugen";
    static constexpr const char* kNameLabel = "M3U-Dateiname";

    struct Values {
        bool tagged = true;
        bool playNow = true;
        bool delMark = true;
        bool append = false;
        std::string fileName;  // with ".M3U"
    };
    // values.append: the choice it starts on (the file exists and the player can add to its list).
    explicit PlaylistExportModel(Values values);

    std::string title() const override { return " Playliste erzeugen"; }
    std::string helpTopic() const override { return "Playliste erzeugen"; }

    const Values& values() const { return m_values; }
    // The name as the edit field shows it: padded with blanks to 40 characters.
    std::string fieldText() const;
    void setTagged(bool on);
    void setPlayNow(bool on);
    void setDelMark(bool on);
    void setAppend(bool on);  // on switches DelMark on as well
    // What the user typed: letters a to z become capitals, at most 40 characters are kept.
    void setFileName(const std::string& text);
    // The name as the export takes it: trimmed of blanks on both sides.
    std::string trimmedName() const;

    void accept();  // "&Weiter"
    void cancel();  // "&Ende" or closing the dialog
    bool accepted() const { return m_accepted; }

private:
    Values m_values;
    bool m_accepted = false;
};

// ".M3U" appended unless the name's last four characters are exactly ".M3U".
std::string withM3uExtension(const std::string& name);

}  // namespace klango::output
