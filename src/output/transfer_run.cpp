#include "output/transfer_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <set>
#include <mutex>
#include <optional>
#include <thread>

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "platform/file_copy.h"
#include "output/transfer_media.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;
using klango::trackdb::track::Field;

namespace klango::output {
namespace {

constexpr uint64_t kMinimumFree = 10ull << 20;  // below it the run ends
constexpr uint64_t kAskAgainBelow = 256ull << 20;
constexpr int kAskAgainAfter = 64;
constexpr const char* kTitle = "Datenkopie erstellen";

fs::path fileOf(std::string_view cp1252) { return fs::path(base::cp1252ToUtf8(cp1252)); }

std::string fileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

bool TRANSCHECK(const TransferOptions& o, const dbf::DbfTable& t) {
    const bool byRating = o.NAUSWAHL != 2 || t.getN(Field::RANGE) >= o.NNOTE;
    return byRating && (!o.LTAGGED || t.getL(Field::TAGGED));
}

std::vector<TransferJob> qualifyingTracks(const TransferOptions& options, dbf::DbfTable& t) {
    const uint32_t keep = t.recNo();
    std::vector<TransferJob> jobs;
    for (uint32_t r = 1; r <= t.lastRec(); ++r) {
        t.goTo(r);
        if (t.isDeleted() || !TRANSCHECK(options, t)) continue;
        TransferJob job;
        job.recno = r;
        job.medium = std::string(base::trim(t.raw(Field::DISCNAME)));
        job.path = std::string(base::trimRight(t.raw(Field::PATH)));
        job.names.group = std::string(base::trimRight(t.raw(Field::GROUP)));
        job.names.album = std::string(base::trimRight(t.raw(Field::ALBUM)));
        job.names.title = std::string(base::trimRight(t.raw(Field::TITLE)));
        job.names.track = int(t.getN(Field::TRACK));
        job.names.sourceFile = fileNameOf(job.path);
        jobs.push_back(std::move(job));
    }
    t.goTo(keep);
    std::stable_sort(jobs.begin(), jobs.end(), [](const TransferJob& a, const TransferJob& b) {
        return base::upperAZ(a.medium) < base::upperAZ(b.medium);
    });
    return jobs;
}

std::vector<std::string> neededMedia(const std::vector<TransferJob>& jobs, std::string_view programLabel) {
    std::vector<std::string> media;
    for (const TransferJob& job : jobs) {
        if (job.medium.empty() || sameMedium(job.medium, programLabel)) continue;
        if (sameMedium(job.medium, kUnlabelledMedium)) {
            std::error_code ec;
            if (fs::is_regular_file(fileOf(job.path), ec)) continue;
        }
        if (std::none_of(media.begin(), media.end(), [&](const std::string& m) { return sameMedium(m, job.medium); }))
            media.push_back(job.medium);
    }
    return media;
}

double freeMegabytes(const platform::Media& media, std::string_view destination) {
    if (destination.empty()) return 0;
    const std::optional<uint64_t> bytes = media.freeBytes(fileOf(destination));
    return bytes ? double(*bytes) / 1024.0 / 1024.0 : 0.0;
}

// What the worker and the calling thread share, under one lock.
struct TransferRun::Shared {
    struct Done {
        uint32_t recno = 0;
        bool processed = false;
        std::string key;      // the written file, CP1252
        std::string message;  // a message for the user, if any
    };
    struct MediumRequest {
        fs::path drive;
        std::string medium;
        fs::path file;
    };

    std::mutex lock;
    std::condition_variable wake;
    std::deque<Done> done;
    std::optional<MediumRequest> request;
    std::optional<bool> answer;
    TransferProgress progress;
    bool progressChanged = false;
    bool finished = false;
    bool full = false;
    bool interrupted = false;

