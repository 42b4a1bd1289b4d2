#include "gui/edit_dialog_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "table/edit_dialog_model.h"
#include "table/grid_test_table.h"
#include "gui/artwork.h"
#include "gui/help_window.h"
#include "gui/qt_text.h"

namespace klango::gui {
namespace {

using M = table::EditDialogModel;
namespace t = trackdb::track;

const std::filesystem::path kResources = KLANGO_RESOURCES;

EditDialogView* shownEditDialog() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<EditDialogView*>(w); d && d->isVisible()) return d;
    return nullptr;
}

void key(QWidget* widget, int code, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(widget, &release);
}

// Types text key by key, as the keyboard delivers it.
void type(QWidget* widget, const QString& text) {
    for (QChar c : text) key(widget, c.toUpper().unicode(), QString(c));
}

// Gives a field the focus the way Tab does, so that the field is entered.
void enter(QLineEdit* field) {
    field->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

class EditDialogViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Artwork::setFolder(kResources / "art");
        table = table::gridtest::makeTrackTable(home, "Test");
        ASSERT_TRUE(table);
        table::gridtest::Track track;
        track.group = "Gr\xF6\xDF" "e";
        track.album = "Live in M\xFCnchen";
        track.title = "Stra\xDF" "e";
        track.genre = "Pop";
        track.time = "03:05";
        track.year = 1999;
        track.track = 7;
        track.range = 3;
        track.played = 12;
        track.playDate = base::Date{2026, 12, 1};
        track.playTime = "21:30";
        track.disc = "CD-\xC4rzte";
        recno = table::gridtest::addTrack(*table, track);
        table->putC(t::INFO, "live");
        table->putC(t::PATH, "/media/cd/Gr\xF6\xDF" "e/Stra\xDF" "e.mp3");
        table->flush();
        model = std::make_unique<M>(*table, recno, state);
        ASSERT_TRUE(model->loaded());
    }

    std::string stored(int field) {
        table->goTo(recno);
        return std::string(base::trimRight(table->getC(field)));
    }

    klango::test::TempHome home;
    shell::AppState state;
    std::unique_ptr<dbf::DbfTable> table;
    uint32_t recno = 0;
    std::unique_ptr<M> model;
};

