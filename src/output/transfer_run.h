// The copy run (TRANSFERIT): copies the files of the qualifying tracks of the open table into the
// destination, asking for each source medium in turn, clears the mark of each track it copied and
// enters it into the copy database. The files are copied on a worker thread; the calling (GUI)
// thread keeps the Ui responsive, asks the user for media when the worker needs one, and is the
// only one that touches the tables. Used by the copy dialog and by klango-cli's copy.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "output/copy_database.h"
#include "output/transfer_names.h"
#include "output/transfer_options.h"
#include "platform/media.h"
#include "ui/ui.h"

namespace klango::output {

// TRANSCHECK: does the current record of tracks qualify for the copy?
bool TRANSCHECK(const TransferOptions& options, const dbf::DbfTable& tracks);

// One track to copy, read from the table before the run starts.
struct TransferJob {
    uint32_t recno = 0;
    std::string medium;  // DISCNAME, trimmed
    std::string path;    // PATH, trimmed (CP1252)
    TrackNameParts names;
};

// The qualifying tracks in copy order: ascending medium name (case ignored; tracks without one
// first), the tracks of one medium in record order. The current record is kept.
std::vector<TransferJob> qualifyingTracks(const TransferOptions& options, dbf::DbfTable& tracks);
// The media the run needs, in copy order, each once: without the tracks that have no medium name,
// without the program drive's medium (programLabel), and without unlabelled media whose files are
// all at hand.
std::vector<std::string> neededMedia(const std::vector<TransferJob>& jobs, std::string_view programLabel);

// What the run shows while it goes.
struct TransferProgress {
    std::string text;  // CCOPY: "artist - title (n/total)"
    long position = 0;
    long total = 0;
    double freeMB = 0;  // NDSPACE
};

struct TransferSummary {
    long processed = 0;        // copied or found copied: mark cleared, entered
    long failed = 0;           // not copied: mark kept, not entered
    bool destinationFull = false;
    bool interrupted = false;  // the user did not want a medium (or the media list)
    bool stopped = false;      // stop was set
    bool flushed = true;       // the destination took all data
};

class TransferRun {
public:
    // programLabel: the label of the program's drive (CP1252). database may be null.
    TransferRun(const TransferOptions& options, const platform::Media& media, ui::Ui& ui, dbf::DbfTable& tracks,
                CopyDatabase* database, std::string programLabel);

    // How the run asks the user; by default the dialogs (TRANSDISKS, TRANSCDCHANGE).
    std::function<bool(const std::vector<std::string>& media)> askMediaList;
    std::function<bool(const std::filesystem::path& drive, const std::string& medium,
                       const std::filesystem::path& file)>
        askMedium;
    // Hears the progress on the calling thread.
    std::function<void(const TransferProgress&)> onProgress;

    // Set from any thread: the run stops between files and within a large file.
    std::atomic<bool>& stopFlag() { return m_stop; }

    // TRANSFERIT: true when at least one track was processed, or the user ended the run at the
    // media list or a medium change.
    bool TRANSFERIT();
    const TransferSummary& summary() const { return m_summary; }

private:
    struct Shared;
    void work(Shared& shared, const std::vector<TransferJob>& jobs);

    TransferOptions m_options;
    const platform::Media& m_media;
    ui::Ui& m_ui;
    dbf::DbfTable& m_tracks;
    CopyDatabase* m_database;
    std::string m_programLabel;
    std::atomic<bool> m_stop{false};
    TransferSummary m_summary;
};

// The destination's free space in MB, 0 when it cannot be asked.
double freeMegabytes(const platform::Media& media, std::string_view destination);

}  // namespace klango::output
