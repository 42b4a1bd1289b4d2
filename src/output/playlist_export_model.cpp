#include "output/playlist_export_model.h"

#include "base/cp1252.h"

namespace klango::output {

std::string withM3uExtension(const std::string& name) {
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".M3U") == 0) return name;
    return name + ".M3U";
}

PlaylistExportModel::PlaylistExportModel(Values values) : m_values(std::move(values)) {
    if (m_values.fileName.size() > kNameWidth) m_values.fileName.resize(kNameWidth);
}

std::string PlaylistExportModel::fieldText() const {
    return base::padRight(m_values.fileName, kNameWidth);
}

void PlaylistExportModel::setTagged(bool on) {
    m_values.tagged = on;
    changed();
}

void PlaylistExportModel::setPlayNow(bool on) {
    m_values.playNow = on;
    changed();
}

void PlaylistExportModel::setDelMark(bool on) {
    m_values.delMark = on;
    changed();
}

void PlaylistExportModel::setAppend(bool on) {
    m_values.append = on;
    if (on) m_values.delMark = true;
    changed();
}

void PlaylistExportModel::setFileName(const std::string& text) {
    std::string name = base::upperAZ(text);
    if (name.size() > kNameWidth) name.resize(kNameWidth);
    m_values.fileName = std::move(name);
    changed();
}

std::string PlaylistExportModel::trimmedName() const {
    return std::string(base::trim(m_values.fileName));
}

void PlaylistExportModel::accept() {
    m_accepted = true;
    requestClose();
}

void PlaylistExportModel::cancel() {
    m_accepted = false;
    requestClose();
}

}  // namespace klango::output