TEST_F(EditDialogViewTest, ShowsEveryLabelAndValueInItsOwnPlaceAndColours) {
    EditDialogView view(*model);
    EXPECT_EQ(view.objectName(), "editDialog");
    EXPECT_EQ(view.size(), QSize(433, 295));
    EXPECT_EQ(view.windowTitle(), "Datensatz editieren");
    if (!Artwork::file("EDITRECO").isEmpty()) {
        EXPECT_FALSE(view.windowIcon().isNull());
    }
    EXPECT_EQ(view.palette().color(QPalette::Window), QColor(255, 255, 255));

    EXPECT_EQ(view.label(M::Year)->text(), u8q("VÖ-Jahr"));
    EXPECT_EQ(view.hint(M::Time)->text(), "mm:ss");
    EXPECT_EQ(view.hint(M::Range)->text(), "( 0...9 )");
    EXPECT_EQ(view.hint(M::Played)->text(), "mal");
    EXPECT_EQ(view.hint(M::PlayDate)->text(), "TT.MM.JJ");
    EXPECT_EQ(view.hint(M::PlayTime)->text(), "(hh:mm)");
    EXPECT_EQ(view.hint(M::Group), nullptr);

    // CP1252 values reach the fields as the letters they are.
    EXPECT_EQ(view.field(M::Group)->text(), u8q("Größe"));
    EXPECT_EQ(view.field(M::Album)->text(), u8q("Live in München"));
    EXPECT_EQ(view.field(M::Year)->text(), "1999");
    EXPECT_EQ(view.field(M::Played)->text(), "12");
    EXPECT_EQ(view.field(M::PlayDate)->text(), "01.12.2026");
    EXPECT_EQ(view.field(M::DiscName)->text(), u8q("CD-Ärzte"));
    EXPECT_EQ(view.field(M::Path)->text(), u8q("/media/cd/Größe/Straße.mp3"));

    const QColor editable(255, 255, 208), shown(255, 255, 140);
    QFontMetrics metrics(view.font());
    std::vector<QWidget*> placed;
    for (int slot = 0; slot < M::kFieldCount; ++slot) {
        SCOPED_TRACE(slot);
        const table::EditFieldDef& def = M::fields()[size_t(slot)];
        QLineEdit* field = view.field(slot);
        EXPECT_EQ(view.label(slot)->text(), toQ(def.label));
        EXPECT_EQ(view.label(slot)->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        EXPECT_EQ(field->maxLength(), def.places);
        EXPECT_EQ(bool(field->alignment() & Qt::AlignHCenter), def.centred);
        EXPECT_EQ(field->isReadOnly(), !model->editable(slot));
        EXPECT_EQ(bool(field->focusPolicy() & Qt::TabFocus), model->editable(slot));
        EXPECT_EQ(field->palette().color(QPalette::Base), model->editable(slot) ? editable : shown);
        EXPECT_EQ(field->palette().color(QPalette::Text), QColor(1, 0, 0));  // NCOLF 1
        // A short field holds all its places, and no label is cut.
        if (def.places <= 10) {
            EXPECT_GE(field->width(), metrics.horizontalAdvance(QString(def.places, '0')) + 8);
        }
        EXPECT_GE(view.label(slot)->width(), metrics.horizontalAdvance(view.label(slot)->text()));
        placed.push_back(view.label(slot));
        placed.push_back(field);
        if (view.hint(slot)) placed.push_back(view.hint(slot));
    }
    // Nothing overlaps, and everything lies inside the frame, which lies above the buttons.
    const QRect inner = view.frame()->contentsRect();
    for (size_t i = 0; i < placed.size(); ++i) {
        SCOPED_TRACE(placed[i]->objectName().toStdString());
        EXPECT_TRUE(inner.contains(placed[i]->geometry()));
        for (size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(placed[i]->geometry().intersects(placed[j]->geometry())) << placed[j]->objectName().toStdString();
    }
    // The play data stand right of play time, year and track number.
    EXPECT_GT(view.field(M::Played)->x(), view.hint(M::Time)->geometry().right());
    EXPECT_EQ(view.field(M::PlayDate)->y(), view.field(M::Year)->y());

    const std::array<QPushButton*, 3> buttons = {view.saveButton(), view.helpButton(), view.quitButton()};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), toQ(M::buttons()[i].caption));
        EXPECT_EQ(buttons[i]->toolTip(), toQ(M::buttons()[i].toolTip));
        EXPECT_FALSE(buttons[i]->autoDefault() || buttons[i]->isDefault());
        EXPECT_GT(buttons[i]->y(), view.frame()->geometry().bottom());
        EXPECT_LE(buttons[i]->geometry().right(), view.width());
        if (i > 0) {
            EXPECT_EQ(buttons[i]->y(), buttons[0]->y());
            EXPECT_GT(buttons[i]->x(), buttons[i - 1]->geometry().right());
        }
    }
    EXPECT_EQ(view.saveButton()->text(), "&Speichern");

    // Tab walks the editable fields from "Interpret" to "Benotung", then the buttons.
    std::vector<QWidget*> chain;
    QWidget* w = view.field(M::Group);
    for (int i = 0; i < 12; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus)) w = w->nextInFocusChain();
        chain.push_back(w);
    }
    const std::vector<QWidget*> expected = {
        view.field(M::Group), view.field(M::Album), view.field(M::Title), view.field(M::Genre),
        view.field(M::Time),  view.field(M::Year),  view.field(M::Track), view.field(M::Info),
        view.field(M::Range), view.saveButton(),    view.helpButton(),    view.quitButton()};
    EXPECT_EQ(chain, expected);
}

