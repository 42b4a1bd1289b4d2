#include "output/copy_database.h"

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "platform/clock.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::output {
namespace {

constexpr const char* kTitle = "Datenkopie erstellen";

}  // namespace

CopyDatabase::CopyDatabase(const shell::AppState& state, dbf::WorkAreas& areas, ui::Ui& ui)
    : m_state(state), m_areas(areas), m_ui(ui) {}

std::string CopyDatabase::nameOf(std::string_view chosen) {
    const size_t slash = chosen.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
    name = base::trim(name.substr(0, name.find('.')));
    std::string out;
    for (char c : name) out += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (!out.empty()) out[0] = base::upperAZ(out[0]);
    return out;
}

bool CopyDatabase::isOpenDatabase(const std::string& name) const {
    return m_areas.get("DMP3") && base::upperAZ(trackdb::databaseBaseName(m_state.CFILE)) == base::upperAZ(name);
}

void CopyDatabase::refuseOpenDatabase(const std::string& name) {
    m_ui.warning(kTitle, "Die Datenkopie kann nicht in die ge\xF6" "ffnete Datenbank '" + name +
                             "' geschrieben werden !");
}

dbf::DbfTable* CopyDatabase::table() const { return m_areas.get(kAlias); }
bool CopyDatabase::isOpen() const { return table() != nullptr; }

bool CopyDatabase::TRANSDBASE(bool on) {
    KLANGO_ROUTINE("TRANSDBASE");
    if (!on) {
        discard();
        return true;
    }
    ui::FileDialogRequest request;
    request.title = "MP3-Datenkopie erstellen unter ...";
    request.filter = "MP3-Datenbank (*.DBF)|*.DBF";
    request.startFolder = base::utf8ToCp1252(m_state.dataFolder().string());
    for (;;) {
        const std::string chosen = m_ui.saveFile(request);
        if (chosen.empty()) return false;
        const std::string name = nameOf(chosen);
        const std::string refusal =
            name.empty() ? "Bitte geben Sie einen Namen f\xFC" "r die Datenbank an !" : trackdb::databaseNameRefusal(name);
        if (!refusal.empty()) {
            m_ui.warning(kTitle, refusal);
            request.defaultName = chosen;
            continue;
        }
        if (isOpenDatabase(name)) {
            refuseOpenDatabase(name);
            request.defaultName = chosen;
            continue;
        }
        bool replace = false;
        if (fs::exists(m_areas.resolve(name))) {
            // "Ja" is the default answer: data is only thrown away when the user asks for it.
            replace = !m_ui.yesNo(kTitle,
                                  "Die Datei '" + name.substr(0, 12) + "' existiert bereits. Daten anf\xFCgen ?",
                                  false);
        }
        return open(name, replace);
    }
}

bool CopyDatabase::open(const std::string& name, bool replace) {
    if (isOpen()) discard();
    if (isOpenDatabase(name)) {
        refuseOpenDatabase(name);
        return false;
    }
    const fs::path file = m_areas.resolve(name);
    std::error_code ec;
    const bool exists = fs::exists(file, ec);
    if (exists && replace) {
        shell::RXDELALL(m_state.dataFolder(), name + ".*", false);
        shell::RXDELALL(m_state.dataFolder(), name + "?.NTX", false);
    }
    const std::string selected = m_areas.selectedAlias();
    m_created = !exists || replace;
    if (m_created && !dbf::DbfTable::create(m_areas.resolve(name), trackdb::trackStructure(), platform::clock().today())) {
        m_created = false;
        return false;
    }
    dbf::DbfTable* t = m_areas.use(name, kAlias);
    if (!selected.empty()) m_areas.select(selected);
    if (!t) {
        if (m_created) shell::RXDELALL(m_state.dataFolder(), name + ".*", false);
        m_created = false;
        return false;
    }
    if (t->recordLength() != trackdb::track::kRecordLength || t->fieldPos("PATH") < 0) {
        m_areas.close(kAlias);
        m_ui.warning(kTitle, "Die Datei '" + name + "' ist keine MP3-Datenbank !");
        m_created = false;
        return false;
    }
    m_name = name;
    m_paths.clear();
    const int path = t->fieldPos("PATH");
    for (uint32_t r = 1; r <= t->lastRec(); ++r) {
        t->goTo(r);
        if (!t->isDeleted()) m_paths.emplace(base::trimRight(t->raw(path)));
    }
    return true;
}

void CopyDatabase::discard() {
    const bool created = m_created;
    m_areas.close(kAlias);
    if (created && !m_name.empty()) {
        shell::RXDELALL(m_state.dataFolder(), m_name + ".*", false);
        shell::RXDELALL(m_state.dataFolder(), m_name + "?.NTX", false);
    }
    m_name.clear();
    m_created = false;
    m_paths.clear();
}

bool CopyDatabase::close() {
    dbf::DbfTable* t = table();
    const bool ok = !t || t->flush();
    m_areas.close(kAlias);
    return ok;
}

bool CopyDatabase::TRANSPUTDATA(dbf::DbfTable& track, std::string_view key) {
    KLANGO_ROUTINE("TRANSPUTDATA");
    dbf::DbfTable* t = table();
    if (!t) return false;
    const std::string path(base::trimRight(key));
    if (m_paths.count(path)) return true;
    const uint32_t before = t->lastRec();
    t->appendBlank();
    if (t->lastRec() == before) return false;
    const dbf::Structure& fields = t->structure();
    for (int i = 0; i < int(fields.size()); ++i) {
        const int from = track.fieldPos(fields[size_t(i)].name);
        if (from < 0) continue;
        const std::string_view raw = track.raw(from);
        switch (fields[size_t(i)].type) {
            case dbf::FieldType::kNumeric: t->putN(i, track.getN(from)); break;
            case dbf::FieldType::kLogical: t->putL(i, track.getL(from)); break;
            case dbf::FieldType::kDate: t->putD(i, track.getD(from)); break;
            case dbf::FieldType::kCharacter: t->putC(i, raw); break;
        }
    }
    t->putC(t->fieldPos("PATH"), path);
    if (!t->writeCurrent()) return false;
    m_paths.insert(path);
    return true;
}

}  // namespace klango::output
