#include "dbf/work_areas.h"

#include "platform/clock.h"
#include "platform/file_names.h"
#include "base/cp1252.h"

namespace klango::dbf {

namespace fs = std::filesystem;

namespace {
std::string aliasKey(std::string_view alias) { return base::upperAZ(base::trim(alias)); }
}  // namespace

WorkAreas::WorkAreas(fs::path defaultFolder) : m_defaultFolder(std::move(defaultFolder)) {}

WorkAreas::~WorkAreas() {
    m_closeListener = nullptr;  // whoever listened may be gone already
    closeAll();
}

fs::path WorkAreas::resolve(std::string_view nameOrPath, std::string_view defaultExtension) const {
    // Names are core texts (CP1252); the file system names files in UTF-8.
    std::string name = base::cp1252ToUtf8(base::trim(nameOrPath));
    fs::path given(name);
    if (!given.has_extension() && !defaultExtension.empty()) {
        name += std::string(defaultExtension);
        given = fs::path(name);
    }
    if (!given.has_parent_path()) return platform::resolveCaseBlind(m_defaultFolder, name);
    if (given.is_absolute()) {
        // A full path is the user's: only the file name itself is matched case-blind.
        return platform::resolveCaseBlind(given.parent_path(), given.filename().string());
    }
    // A relative folder is one of the program's own ("Daten/Rock.dbf"): every part case-blind.
    return platform::resolveCaseBlind(fs::path(), name);
}

WorkAreas::Area* WorkAreas::find(std::string_view alias) {
    std::string key = aliasKey(alias);
    for (auto& a : m_areas) {
        if (a.alias == key) return &a;
    }
    return nullptr;
}

const WorkAreas::Area* WorkAreas::find(std::string_view alias) const {
    return const_cast<WorkAreas*>(this)->find(alias);
}

void WorkAreas::setCloseListener(CloseListener listener) { m_closeListener = std::move(listener); }

void WorkAreas::closing(const Area& area) {
    if (m_closeListener) m_closeListener(area.alias, *area.table);
    area.table->close();
}

DbfTable* WorkAreas::use(std::string_view nameOrPath, std::string_view alias) {
    return useFile(resolve(nameOrPath), alias);
}

DbfTable* WorkAreas::useFile(const fs::path& file, std::string_view alias) {
    std::string key = aliasKey(alias);
    close(key);
    std::unique_ptr<DbfTable> table = DbfTable::open(file);
    if (!table) return nullptr;
    DbfTable* raw = table.get();
    m_areas.push_back({key, std::move(table)});
    m_selected = key;
    return raw;
}

bool WorkAreas::create(std::string_view nameOrPath, const Structure& fields) {
    return DbfTable::create(resolve(nameOrPath), fields, platform::clock().today());
}

DbfTable* WorkAreas::get(std::string_view alias) const {
    const Area* a = find(alias);
    return a ? a->table.get() : nullptr;
}

bool WorkAreas::select(std::string_view alias) {
    if (!find(alias)) return false;
    m_selected = aliasKey(alias);
    return true;
}

DbfTable* WorkAreas::selected() const { return get(m_selected); }

void WorkAreas::close(std::string_view alias) {
    std::string key = aliasKey(alias);
    for (auto it = m_areas.begin(); it != m_areas.end(); ++it) {
        if (it->alias == key) {
            closing(*it);
            m_areas.erase(it);
            break;
        }
    }
}

void WorkAreas::closeAll() {
    for (auto& a : m_areas) closing(a);
    m_areas.clear();
}

std::vector<std::string> WorkAreas::aliases() const {
    std::vector<std::string> out;
    for (const auto& a : m_areas) out.push_back(a.alias);
    return out;
}

}  // namespace klango::dbf