// Typing runs through the shown dialog the way the user types, and "&Speichern" writes it.
TEST_F(EditDialogViewTest, KeysGoThroughTheModelAndSaveWritesTheRecord) {
    test::StartedShell s;
    EditDialogView::registerWith(s.ui);
    int runs = 0;
    s.ui.runDialog(*model, [&] {
        ++runs;
        EditDialogView* view = shownEditDialog();
        if (!view) {
            ADD_FAILURE() << "no edit dialog shown";
            model->requestClose();
            return;
        }
        EXPECT_EQ(view->size(), QSize(433, 295));

        // The first key replaces the whole text; umlauts arrive as CP1252 bytes.
        QLineEdit* group = view->field(M::Group);
        enter(group);
        type(group, u8q("Ärzte"));
        EXPECT_EQ(model->value(M::Group), "\xC4rzte");
        EXPECT_EQ(group->text(), u8q("Ärzte"));
        // Typed in front of the text it is inserted there, not appended.
        group->setCursorPosition(0);
        type(group, u8q("Die "));
        EXPECT_EQ(model->value(M::Group), "Die \xC4rzte");
        EXPECT_EQ(group->cursorPosition(), 4);
        key(group, Qt::Key_End);
        key(group, Qt::Key_Backspace, "\b");
        EXPECT_EQ(model->value(M::Group), "Die \xC4rzt");
        // A character the code page lacks becomes what the model stores.
        QApplication::clipboard()->setText(u8q("ł"));
        key(group, Qt::Key_V, "\x16", Qt::ControlModifier);
        if (QApplication::clipboard()->text() == u8q("ł")) {
            EXPECT_EQ(model->value(M::Group), "Die \xC4rzt?");
            EXPECT_EQ(group->text(), toQ("Die \xC4rzt?"));
        }

        // Clicked into, with nothing selected, the field is entered all the same.
        QLineEdit* genre = view->field(M::Genre);
        genre->setFocus(Qt::MouseFocusReason);
        genre->setCursorPosition(1);
        type(genre, "Jazz");
        EXPECT_EQ(model->value(M::Genre), "Jazz");

        // A letter in the year changes nothing, not even the pending replacement.
        QLineEdit* year = view->field(M::Year);
        enter(year);
        type(year, "x");
        EXPECT_EQ(model->value(M::Year), "1999");
        EXPECT_EQ(year->text(), "1999");
        type(year, "20245");
        EXPECT_EQ(model->value(M::Year), "2024");
        EXPECT_EQ(year->text(), "2024");
        // Pasted letters are refused as a whole; the field shows the model's value again.
        QApplication::clipboard()->setText("12ab");
        year->selectAll();
        key(year, Qt::Key_V, "\x16", Qt::ControlModifier);
        EXPECT_EQ(model->value(M::Year), "2024");
        EXPECT_EQ(year->text(), "2024");
        year->setCursorPosition(0);
        type(year, "1");  // a fifth digit in front does not fit
        EXPECT_EQ(year->text(), "2024");

        // The rating takes the digit typed; its first key does not need to replace.
        QLineEdit* range = view->field(M::Range);
        enter(range);
        type(range, "7");
        EXPECT_EQ(model->value(M::Range), "7");
        EXPECT_EQ(range->text(), "7");

        // The play count can be clicked into but not changed, by keys or by paste.
        QLineEdit* played = view->field(M::Played);
        played->setFocus(Qt::MouseFocusReason);
        type(played, "5");
        key(played, Qt::Key_Backspace, "\b");
        QApplication::clipboard()->setText("99");
        key(played, Qt::Key_V, "\x16", Qt::ControlModifier);
        EXPECT_EQ(played->text(), "12");
        EXPECT_EQ(model->value(M::Played), "12");

        // Enter saves nothing behind the user's back.
        key(range, Qt::Key_Return, "\r");
        EXPECT_TRUE(view->isVisible());
        EXPECT_FALSE(model->saved());

        test::screenshot(view, "edit_dialog");
        view->saveButton()->click();
    });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(shownEditDialog(), nullptr);
    EXPECT_TRUE(model->saved());
    EXPECT_FALSE(bool(model->onChanged));
    ASSERT_TRUE(model->commit());
    EXPECT_EQ(stored(t::GROUP).substr(0, 8), "Die \xC4rzt");
    EXPECT_EQ(table->getN(t::YEAR), 2024);
    EXPECT_EQ(table->getN(t::RANGE), 7);
    EXPECT_EQ(table->getN(t::PLAYED), 12);
    EXPECT_EQ(stored(t::ALBUM), "Live in M\xFCnchen");
    EXPECT_EQ(stored(t::GENRE), "Jazz");
}

