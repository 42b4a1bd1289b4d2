#include "output/transfer_command.h"

#include "base/call_stack.h"
#include "base/cp1252.h"
#include "output/copy_database.h"
#include "output/transfer_dialog_model.h"
#include "output/transfer_options.h"
#include "output/transfer_run.h"
#include "shell/rx_helpers.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;
using klango::trackdb::track::Field;

namespace klango::output {

double markedMegabytes(dbf::DbfTable& t) {
    const uint32_t keep = t.recNo();
    double mb = 0;
    for (uint32_t r = 1; r <= t.lastRec(); ++r) {
        t.goTo(r);
        if (!t.isDeleted() && t.getL(Field::TAGGED)) mb += t.getN(Field::TRSIZE);
    }
    t.goTo(keep);
    return mb;
}

std::string startDestination(const std::string& stored) {
    if (stored.empty()) return stored;
    std::error_code ec;
    return fs::exists(fs::path(base::cp1252ToUtf8(stored)), ec) ? stored : std::string("/");
}

bool MP3TRANSFER(shell::Shell& sh, const platform::Media& media) {
    KLANGO_ROUTINE("MP3TRANSFER");
    ui::Ui& ui = *sh.ui;
    dbf::DbfTable* table = sh.areas ? sh.areas->get("DMP3") : nullptr;
    if (!table) return false;
    const long marked = shell::NUMTAGGED(*table, false, sh.state);
    if (marked == 0) {
        ui.warning("Problem", "Sie haben keine Daten markiert!");
        return false;
    }
    const shell::Settings settings = sh.state.settings();
    TransferOptions options = readTransferOptions(settings, sh.state.LTAB_TAGG);
    options.CPATH = startDestination(options.CPATH);
    const bool hasMarks = sh.state.LTAB_TAGG;
    ui.setHelpTopic("Datenkopie");

    const std::optional<std::string> programLabel = media.label(media.driveOf(sh.state.CRUNIN));
    CopyDatabase database(sh.state, *sh.areas, ui);
    TransferDialogModel* dialog = nullptr;
    TransferDialogModel::Actions actions;
    actions.chooseFolder = [&](const std::string& start) { return ui.chooseFolder("Ziel-Ordner", start); };
    actions.freeMB = [&](const std::string& destination) { return freeMegabytes(media, destination); };
    actions.database = [&](bool on) {
        const bool ok = database.TRANSDBASE(on);
        dialog->setDatabaseName(database.CNEWFILE());
        return ok;
    };
    actions.copy = [&] {
        TransferRun run(dialog->options(), media, ui, *table, database.isOpen() ? &database : nullptr,
                        programLabel ? base::utf8ToCp1252(*programLabel) : std::string());
        run.onProgress = [&](const TransferProgress& p) { dialog->setProgress(p); };
        dialog->setStopFlag(&run.stopFlag());
        const bool done = run.TRANSFERIT();
        dialog->setStopFlag(nullptr);
        return done;
    };
    TransferDialogModel model(options, hasMarks, markedMegabytes(*table), std::move(actions));
    dialog = &model;
    ui.runDialog(model);
    writeTransferOptions(settings, model.options(), hasMarks);

    const bool openCopy = model.completed() && database.isOpen() && model.openAfter();
    const std::string copyName = database.CNEWFILE();
    if (model.aborted()) {
        database.discard();
    } else {
        database.close();
    }
    ui.setHelpTopic("Hauptauswahl");
    if (openCopy && sh.hooks.MP3TABLE) {
        sh.state.CFILE = copyName;
        sh.hooks.MP3TABLE(false);
        return true;
    }
    // The open database stays as it was: its marks counted again, the grid redrawn.
    if (dbf::DbfTable* t = sh.areas->get("DMP3")) {
        const long now = shell::NUMTAGGED(*t, false, sh.state);
        ui.setMessageItem(ui::MessageItem::Tagged, "Markiert: " + std::to_string(now));
    }
    if (sh.hooks.refreshGrid) sh.hooks.refreshGrid();
    return model.completed();
}

}  // namespace klango::output
