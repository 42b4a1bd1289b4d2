#include "gui/import_dialog_view.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "shell/menu_commands.h"
#include "trackdb/import_dialog_model.h"
#include "trackdb/mp3_import.h"
#include "gui/message_bar.h"
#include "gui/artwork.h"
#include "gui/qt_text.h"

namespace klango::gui {
namespace {

const std::filesystem::path kResources = KLANGO_RESOURCES;

ImportDialogView* shownImportDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<ImportDialogView*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// The job runs inside the shown dialog the way the import runs it: the fields follow the model,
// the button sets the break flag, and the dialog closes when the job asks for it.
TEST(ImportDialogView, BindsTheModelAndRunsTheJobOnce) {
    Artwork::setFolder(kResources / "art");
    test::StartedShell s;
    ImportDialogView::registerWith(s.ui);
    bool lBreak = false;
    trackdb::ImportDialogModel model(false, lBreak);
    model.fieldForeground = 0x0000FF;  // red, as a BGR number
    model.fieldBackground = 0xD0FFFF;

    int runs = 0;
    s.ui.runDialog(model, [&] {
        ++runs;
        ImportDialogView* view = shownImportDialog();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), "MP3-Import");
        EXPECT_EQ(view->size(), QSize(380, 210));
        EXPECT_FALSE(view->windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_TRUE(view->intro()->text().contains(u8q("importiert")));
        if (!Artwork::file("IMPORT").isEmpty()) {
            EXPECT_FALSE(view->picture()->pixmap().isNull());
        }
        EXPECT_EQ(view->pathField()->palette().color(QPalette::Window), QColor(255, 255, 208));
        EXPECT_EQ(view->pathField()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(view->interruptButton()->text(), "&Unterbrechen");
        EXPECT_EQ(view->interruptButton()->toolTip(), "Suche unterbrechen");

        model.setTotal(4);
        model.setPosition(3);
        model.setPath("/media/cd/Musik \xC4rzte/");  // CP1252 reaches the view as text
        model.setFile("Lied \xFC" "ber.mp3");
        EXPECT_EQ(view->pathField()->text(), u8q("/media/cd/Musik Ärzte/"));
        EXPECT_EQ(view->fileField()->text(), u8q("Lied über.mp3"));
        EXPECT_EQ(view->bar()->maximum(), 4);
        EXPECT_EQ(view->bar()->value(), 3);
        // A position past the end (files found after the count) keeps the bar full, not broken.
        model.setPosition(9);
        EXPECT_EQ(view->bar()->value(), 4);
        test::screenshot(view, "import_dialog");

        EXPECT_FALSE(lBreak);
        view->interruptButton()->click();
        EXPECT_TRUE(lBreak);
        EXPECT_TRUE(model.interrupted());
        EXPECT_FALSE(view->interruptButton()->isEnabled());
        model.requestClose();
    });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(shownImportDialog(), nullptr);
    // The view let go of the model: later changes reach no dead widget.
    EXPECT_FALSE(bool(model.onChanged));
    model.setFile("danach.mp3");
}

TEST(ImportDialogView, UpdateIntroAndHugeTotals) {
    bool lBreak = false;
    trackdb::ImportDialogModel model(true, lBreak);
    ImportDialogView view(model);
    EXPECT_TRUE(view.intro()->text().contains(u8q("aktualisiert")));
    model.setTotal(5'000'000'000L);
    model.setPosition(2'500'000'000L);
    EXPECT_GT(view.bar()->maximum(), 0);
    EXPECT_NEAR(double(view.bar()->value()) / view.bar()->maximum(), 0.5, 0.01);
    model.setTotal(0);  // nothing found yet: an empty bar, not a busy indicator
    EXPECT_GT(view.bar()->maximum(), view.bar()->minimum());
    EXPECT_EQ(view.bar()->value(), 0);
}

// The program's Ui with the folder and file choices answered, so that the whole import runs
// through the real dialog.
class AnsweringUi : public QtUi {
public:
    std::string folder;
    std::string database;
    std::vector<std::string> warnings;
    std::string chooseFolder(const std::string&, const std::string&) override { return folder; }
    std::string saveFile(const ui::FileDialogRequest&) override { return database; }
    void warning(const std::string&, const std::string& text) override { warnings.push_back(text); }
    void info(const std::string&, const std::string&) override {}
    bool yesNo(const std::string&, const std::string&, bool) override { return false; }
    // What the shown dialog said while the job let events through.
    QStringList seenFiles;
    void processEvents() override {
        if (ImportDialogView* view = shownImportDialog()) seenFiles << view->fileField()->text();
        QtUi::processEvents();
    }
};

TEST(ImportDialogView, NewRunsTheImportInTheDialogAndShowsTheCounts) {
    klango::test::TempHome home;
    const std::filesystem::path music = home.root() / "musik";
    std::filesystem::create_directories(music / "sub");
    for (const char* name : {"Band - Eins.mp3", "sub/Band - Zwei.mp3", "sub/Band - Drei.MP3"})
        klango::test::writeFileBytes(music / name, std::string(600, '\0'));
    AnsweringUi ui;
    ImportDialogView::registerWith(ui);
    MessageBar bar;
    ui.setMessageBar(&bar);
    shell::Shell sh{ui};
    const auto cwd = std::filesystem::current_path();
    shell::startUp(sh, home.root());
    shell::afterStartScreen(sh);
    std::filesystem::current_path(cwd);
    ui.setState(sh.state);
    shell::placeMainWindow(sh, {0, 0, 768, 1024});
    shell::buildMenu(sh);
    ui.folder = base::utf8ToCp1252(music.string());
    ui.database = base::utf8ToCp1252((home.data() / "Sammlung.dbf").string());

    sh.hooks.MP3IMPORT = [&] { return trackdb::MP3IMPORT(sh.state, *sh.areas, ui); };
    ASSERT_TRUE(shell::commandAvailable(shell::MenuCommand::New, sh.hooks));
    shell::runMenuCommand(sh, shell::MenuCommand::New);
    EXPECT_TRUE(ui.warnings.empty());
    EXPECT_EQ(shownImportDialog(), nullptr);
    ASSERT_FALSE(ui.seenFiles.isEmpty()) << "the job ran without the dialog";
    EXPECT_TRUE(ui.seenFiles.contains(u8q("Band - Drei.MP3"))) << ui.seenFiles.join('|').toStdString();
    EXPECT_EQ(bar.item(ui::MessageItem::Base)->text(), "SAMMLUNG");
    EXPECT_EQ(bar.item(ui::MessageItem::Records)->text(), "Titel: 3");
    EXPECT_EQ(sh.areas->get("DMP3"), nullptr);
}

}  // namespace
}  // namespace klango::gui
