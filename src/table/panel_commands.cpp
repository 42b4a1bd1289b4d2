#include "table/panel_commands.h"

namespace klango::table {

namespace {

using C = PanelCommand;

BarButton button(const char* picture, const char* text, C command, bool groupStart = false,
                 const char* disabledPicture = nullptr) {
    return {picture, disabledPicture, text, text, command, 0, groupStart};
}

}  // namespace

const std::vector<BarButton>& barButtons() {
    static const std::vector<BarButton> buttons = [] {
        std::vector<BarButton> b{
            button("NEWFILEK", "Neue Datei erzeugen", C::NewFile),
            button("OPENFILEK", "Datenbank \xF6" "ffnen", C::OpenFile),
            button("SAVEASK", "Speichern als", C::SaveAs),
            button("MARKALLK", "Alle Titel markieren", C::MarkAllOrNone, true),
            button("MARKIERENK", "Diesen Titel markieren", C::ToggleMark),
            button("PLAYLISTK", "Playliste erzeugen", C::Playlist, false, "PLAYLISTOFFK"),
            button("MAKECOPY", "Datenkopie erstellen", C::DataCopy, true),
            button("STATIST", "Statistik anzeigen", C::Statistics),
        };
        static const char* const gotoTexts[] = {"Gehe zu 'A'", "Gehe zu 'D'", "Gehe zu 'G'",
                                                "Gehe zu 'J'", "Gehe zu 'M'", "Gehe zu 'P'",
                                                "Gehe zu 'S'", "Gehe zu 'V'", "Gehe zu 'Y'"};
        static const char* const gotoPictures[] = {"GOTOAK", "GOTODK", "GOTOGK", "GOTOJK", "GOTOMK",
                                                   "GOTOPK", "GOTOSK", "GOTOVK", "GOTOYK"};
        const char letters[] = "ADGJMPSVY";
        for (int i = 0; i < 9; ++i) {
            b.push_back({gotoPictures[i], nullptr, gotoTexts[i], gotoTexts[i], C::GotoLetter, letters[i], i == 0});
        }
        b.push_back(button("SUCHENK", "Titel suchen", C::Search, true));
        b.push_back(button("FILTERONK", "Filter setzen", C::SetFilter));
        b.push_back(button("FILTEROFFK", "Filter l\xF6schen", C::KillFilter, false, "FILTEROFFOFFK"));
        b.push_back({"SETUPK", nullptr, "Einstellungen", "Einstellungen vornehmen", C::Settings, 0, true});
        b.push_back(button("HILFEK", "Hilfe anzeigen", C::Help, true));
        b.push_back(button("ENDEK", "Programm verlassen", C::Quit));
        return b;
    }();
    return buttons;
}

MarkAllLook markAllButton(bool tagged) {
    if (tagged) return {"UNMARKALLK", "Alle Markierungen entfernen"};
    return {"MARKALLK", "Alle Titel markieren"};
}

const std::vector<ContextEntry>& contextEntries() {
    static const std::vector<ContextEntry> entries{
        {"Diesen Titel (De-)&Markieren", "Einzelnen Song (De-)Markieren", C::ToggleMark, true, false},
        {"&Alle Titel markieren", "Alle Songs markieren", C::MarkAll, true, false},
        {"Alle Markierungen a&ufheben", "Alle Songs Demarkieren", C::UnmarkAll, true, false},
        {"Markierung &beginnt hier", "Ab hier markieren", C::RangeStart, true, true},
        {"Markierung &endet hier", "Bis hier markieren", C::RangeEnd, true, false},
        {"&Editieren", "Datensatz editieren", C::Edit, false, true},
        {"Diesen Titel &abspielen", "Diesen Titel abspielen", C::Play, false, false},
        {"&L\xF6schen", "Datensatz l\xF6schen", C::Delete, false, false},
        {"&Playliste erzeugen", "Erzeuge M3U-Datei", C::Playlist, false, true},
        {"&Filter setzen", "Daten filtern", C::SetFilter, false, true},
        {"Filter a&ufheben", "Alle Daten anzeigen", C::ShowAll, false, false},
        {"Titel &suchen", "Songtitel suchen", C::Search, false, true},
    };
    return entries;
}

}  // namespace klango::table