TEST_F(EditDialogViewTest, EscapeAndTheCloseBoxLeaveTheRecordUnchanged) {
    test::StartedShell s;
    EditDialogView::registerWith(s.ui);
    s.ui.runDialog(*model, [&] {
        EditDialogView* view = shownEditDialog();
        if (!view) {
            ADD_FAILURE() << "no edit dialog shown";
            model->requestClose();
            return;
        }
        enter(view->field(M::Title));
        type(view->field(M::Title), "Neu");
        EXPECT_EQ(model->value(M::Title), "Neu");
        key(view->field(M::Title), Qt::Key_Escape);
    });
    EXPECT_EQ(shownEditDialog(), nullptr);
    EXPECT_FALSE(model->saved());
    EXPECT_FALSE(model->commit());
    EXPECT_EQ(stored(t::TITLE), "Stra\xDF" "e");

    M second(*table, recno, state);
    s.ui.runDialog(second, [&] {
        EditDialogView* view = shownEditDialog();
        if (!view) {
            ADD_FAILURE() << "no edit dialog shown";
            second.requestClose();
            return;
        }
        type(view->field(M::Album), "X");
        view->close();
    });
    EXPECT_EQ(shownEditDialog(), nullptr);
    EXPECT_FALSE(second.saved());
    EXPECT_FALSE(second.commit());
    EXPECT_EQ(stored(t::ALBUM), "Live in M\xFCnchen");
}

// "&Hilfe" opens the help at the dialog's topic and leaves the dialog open; "&Beenden" closes it.
TEST_F(EditDialogViewTest, HelpShowsTheTopicAndQuitCloses) {
    test::StartedShell s;
    HelpWindow help;
    help.setHelpFolder(kResources / "help");
    s.ui.setHelpWindow(&help);
    EditDialogView::registerWith(s.ui);
    s.ui.runDialog(*model, [&] {
        EditDialogView* view = shownEditDialog();
        if (!view) {
            ADD_FAILURE() << "no edit dialog shown";
            model->requestClose();
            return;
        }
        QLineEdit* group = view->field(M::Group);
        enter(group);
        type(group, "A");
        view->helpButton()->click();
        EXPECT_TRUE(help.isVisible());
        EXPECT_EQ(help.currentAnchor(), "datensatz-editieren");
        EXPECT_TRUE(view->isVisible());
        // Back from the help window the user goes on typing: that is no new entry into the field.
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(group, &away);
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(group, &back);
        type(group, "b");
        EXPECT_EQ(model->value(M::Group), "Ab");
        // Leaving for another field and coming back is.
        QFocusEvent tabbed(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(group, &tabbed);
        QFocusEvent returned(QEvent::FocusIn, Qt::BacktabFocusReason);
        QApplication::sendEvent(group, &returned);
        type(group, "c");
        EXPECT_EQ(model->value(M::Group), "c");
        view->quitButton()->click();
    });
    EXPECT_EQ(shownEditDialog(), nullptr);
    EXPECT_FALSE(model->saved());
    EXPECT_FALSE(bool(model->onHelp));
    help.close();
}

}  // namespace
}  // namespace klango::gui
