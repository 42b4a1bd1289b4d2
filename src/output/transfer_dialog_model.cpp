#include "output/transfer_dialog_model.h"

#include "base/cp1252.h"
#include "base/text_format.h"

namespace klango::output {

TransferDialogModel::TransferDialogModel(TransferOptions options, bool tableHasMarks, double neededMB, Actions actions)
    : m_options(std::move(options)), m_hasMarks(tableHasMarks), m_neededMB(neededMB), m_actions(std::move(actions)) {
    if (!m_hasMarks) m_options.LTAGGED = false;
    if (m_actions.freeMB) m_freeMB = m_actions.freeMB(m_options.CPATH);
}

std::string TransferDialogModel::megabytes(double mb) { return std::string(base::trim(base::pictureE(mb, 14, 2))); }

void TransferDialogModel::chooseDestination() {
    if (m_running || !m_actions.chooseFolder) return;
    const std::string chosen = m_actions.chooseFolder(m_options.CPATH);
    if (chosen.empty()) return;
    m_options.CPATH = chosen;
    if (m_actions.freeMB) m_freeMB = m_actions.freeMB(m_options.CPATH);
    changed();
}

void TransferDialogModel::setSelection(int selection) {
    m_options.NAUSWAHL = selection == 2 ? 2 : 1;
    changed();
}

void TransferDialogModel::setNote(int note) {
    m_options.NNOTE = note < 0 ? 0 : note > 9 ? 9 : note;
    changed();
}

void TransferDialogModel::setTagged(bool on) {
    m_options.LTAGGED = on && m_hasMarks;
    changed();
}

void TransferDialogModel::setStructured(bool on) {
    m_options.LORDNER = on;
    m_options.LGROUP = m_options.LALBUM = m_options.LTRACK = !on;
    changed();
}

void TransferDialogModel::setArtist(bool on) {
    m_options.LGROUP = on;
    changed();
}
void TransferDialogModel::setAlbum(bool on) {
    m_options.LALBUM = on;
    changed();
}
void TransferDialogModel::setNumber(bool on) {
    m_options.LTRACK = on;
    changed();
}

void TransferDialogModel::setDatabase(bool on) {
    m_database = on;
    if (m_actions.database && !m_actions.database(on)) m_database = false;
    if (!m_database) m_openAfter = false;
    changed();
}

void TransferDialogModel::setOpenAfter(bool on) {
    m_openAfter = on && m_database;
    changed();
}

void TransferDialogModel::setProgress(const TransferProgress& progress) {
    m_progress = progress;
    m_freeMB = progress.freeMB;
    changed();
}

void TransferDialogModel::copy() {
    if (!copyEnabled() || !m_actions.copy) return;
    m_running = true;
    changed();
    const bool done = m_actions.copy();
    m_running = false;
    if (done) {
        m_completed = true;
        requestClose();
    } else {
        changed();
    }
}

void TransferDialogModel::abort() {
    if (m_running) {
        if (m_stop) *m_stop = true;
        return;
    }
    m_aborted = true;
    requestClose();
}

void TransferDialogModel::closeBox() {
    if (m_running) {
        if (m_stop) *m_stop = true;
        return;
    }
    requestClose();
}

}  // namespace klango::output
