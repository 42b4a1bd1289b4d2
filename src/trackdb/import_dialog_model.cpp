#include "trackdb/import_dialog_model.h"

#include <utility>

namespace klango::trackdb {

ImportDialogModel::ImportDialogModel(bool update, bool& breakFlag)
    : m_intro(update ? "Die Titel-Informationen werden nun aktualisiert, bitte warten ..."
                     : "Die Titel-Informationen werden nun importiert, bitte warten ..."),
      m_break(breakFlag) {}

void ImportDialogModel::setPath(std::string path) {
    m_path = std::move(path);
    changed();
}

void ImportDialogModel::setFile(std::string file) {
    m_file = std::move(file);
    changed();
}

void ImportDialogModel::setTotal(long total) {
    m_total = total < 0 ? 0 : total;
    changed();
}

void ImportDialogModel::setPosition(long position) {
    m_position = position;
    changed();
}

void ImportDialogModel::interrupt() {
    m_break = true;
    changed();
}

}  // namespace klango::trackdb
