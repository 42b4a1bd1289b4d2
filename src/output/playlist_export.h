// The playlist commands on the open track table DMP3: the export dialog (M3UEXPORT), the export
// itself with its optional sort dialog (M3USORT), and playing the current track at once
// (M3UEXSINGLE). They write the playlist, update the play statistics of the tracks that went
// into it and start the player without waiting for it. Called through the shell's hooks by the
// main menu and the table panel, and by klango-cli; GUI thread.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "output/playlist_entry.h"
#include "platform/clock.h"
#include "platform/program_start.h"

namespace klango::dbf {
class DbfTable;
}
namespace klango::shell {
struct Shell;
}

namespace klango::output {

// Starts the player detached; true when it started. Tests put a recorder here.
using PlayerStarter = std::function<bool(const platform::ProgramCall&)>;

// What an export or a single play did.
struct PlaylistResult {
    bool written = false;        // the playlist file is on the disk
    std::filesystem::path file;  // its full path
    size_t tracks = 0;           // lines in it
    size_t leftOut = 0;          // tracks whose stored path holds a line break
    bool playerStarted = false;
};

class PlaylistExport {
public:
    static constexpr const char* kNoTitles = "Es wurden keine Title f\xFCr die gew\xE4hlten Kriterien gefunden !";

    explicit PlaylistExport(shell::Shell& shell, const platform::Clock& clock = platform::clock(),
                            PlayerStarter starter = {});

    // The playlists go to folder instead of the Player/PlayList folder (the command line's --out).
    void setFolder(std::filesystem::path folder) { m_folder = std::move(folder); }

    // The export dialog, then M3USORT with its values (after "&Weiter" only).
    PlaylistResult M3UEXPORT();
    // cFile: the trimmed name from the dialog; ".M3U" is added unless it ends in it.
    PlaylistResult M3USORT(const std::string& cFile, bool lTagged, bool lPlayNow, bool lDelMark, bool lAppend);
    // Plays the current record of DMP3 at once through "KLANGO.M3U".
    PlaylistResult M3UEXSINGLE();

    // The title entries of the shown records in the table's current order: every one, or the
    // marked ones only (withTexts false: the records alone). The pointer returns where it stood.
    // marked: the count of marked shown records.
    static std::vector<TitleEntry> collect(dbf::DbfTable& table, bool tagged, bool withTexts = true,
                                           long* marked = nullptr);

private:
    dbf::DbfTable* table() const;
    // Writes the playlist of records to file whole (or not at all); paths holding a line break
    // are left out and counted. When every path holds one, nothing is written (an older file of
    // that name stays). A failure is told to the user.
    bool writePlaylist(dbf::DbfTable& table, const std::vector<uint32_t>& records, PlaylistResult& result);
    std::filesystem::path playlistPath(const std::string& name) const;
    bool startPlayer(bool append, const std::filesystem::path& playlist);
    // The play statistics of the current record.
    void stampPlayed(dbf::DbfTable& table, const platform::LocalTime& now, bool played, bool tagged);
    void showMarks(long tagged);

    shell::Shell& m_shell;
    const platform::Clock& m_clock;
    PlayerStarter m_starter;
    std::filesystem::path m_folder;
    std::vector<uint32_t> m_written;  // records of the lines written by the last writePlaylist
};

}  // namespace klango::output
