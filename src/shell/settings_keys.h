// The settings file's key table: every section and key of KLANGO.INI with its default.
// Each default is written here and nowhere else; every reader names its key by these constants
// and reads it through Settings. The table is data only; anyone may use it.
#pragma once

#include <span>

namespace klango::shell {

struct SettingKey {
    const char* section;
    const char* key;
    const char* defaultValue;  // what a missing key reads as
};

namespace keys {

// Project: program name and version (the title), optional Help-menu items, the program folder.
inline constexpr SettingKey kProgram{"Project", "Program", "Klango"};
inline constexpr SettingKey kVersion{"Project", "Version", "v1.50.17"};
inline constexpr SettingKey kEmailMenue{"Project", "Email_Menue", ""};
inline constexpr SettingKey kEmailUrl{"Project", "Email_URL", ""};
inline constexpr SettingKey kInternetMenue{"Project", "Internet_Menue", ""};
inline constexpr SettingKey kInternetUrl{"Project", "Internet_URL", ""};
inline constexpr SettingKey kMyPath{"Project", "MyPath", ""};  // written at every start, never read

// System: switches ("1"/"0"), numbers, and the main window's rectangle in pixels.
inline constexpr SettingKey kAutoOpen{"System", "AutoOpen", "0"};
inline constexpr SettingKey kAutoStart{"System", "AutoStart", "0"};
inline constexpr SettingKey kMarkDate{"System", "MarkDate", "1"};
inline constexpr SettingKey kMarkHour{"System", "MarkHour", "1"};
inline constexpr SettingKey kMarkSort{"System", "MarkSort", "1"};
inline constexpr SettingKey kShowTrak{"System", "ShowTrak", "1"};
inline constexpr SettingKey kDblClick{"System", "DblClick", "1"};
inline constexpr SettingKey kFontSize{"System", "FontSize", "1"};
inline constexpr SettingKey kDimension{"System", "Dimension", "1"};
inline constexpr SettingKey kTop{"System", "0_Top", "0"};
inline constexpr SettingKey kLeft{"System", "0_Left", "0"};
inline constexpr SettingKey kBottom{"System", "0_Bottom", "480"};
inline constexpr SettingKey kRight{"System", "0_Right", "640"};
inline constexpr SettingKey kWidth{"System", "0_Width", "633"};
inline constexpr SettingKey kHeight{"System", "0_Height", "454"};

// Player: the player in use and the playlist.
inline constexpr SettingKey kPlayPath{"Player", "PlayPath", ""};
inline constexpr SettingKey kPlayList{"Player", "PlayList", ""};
inline constexpr SettingKey kPlayFile{"Player", "PlayFile", "KLANGO.M3U"};
inline constexpr SettingKey kAddPList{"Player", "AddPList", "0"};

// Setup: the two players the settings dialog knows.
inline constexpr SettingKey kAmpPath{"Setup", "AmpPath", ""};
inline constexpr SettingKey kAmpPList{"Setup", "AmpPList", ""};
inline constexpr SettingKey kAmpAddPl{"Setup", "AmpAddPl", "1"};
inline constexpr SettingKey kAmpUseIt{"Setup", "AmpUseIt", "1"};
inline constexpr SettingKey kPl2Path{"Setup", "Pl2Path", ""};
inline constexpr SettingKey kPl2PList{"Setup", "Pl2PList", ""};
inline constexpr SettingKey kPl2AddPl{"Setup", "Pl2AddPl", "0"};
inline constexpr SettingKey kPl2UseIt{"Setup", "Pl2UseIt", "0"};

// Database: the last opened track database.
inline constexpr SettingKey kDatabaseFile{"Database", "File", ""};

// Browse: the number of stored grid column widths; the widths themselves via browseWidth().
inline constexpr SettingKey kBrowseCount{"Browse", "0", "0"};

// Import.
inline constexpr SettingKey kImpPath{"Import", "ImpPath", "C:"};
inline constexpr SettingKey kImpBuffer{"Import", "Buffer", "1000"};

// Export: playlist options.
inline constexpr SettingKey kExportTagged{"Export", "Tagged", "1"};
inline constexpr SettingKey kExportPlayNow{"Export", "PlayNow", "1"};
inline constexpr SettingKey kExportDelMark{"Export", "DelMark", "1"};

// Suchen: the last search.
inline constexpr SettingKey kSeekInAll{"Suchen", "SeekInAll", "0"};
inline constexpr SettingKey kSuchenGroup{"Suchen", "Group", ""};
inline constexpr SettingKey kSuchenAlbum{"Suchen", "Album", ""};
inline constexpr SettingKey kSuchenTitle{"Suchen", "Title", ""};
inline constexpr SettingKey kSuchenText{"Suchen", "Text", ""};
inline constexpr SettingKey kAndOr1{"Suchen", "AndOr1", " und "};
inline constexpr SettingKey kAndOr2{"Suchen", "AndOr2", " und "};

// Transfer: copying tracks to other media. The naming switches have no default of their own:
// a missing key reads as off.
inline constexpr SettingKey kDestPath{"Transfer", "DestPath", ""};
inline constexpr SettingKey kAuswahl{"Transfer", "Auswahl", "1"};
inline constexpr SettingKey kNote{"Transfer", "Note", "1"};
inline constexpr SettingKey kTransferTagged{"Transfer", "Tagged", "0"};
inline constexpr SettingKey kOrdner{"Transfer", "Ordner", "1"};
inline constexpr SettingKey kInterpret{"Transfer", "Interpret", ""};
inline constexpr SettingKey kTransferAlbum{"Transfer", "Album", ""};
inline constexpr SettingKey kTrack{"Transfer", "Track", ""};
inline constexpr SettingKey kTitel{"Transfer", "Titel", ""};

// MailSupport: the support mail.
inline constexpr SettingKey kMailName{"MailSupport", "Name", ""};
inline constexpr SettingKey kMailReply{"MailSupport", "Reply", ""};
inline constexpr SettingKey kMailSendTo{"MailSupport", "SendTo", "support@klango.de"};
// The sending account: nothing is built into the program; a server without login has no password.
inline constexpr SettingKey kMailAccount{"MailSupport", "Account", ""};
inline constexpr SettingKey kMailServer{"MailSupport", "Server", ""};
inline constexpr SettingKey kMailPort{"MailSupport", "Port", "587"};
inline constexpr SettingKey kMailPassword{"MailSupport", "Password", ""};

// The first and last grid column whose width is stored under Browse.
inline constexpr int kFirstBrowseColumn = 1;
inline constexpr int kLastBrowseColumn = 20;

// Browse/"1" .. Browse/"20": the stored width of grid column n (default "1"). A column outside
// 1..20 is a programming error and throws std::out_of_range.
const SettingKey& browseWidth(int column);

}  // namespace keys

// Every row of the key table, the twenty Browse widths included, in table order.
std::span<const SettingKey* const> allSettingKeys();

}  // namespace klango::shell
