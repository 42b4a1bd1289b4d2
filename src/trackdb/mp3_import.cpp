#include "trackdb/mp3_import.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/binary_file.h"
#include "platform/clock.h"
#include "platform/executable_path.h"
#include "platform/file_names.h"
#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/key_expression.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "shell/rx_helpers.h"
#include "shell/settings_keys.h"
#include "trackdb/check_data.h"
#include "trackdb/folder_walk.h"
#include "trackdb/genre_table.h"
#include "trackdb/import_dialog_model.h"
#include "trackdb/mp3_tag_reader.h"
#include "trackdb/put_data.h"
#include "trackdb/track_record.h"
#include "ui/ui.h"

namespace klango::trackdb {

namespace fs = std::filesystem;

namespace {

constexpr const char* kAlias = "DMP3";
constexpr const char* kTitleImport = "Daten einlesen";
constexpr const char* kUnknownMedium = "Neu";
constexpr const char* kWorkExtension = ".imp";
constexpr const char* kWriteFailed =
    "Die Datenbank konnte nicht geschrieben werden (ist der Datentr\xE4ger voll?). "
    "Der Datenimport wurde abgebrochen";
constexpr const char* kOldKept = "die bisherige Datenbank bleibt unver\xE4ndert !";

fs::path filePath(std::string_view text) { return fs::path(base::cp1252ToUtf8(text)); }

void removeQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

// The database name of the file chosen in the save dialog: its name part in capitals, up to its
// first ".", so "best.of.rock.dbf" is BEST. The folder chosen in the dialog does not count.
std::string databaseNameOf(std::string_view chosen) {
    const size_t slash = chosen.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    return shell::RXSTRCAPALL(base::upperAZ(base::trim(name)));
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool sameSecond(const platform::LocalTime& a, const platform::LocalTime& b) {
    return a.second == b.second && a.minute == b.minute && a.hour == b.hour && a.date == b.date;
}

}  // namespace

Mp3Import::Mp3Import(shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui, platform::Volumes volumes)
    : m_state(state), m_areas(areas), m_ui(ui), m_volumes(std::move(volumes)) {}

bool Mp3Import::MP3IMPORT() {
    KLANGO_ROUTINE("MP3IMPORT");
    m_session = ImportSession{};
    m_replaced.clear();
    m_workTable.clear();
    m_areas.closeAll();
    m_state.LTAB_OPEN = false;

    std::string folder = m_ui.chooseFolder("MP3-Dateien einlesen aus Laufwerk/Ordner", "");
    if (folder.empty()) return false;
    folder = withSlash(std::move(folder));
    m_session.sourceFolder = folder;

    if (!MAKEDBF(folder)) {
        cleanUp(false);
        return false;
    }
    m_state.settings().write(shell::keys::kImpPath, folder);
    SCANDRIVE(folder);

    // After a write failure nothing more is written: no deletions, and the warning told the count.
    if (m_session.LREFRESH && !m_session.writeFailed) {
        m_session.LREFRESH = m_ui.yesNo("Aktualisieren", "Nicht vorhandene Eintr\xE4ge l\xF6schen ?", true);
        if (m_session.LREFRESH) deleteMissing();
        if (m_session.NRECADD > 0 || m_session.NRECDEL > 0) {
            m_ui.info(kTitleImport, "Es wurden " + std::to_string(m_session.NRECADD) +
                                        " Titel angef\xFCgt und " + std::to_string(m_session.NRECDEL) +
                                        " Titel gel\xF6scht!");
        }
    }
    if (!m_session.LREFRESH && !m_session.LBREAK && !m_session.writeFailed) {
        m_ui.info(kTitleImport, m_session.NRECADD == 1
                                    ? std::string("Es wurde 1 Titel eingelesen!")
                                    : "Es wurden " + std::to_string(m_session.NRECADD) + " Titel eingelesen!");
    }
    reportSkipped();
    cleanUp(!m_session.LBREAK && !m_session.writeFailed);
    return true;
}

bool Mp3Import::MAKEDBF(const std::string& cFolder) {
    KLANGO_ROUTINE("MAKEDBF");
    ui::FileDialogRequest request;
    request.title = "MP3-Datenbank anlegen unter ...";
    request.filter = "MP3-Datenbank (*.dbf)|*.dbf";
    request.startFolder = base::utf8ToCp1252(m_state.dataFolder().string());
    request.defaultName = shell::RXMAKEFILE(cFolder, m_volumes);

    std::string name;
    while (name.empty()) {
        const std::string chosen = m_ui.saveFile(request);
        if (chosen.empty()) return false;
        name = databaseNameOf(chosen);
        // A name of nothing but an extension would make a hidden ".dbf" no one could open again.
        if (name.empty()) {
            m_ui.warning(kTitleImport, "Bitte geben Sie einen Namen f\xFCr die Datenbank an !");
            request.defaultName = chosen;
        } else if (const std::string refusal = databaseNameRefusal(name); !refusal.empty()) {
            m_ui.warning(kTitleImport, refusal);
            request.defaultName = chosen;
            name.clear();
        }
    }
    m_state.CFILE = name;

    std::error_code ec;
    const fs::path tableFile = m_areas.resolve(name + ".dbf");
    // What a killed re-import of this database left behind.
    removeQuietly(importWorkTable(tableFile));
    if (fs::exists(tableFile, ec)) {
        m_session.LREFRESH =
            m_ui.yesNo(kTitleImport, "Die Datei existiert bereits, wollen Sie aktualisieren ?", false);
        if (!m_session.LREFRESH) {
            if (!replaceConfirmed(tableFile)) return false;
            m_replaced = tableFile;
        }
    }

    dbf::DbfTable* table = nullptr;
    if (!m_replaced.empty()) {
        // The old database stays untouched, index files included, until the new one is complete.
        m_ui.showMessage("Erzeugen der Datenbank ...");
        m_workTable = importWorkTable(tableFile);
        if (!dbf::DbfTable::create(m_workTable, trackStructure(), platform::clock().today())) return false;
        table = m_areas.useFile(m_workTable, kAlias);
    } else {
        if (!CHECKDATA(m_areas, m_ui, name)) return false;
        const fs::path dataFolder = m_areas.resolve(name + ".dbf").parent_path();
        for (int n = 1; n <= 6; ++n) removeQuietly(indexFile(dataFolder, name, n));
        table = m_areas.use(name + ".dbf", kAlias);
    }
    if (!table) return false;
    // Left-over index files of an earlier import might fit this table's size by chance: build anew.
    const fs::path pathIndex = m_state.programFile(kImportPathIndex);
    const fs::path groupIndex = m_state.programFile(kImportGroupIndex);
    removeQuietly(pathIndex);
    removeQuietly(groupIndex);
    dbf::KeySpec pathKey = dbf::compileKey(table->structure(), kImportPathKey);
    dbf::KeySpec groupKey = dbf::compileKey(table->structure(), kImportGroupKey);
    if (!pathKey.build || !groupKey.build) return false;
    dbf::OrderOptions pathOptions;
    pathOptions.name = kImportPathOrder;
    dbf::OrderOptions groupOptions;
    groupOptions.name = kImportGroupOrder;
    if (!table->createOrder(pathIndex, std::move(pathKey), std::move(pathOptions))) return false;
    if (!table->attachOrder(groupIndex, std::move(groupKey), std::move(groupOptions))) return false;
    table->setOrder(kImportPathOrder);

    m_ui.showMessage("Daten einlesen ...");
    m_ui.setMessageItem(ui::MessageItem::Base, name);
    m_ui.setMessageItem(ui::MessageItem::Records, "");
    m_ui.setMessageItem(ui::MessageItem::Tagged, "");
    return true;
}

// Replacing a database loses what only it holds (ratings, play counts, notes): with tracks in
// it, the user is asked once more, "Nein" preselected. An unreadable table is not replaced here
// either; CHECKDATA's message about it comes when it is opened.
bool Mp3Import::replaceConfirmed(const fs::path& tableFile) {
    dbf::DbfTable* table = m_areas.useFile(tableFile, "DCHK");
    if (!table) return false;
    const uint32_t tracks = table->count();
    m_areas.close("DCHK");
    if (tracks == 0) return true;
    return m_ui.yesNo(kTitleImport,
                      "Die Datenbank " + base::utf8ToCp1252(tableFile.stem().string()) + " enth\xE4lt " +
                          std::to_string(tracks) + " Titel" +
                          ".\r" + kReplaceQuestion,
                      true);
}

bool Mp3Import::SCANDRIVE(const std::string& cFolder) {
    KLANGO_ROUTINE("SCANDRIVE");
    m_session.LBREAK = false;
    m_session.CDRIVENAME.clear();
    if (auto mount = m_volumes.mountHolding(filePath(cFolder))) {
        m_session.CDRIVENAME = std::string(base::trim(base::utf8ToCp1252(m_volumes.labelOf(*mount))));
    }
    if (m_session.CDRIVENAME.empty()) m_session.CDRIVENAME = kUnknownMedium;

    ImportDialogModel dialog(m_session.LREFRESH, m_session.LBREAK);
    dialog.fieldForeground = m_state.NCOLF;
    dialog.fieldBackground = m_state.NCOLBH;
    m_ui.runDialog(dialog, [&] {
        dialog.setFile(m_session.CFILE);
        m_ui.processEvents();
        GETINDIR(cFolder + "*.MP3", dialog);
        dialog.requestClose();
    });
    const bool replacing = !m_replaced.empty();
    if (m_session.writeFailed) {
        m_ui.warning("Import", std::string(kWriteFailed) +
                                   (replacing ? std::string(", ") + kOldKept
                                              : "; " + std::to_string(m_session.NRECADD) +
                                                    " Titel wurden angef\xFCgt."));
    } else if (m_session.LBREAK) {
        m_ui.warning("Import", replacing ? std::string("Der Datenimport wurde unterbrochen, ") + kOldKept
                                         : "Der Datenimport wurde unterbrochen und ist unvollst\xE4ndig !");
    }
    return true;
}

void Mp3Import::GETINDIR(const std::string& cMask, ImportDialogModel& oMeter) {
    KLANGO_ROUTINE("GETINDIR");
    std::string mask = cMask;
    if (mask.find('/') == std::string::npos) mask = "./" + mask;
    if (!mask.empty() && (mask.front() == '"' || mask.front() == '\'')) {
        mask = mask.size() >= 2 ? mask.substr(1, mask.size() - 2) : std::string();
    }
    std::error_code ec;
    if (fs::is_directory(filePath(mask), ec)) mask = withSlash(std::move(mask)) + "*.*";
    const size_t slash = mask.find_last_of('/');
    const std::string base = mask.substr(0, slash + 1);
    const std::string pattern = base::upperAZ(mask.substr(slash + 1));

    dbf::DbfTable* table = m_areas.get(kAlias);
    if (!table) return;

    FolderWalk walk(filePath(base), pattern);
    walk.onTopFolders = [&](size_t n) { oMeter.setTotal(long(n)); };
    walk.onFolder = [&](const std::string& folder) {
        m_session.CPATH = folder;
        oMeter.setPath(folder);
    };
    FolderWalkResult found = walk.run();
    m_session.skippedCount += found.skippedCount;
    for (auto& name : found.skippedNames) {
        if (m_session.skippedNames.size() < FolderWalk::kNamedSkips)
            m_session.skippedNames.push_back(std::move(name));
    }

    // A program folder without the parameter file (a catalogue folder of the command-line tool)
    // uses the one shipped beside the program.
    std::error_code genreEc;
    const bool ownGenres = std::filesystem::exists(
        platform::resolveCaseBlind(m_state.CRUNIN, kGenreFileName), genreEc);
    const GenreTable genres =
        GenreTable::fromProgramFolder(ownGenres ? m_state.CRUNIN : platform::executableFolder());
    oMeter.setTotal(long(found.files.size()));
    oMeter.setPosition(0);
    long i = 0;
    platform::LocalTime flushed = platform::clock().now();
    for (const FoundFile& file : found.files) {
        const size_t cut = file.text.find_last_of('/');
        m_session.CPATH = cut == std::string::npos ? std::string() : file.text.substr(0, cut);
        m_session.CFILE = cut == std::string::npos ? file.text : file.text.substr(cut + 1);
        oMeter.setPath(m_session.CPATH);
        oMeter.setFile(m_session.CFILE);
        if (!PUTDATA(*table, m_session, file.text, READMP3(file.path, genres))) {
            m_session.writeFailed = true;
            break;
        }
        // Header and end mark once a second, not after each record.
        const platform::LocalTime now = platform::clock().now();
        if (!sameSecond(now, flushed)) {
            flushed = now;
            if (!table->flush()) {
                m_session.writeFailed = true;
                break;
            }
        }
        oMeter.setPosition(++i);
        m_ui.processEvents();
        if (m_session.LBREAK) break;
    }
    if (!m_session.writeFailed && !table->flush()) m_session.writeFailed = true;
}

// Records of this source folder whose file is gone are deleted; records of other folders and of
// media that are not inserted now are kept, since their files cannot be looked at.
void Mp3Import::deleteMissing() {
    dbf::DbfTable* table = m_areas.get(kAlias);
    if (!table) return;
    m_ui.setWaitCursor(true);
    table->detachOrders();
    const std::string& source = m_session.sourceFolder;
    for (uint32_t recno = 1; recno <= table->lastRec(); ++recno) {
        const dbf::RecordView record = table->view(recno);
        if (!record.isDeleted()) {
            const std::string_view path = base::trimRight(record.raw(track::PATH));
            if (path.size() > source.size() && path.compare(0, source.size(), source) == 0 &&
                !trackFileExists(path)) {
                table->goTo(recno);
                table->deleteRecord();
                ++m_session.NRECDEL;
            }
        }
        m_ui.processEvents();
    }
    table->flush();
    m_ui.setWaitCursor(false);
}

void Mp3Import::reportSkipped() {
    const size_t n = m_session.skippedCount;
    if (n == 0) return;
    std::string text =
        n == 1 ? std::string("1 Datei wurde nicht eingelesen, weil ihr Name Zeichen enth\xE4lt, ")
               : std::to_string(n) + " Dateien wurden nicht eingelesen, weil ihre Namen Zeichen enthalten, ";
    text += "die die Datenbank nicht speichern kann:";
    std::vector<std::string> names = m_session.skippedNames;
    if (n > names.size()) names.push_back("...");
    m_ui.infoWithNames(kTitleImport, text, names);
}

void Mp3Import::cleanUp(bool complete) {
    if (m_session.NRECDEL > 0) {
        if (dbf::DbfTable* table = m_areas.get(kAlias)) table->pack();
    }
    if (!m_workTable.empty() && complete) {
        dbf::DbfTable* table = m_areas.get(kAlias);
        complete = table && table->flush();
    }
    m_areas.closeAll();
    removeQuietly(m_state.programFile(kImportPathIndex));
    removeQuietly(m_state.programFile(kImportGroupIndex));
    if (m_workTable.empty()) return;
    if (!complete || !replaceDatabase()) {
        removeQuietly(m_workTable);
        m_session.NRECADD = 0;  // nothing reached the database
    }
    m_workTable.clear();
    m_replaced.clear();
}

// The complete working table reaches the disk before it takes the database's name in one
// rename, so that a crash at any point leaves the old database or the new one, whole.
bool Mp3Import::replaceDatabase() {
    int osCode = 0;
    auto file = platform::BinaryFile::open(m_workTable, osCode);
    bool ok = file && file->sync();
    if (file) ok = file->close() && ok;
    std::error_code ec;
    if (ok) fs::rename(m_workTable, m_replaced, ec);
    if (!ok || ec) {
        m_session.writeFailed = true;
        m_ui.warning("Import", std::string(kWriteFailed) + ", " + kOldKept);
        return false;
    }
    // The old database's index files do not fit the new one; opening it builds them anew.
    const fs::path dataFolder = m_replaced.parent_path();
    const std::string name = base::utf8ToCp1252(m_replaced.stem().string());
    for (int n = 1; n <= 6; ++n) removeQuietly(indexFile(dataFolder, name, n));
    return true;
}

fs::path importWorkTable(const fs::path& table) {
    fs::path work = table;
    work.replace_extension(kWorkExtension);
    return work;
}

bool MP3IMPORT(shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui) {
    return Mp3Import(state, areas, ui).MP3IMPORT();
}

}  // namespace klango::trackdb