    // Finished tracks wait for the calling thread's next look (every 30 ms at the latest);
    // only a question and the end wake it at once.
    void post(Done d) {
        std::lock_guard g(lock);
        done.push_back(std::move(d));
    }
    bool ask(MediumRequest r) {
        std::unique_lock g(lock);
        request = std::move(r);
        answer.reset();
        wake.notify_all();
        wake.wait(g, [&] { return answer.has_value(); });
        return *answer;
    }
};

TransferRun::TransferRun(const TransferOptions& options, const platform::Media& media, ui::Ui& ui,
                         dbf::DbfTable& tracks, CopyDatabase* database, std::string programLabel)
    : m_options(options), m_media(media), m_ui(ui), m_tracks(tracks), m_database(database),
      m_programLabel(std::move(programLabel)) {
    askMediaList = [this](const std::vector<std::string>& media) { return TRANSDISKS(m_ui, media); };
    askMedium = [this](const fs::path& drive, const std::string& medium, const fs::path& file) {
        return TRANSCDCHANGE(m_ui, m_media, drive, medium, file);
    };
}

void TransferRun::work(Shared& shared, const std::vector<TransferJob>& jobs) {
    const fs::path destination = fileOf(m_options.CPATH);
    const FlatNameOptions flat{m_options.LGROUP, m_options.LALBUM, m_options.LTRACK};
    TargetClaims claims;
    std::string previousMedium;
    long counter = 0;
    std::optional<uint64_t> free;  // the destination's free bytes, as last asked less what was written
    int asked = 0;                 // tracks since it was asked
    std::set<fs::path> made;       // target folders known to be there
    // The drive of each source folder, asked once while the same media are in the drives.
    std::map<fs::path, fs::path> drives;
    auto driveOf = [&](const fs::path& source) {
        auto [it, fresh] = drives.try_emplace(source.parent_path());
        if (fresh) it->second = m_media.driveOf(source);
        return it->second;
    };
    for (const TransferJob& job : jobs) {
        if (m_stop.load()) break;
        // The free space is asked again when it may come near the limit; in between, what was
        // written is taken off the last answer.
        if (!free || *free < kAskAgainBelow || asked >= kAskAgainAfter) {
            free = m_media.freeBytes(destination);
            asked = 0;
        }
        if (free && *free < kMinimumFree) {
            std::lock_guard g(shared.lock);
            shared.full = true;
            break;
        }
        const fs::path source = fileOf(job.path);
        fs::path drive = driveOf(source);
        if (!job.medium.empty()) {
            std::error_code ec;
            bool needed = false;
            if (sameMedium(job.medium, kUnlabelledMedium)) {
                // A medium without label is only asked for when its file is not at hand.
                needed = !fs::is_regular_file(source, ec);
            } else {
                needed = !sameMedium(job.medium, previousMedium);
            }
            previousMedium = job.medium;
            if (needed) {
                if (!shared.ask({drive, job.medium, source})) {
                    std::lock_guard g(shared.lock);
                    shared.interrupted = true;
                    break;
                }
                // Another medium is in: what is mounted where may have changed.
                drives.clear();
                drive = driveOf(source);
            }
            if (m_stop.load()) break;
        }

        fs::path target;
        if (m_options.LORDNER) {
            target = structuredTarget(destination, source, drive);
            if (target.empty()) {
                shared.post({job.recno, false, {}, {}});
                continue;
            }
            std::error_code ec;
            if (!made.count(target.parent_path())) fs::create_directories(target.parent_path(), ec);
            if (ec || (!made.count(target.parent_path()) && !fs::is_directory(target.parent_path()))) {
                shared.post({job.recno, false, {},
                             base::utf8ToCp1252(target.parent_path().string()) + " konnte nicht erstellt werden !"});
                continue;
            }
            made.insert(target.parent_path());
        } else {
            target = destination / fileOf(flatFileName(job.names, flat));
        }
        target = claims.claim(target, source);

        ++counter;
        {
            std::lock_guard g(shared.lock);
            std::string text = job.names.group + " - " + job.names.title;
            shared.progress.text = text.substr(0, 50) + " (" + std::to_string(counter) + "/" +
                                   std::to_string(jobs.size()) + ")";
            shared.progress.position = counter;
            shared.progress.total = long(jobs.size());
            shared.progressChanged = true;
        }
        const platform::CopyResult result = platform::copyTrackFile(source, target, m_stop);
        const bool ok = result.outcome == platform::CopyOutcome::kCopied || result.outcome == platform::CopyOutcome::kSameSize;
        if (free) *free -= std::min(*free, result.bytes);
        ++asked;
        {
            std::lock_guard g(shared.lock);
            shared.progress.freeMB = free ? double(*free) / 1024.0 / 1024.0 : 0.0;
            shared.progressChanged = true;
        }
        shared.post({job.recno, ok, ok ? base::utf8ToCp1252(target.string()) : std::string(), {}});
        if (result.outcome == platform::CopyOutcome::kDestinationFull) {
            std::lock_guard g(shared.lock);
            shared.full = true;
            break;
        }
        if (result.outcome == platform::CopyOutcome::kStopped) break;
    }
    std::lock_guard g(shared.lock);
    shared.finished = true;
    shared.wake.notify_all();
}

bool TransferRun::TRANSFERIT() {
    KLANGO_ROUTINE("TRANSFERIT");
    m_summary = {};
    m_ui.setWaitCursor(true);
    const std::vector<TransferJob> jobs = qualifyingTracks(m_options, m_tracks);
    TransferProgress progress;
    progress.total = long(jobs.size());
    progress.freeMB = freeMegabytes(m_media, m_options.CPATH);
    if (onProgress) onProgress(progress);

    const std::vector<std::string> media = neededMedia(jobs, m_programLabel);
    if (!media.empty()) {
        m_ui.setWaitCursor(false);
        if (!askMediaList(media)) {
            m_summary.interrupted = true;
            return true;
        }
        m_ui.setWaitCursor(true);
    }

    const uint32_t keep = m_tracks.recNo();
    Shared shared;
    std::thread worker([&] {
        try {
            work(shared, jobs);
        } catch (...) {
            // Out of memory or the like: the run ends with what it finished.
            std::lock_guard g(shared.lock);
            shared.finished = true;
            shared.wake.notify_all();
        }
    });
    std::vector<std::string> messages;
    for (bool finished = false; !finished;) {
        std::deque<Shared::Done> done;
        std::optional<Shared::MediumRequest> request;
        std::optional<TransferProgress> shown;
        {
            std::unique_lock g(shared.lock);
            shared.wake.wait_for(g, std::chrono::milliseconds(30), [&] { return shared.finished || shared.request; });
            done.swap(shared.done);
            request.swap(shared.request);
            if (shared.progressChanged) shown = shared.progress;
            shared.progressChanged = false;
            finished = shared.finished && done.empty();
        }
        for (const Shared::Done& d : done) {
            if (!d.message.empty()) m_ui.warning(kTitle, d.message);
            if (!d.processed) {
                ++m_summary.failed;
                continue;
            }
            ++m_summary.processed;
            m_tracks.goTo(d.recno);
            m_tracks.putL(Field::TAGGED, false);
            m_tracks.writeCurrent();
            if (m_database) m_database->TRANSPUTDATA(m_tracks, d.key);
        }
        if (shown && onProgress) onProgress(*shown);
        if (request) {
            m_ui.setWaitCursor(false);
            const bool go = askMedium(request->drive, request->medium, request->file);
            m_ui.setWaitCursor(true);
            std::lock_guard g(shared.lock);
            shared.answer = go;
            shared.wake.notify_all();
        }
        m_ui.processEvents();
        if (finished) {
            std::lock_guard g(shared.lock);
            finished = shared.done.empty();
        }
    }
    worker.join();
    m_tracks.flush();
    m_tracks.goTo(keep);
    m_summary.destinationFull = shared.full;
    m_summary.interrupted = shared.interrupted;
    m_summary.stopped = m_stop.load();
    if (m_summary.processed > 0 && !m_options.CPATH.empty()) m_summary.flushed = m_media.flush(fileOf(m_options.CPATH));
    m_ui.setWaitCursor(false);

    if (shared.full)
        m_ui.warning("Kopieren", "Es ist nur noch wenig Speicherplatz vorhanden.\rDer Kopiervorgang wird beendet !");
    if (!m_summary.flushed)
        m_ui.warning(kTitle, "Die Dateien konnten nicht vollst\xE4ndig auf das Ziel geschrieben werden !");
    if (m_summary.failed > 0)
        m_ui.warning(kTitle, std::to_string(m_summary.failed) + " Titel konnten nicht kopiert werden");
    return m_summary.processed > 0 || m_summary.interrupted;
}

}  // namespace klango::output
