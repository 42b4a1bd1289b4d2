// The copy dialog's views: the dialog bound to its model and running a real copy from its
// "&Kopieren" button, and the media list and medium change dialogs.
#include "gui/transfer_dialog_view.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/transfer_media_views.h"
#include "output/fake_media.h"
#include "output/transfer_command.h"
#include "qt_support.h"
#include "shell/settings.h"
#include "trackdb/track_record.h"

namespace klango::gui {
namespace {

namespace fs = std::filesystem;
const fs::path kResources = KLANGO_RESOURCES;

template <class View>
View* shown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<View*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(TransferDialogView, BindsTheModelAndCopiesFromItsButton) {
    Artwork::setFolder(kResources / "art");
    test::StartedShell s;
    TransferDialogView::registerWith(s.ui);
    registerTransferMediaViews(s.ui);
    const fs::path src = s.home.root() / "src";
    const fs::path out = s.home.root() / "out";
    fs::create_directories(src);
    fs::create_directories(out);
    ASSERT_TRUE(dbf::DbfTable::create(s.home.data() / "Musik.dbf", trackdb::trackStructure(), base::Date{2026, 12, 9}));
    dbf::DbfTable* t = s.shell.areas->use("Musik", "DMP3");
    ASSERT_NE(t, nullptr);
    for (const char* title : {"Eins", "Zwei"}) {
        klango::test::writeFileBytes(src / (std::string(title) + ".mp3"), std::string(2000, title[0]));
        t->appendBlank();
        t->putC(trackdb::track::PATH, (src / (std::string(title) + ".mp3")).string());
        t->putC(trackdb::track::GROUP, "\xC4rzte");
        t->putC(trackdb::track::TITLE, title);
        t->putL(trackdb::track::TAGGED, true);
        t->putN(trackdb::track::TRSIZE, 1234.5);
    }
    t->flush();
    s.shell.state.CFILE = "Musik";
    s.shell.state.settings().write(shell::keys::kDestPath, out.string());
    klango::test::FakeMedia media;
    media.setFreeBytes(uint64_t(2048) << 20);

    bool checked = false;
    QTimer::singleShot(0, [&] {
        TransferDialogView* view = shown<TransferDialogView>();
        ASSERT_NE(view, nullptr);
        checked = true;
        EXPECT_EQ(view->windowTitle(), "Datenkopie erstellen");
        EXPECT_EQ(view->destinationField()->text(), toQ(out.string()));
        EXPECT_EQ(view->neededField()->text(), "2.469,00");
        EXPECT_EQ(view->freeField()->text(), "2.048,00");
        EXPECT_TRUE(view->structureBox()->isChecked());
        EXPECT_FALSE(view->artistBox()->isEnabled());
        EXPECT_FALSE(view->noteField()->isEnabled());
        EXPECT_FALSE(view->openAfterBox()->isEnabled());
        view->structureBox()->click();
        EXPECT_TRUE(view->artistBox()->isEnabled());
        EXPECT_TRUE(view->artistBox()->isChecked() && view->albumBox()->isChecked() && view->numberBox()->isChecked());
        view->albumBox()->click();
        view->numberBox()->click();
        view->ratingButton()->click();
        EXPECT_TRUE(view->noteField()->isEnabled());
        view->allButton()->click();
        EXPECT_TRUE(view->copyButton()->isDefault());
        EXPECT_EQ(view->abortButton()->toolTip(), "Datenkopie abbrechen");
        test::screenshot(view, "transfer_dialog");
        view->copyButton()->click();
        EXPECT_EQ(view->progressText()->text(), u8q("Ärzte - Zwei (2/2)"));
        EXPECT_EQ(view->meter()->value(), 2);
    });
    EXPECT_TRUE(output::MP3TRANSFER(s.shell, media));
    EXPECT_TRUE(checked);
    EXPECT_EQ(shown<TransferDialogView>(), nullptr);
    EXPECT_EQ(klango::test::readFileBytes(out / (base::cp1252ToUtf8("\xC4rzte") + " - Eins.mp3")), std::string(2000, 'E'));
    EXPECT_TRUE(fs::exists(out / (base::cp1252ToUtf8("\xC4rzte") + " - Zwei.mp3")));
    EXPECT_FALSE(s.shell.state.settings().on(shell::keys::kOrdner));
}

TEST(TransferMediaViews, ListTheMediaAndAskForTheMissingOne) {
    test::StartedShell s;
    registerTransferMediaViews(s.ui);
    output::MediaListModel list({"CD1", "Urlaub \xDC"});
    QTimer::singleShot(0, [&] {
        MediaListView* view = shown<MediaListView>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->list()->count(), 2);
        EXPECT_EQ(view->list()->item(1)->text(), u8q("Urlaub Ü"));
        EXPECT_EQ(view->list()->currentRow(), 0);
        test::screenshot(view, "transfer_media_list");
        view->proceedButton()->click();
    });
    s.ui.runDialog(list);
    EXPECT_TRUE(list.proceeded());

    int state = 2;
    output::MediumChangeModel change("CD1", 1, [&] { return state; });
    QTimer::singleShot(0, [&] {
        MediumChangeView* view = shown<MediumChangeView>();
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), "Fehler bei Datenkopie erstellen");
        EXPECT_EQ(view->errorLabel()->text(), "Fehler: Kein Medium vorhanden");
        EXPECT_EQ(view->nameLabel()->text(), "'CD1'");
        view->proceedButton()->click();
        EXPECT_EQ(view->errorLabel()->text(), "Fehler: Falsches Medium");
        test::screenshot(view, "transfer_medium_change");
        state = 0;
        view->proceedButton()->click();
    });
    s.ui.runDialog(change);
    EXPECT_TRUE(change.mediumReady());
}

}  // namespace
}  // namespace klango::gui
