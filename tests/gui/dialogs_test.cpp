#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "qt_support.h"
#include "gui/about_box.h"
#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/help_window.h"
#include "gui/msg_meter_dialog.h"
#include "gui/qt_text.h"

namespace klango::gui {
namespace {

const std::filesystem::path kResources = KLANGO_RESOURCES;

void leftClick(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEST(AboutBox, StartScreenTimerAndClick) {
    Artwork::setFolder(kResources / "art");
    {
        AboutBox box(u8q("Klango v1.50.17"), true);
        EXPECT_EQ(box.size(), QSize(320, 200));
        EXPECT_EQ(box.windowTitle(), "Klango v1.50.17");
        EXPECT_FALSE(box.timerRunning());  // it starts with the first painting
        box.show();
        ASSERT_TRUE(test::spinUntil([&] { return box.timerRunning(); }));
        EXPECT_EQ(box.palette().color(QPalette::Window), QColor(255, 255, 255));
        if (!Artwork::file("About").isEmpty()) {
            EXPECT_FALSE(box.findChild<QLabel*>("aboutPicture")->pixmap().isNull());
        }
        test::screenshot(&box, "about_box");
        // A click on the picture closes the box, and the timer ends with it.
        leftClick(box.findChild<QLabel*>("aboutPicture"));
        EXPECT_FALSE(box.isVisible());
        EXPECT_FALSE(box.timerRunning());
    }
    {
        AboutBox box(u8q("Klango v1.50.17"), false);
        box.show();
        ASSERT_TRUE(test::spinUntil([&] { return box.isVisible(); }));
        QApplication::processEvents();
        EXPECT_FALSE(box.timerRunning());
    }
}

TEST(HelpWindow, OpensAtTheTopicAndListsTheKeywords) {
    Artwork::setFolder(kResources / "art");
    HelpWindow help;
    help.setHelpFolder(kResources / "help");
    ASSERT_TRUE(help.hasDocument());
    help.showTopic("Filter setzen");
    EXPECT_EQ(help.currentAnchor(), "filter-setzen");
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.browser()->source().isLocalFile());
    EXPECT_GT(help.keywordList()->count(), 20);
    EXPECT_TRUE(help.browser()->toPlainText().contains(u8q("Filter setzen")));
    help.resize(900, 600);
    help.showTopic("Filter setzen");  // the resize moved the page; the topic comes back to the top
    QApplication::processEvents();
    test::screenshot(&help, "help_window");

    // The index: typing narrows the list; Enter opens the first keyword that is left.
    help.showIndex({});
    help.searchLine()->setText(u8q("Abspielz"));
    int visible = 0;
    QString first;
    for (int i = 0; i < help.keywordList()->count(); ++i)
        if (!help.keywordList()->item(i)->isHidden()) {
            if (!visible) first = help.keywordList()->item(i)->data(Qt::UserRole).toString();
            ++visible;
        }
    EXPECT_GE(visible, 1);
    emit help.searchLine()->returnPressed();
    EXPECT_EQ(QString::fromStdString(help.currentAnchor()), first);

    // F1 opens the topic the Ui holds.
    QtUi ui;
    ui.setHelpWindow(&help);
    ui.setHelpTopic("Datensatz editieren");
    ui.showHelp();
    EXPECT_EQ(help.currentAnchor(), "datensatz-editieren");
    help.close();
}

TEST(HelpWindow, MissingDocumentIsSaidInGerman) {
    HelpWindow help;
    help.setHelpFolder("/nonexistent/help");
    help.showTopic({});
    EXPECT_TRUE(help.browser()->toPlainText().contains("Hilfe nicht gefunden"));
    EXPECT_EQ(help.keywordList()->count(), 0);
    help.close();
}

TEST(MsgMeterDialog, ShowsEveryStepOfTheCommand) {
    int events = 0;
    MsgMeterDialog dialog("Bitte warten", "Lese Dateien", [&] { ++events; });
    std::vector<int> seen;
    dialog.onUpdated = [&](const MsgMeterDialog& d) { seen.push_back(d.bar()->value()); };
    bool visibleInside = false;
    ui::Meter* meterSeen = nullptr;
    dialog.run([&](ui::Meter& m) {
        meterSeen = &m;
        visibleInside = dialog.isVisible();
        m.setTotal(4);
        for (int i = 1; i <= 4; ++i) m.setPosition(i);
        m.setText("Fertig");
        EXPECT_EQ(dialog.textLine()->text(), "Fertig");
        EXPECT_EQ(dialog.bar()->maximum(), 4);
        // A total beyond int keeps its proportion.
        m.setTotal(10'000'000'000L);
        m.setPosition(5'000'000'000L);
        EXPECT_NEAR(double(dialog.bar()->value()) / dialog.bar()->maximum(), 0.5, 0.001);
        m.setPosition(-3);
        EXPECT_EQ(dialog.bar()->value(), 0);
    });
    EXPECT_TRUE(visibleInside);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NE(meterSeen, nullptr);
    EXPECT_EQ((std::vector<int>(seen.begin() + 1, seen.begin() + 6)), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_GE(events, 6);
}

TEST(QtUi, YesNoPreselectsNoUnlessToldOtherwise) {
    QtUi ui;
    for (bool noDefault : {true, false}) {
        QString defaultCaption;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            defaultCaption = box->defaultButton()->text();
            box->defaultButton()->click();
        });
        const bool answer = ui.yesNo("Frage", "Wirklich?", noDefault);
        EXPECT_EQ(defaultCaption, noDefault ? "&Nein" : "&Ja");
        EXPECT_EQ(answer, !noDefault);
    }
}

TEST(QtUi, ProcessEventsIsThrottled) {
    QtUi ui;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 20000; ++i) ui.processEvents();
    const long elapsed = t.elapsed();
    // At most one pass per 30 ms, plus the first one.
    EXPECT_GE(ui.processEventsPassed(), 1);
    EXPECT_LE(ui.processEventsPassed(), 1 + elapsed / QtUi::kProcessEventsIntervalMs + 1);
}

TEST(QtUi, NameFiltersShowEachPatternOnceAndPickersStartAtTheLastImport) {
    EXPECT_EQ(QtUi::nameFilter("Datenbanken|*.dbf"), "Datenbanken (*.dbf)");
    EXPECT_EQ(QtUi::nameFilter("MP3|*.mp3;*.MP3|Alle|*.*"), "MP3 (*.mp3);;Alle (*.*)");
    EXPECT_EQ(QtUi::nameFilter("MP3-Datenbanken (*.DBF)|*.DBF"), "MP3-Datenbanken (*.DBF)");
    EXPECT_EQ(QtUi::nameFilter(""), "");

    test::StartedShell s;
    const std::filesystem::path music = s.home.root() / "Musik";
    std::filesystem::create_directories(music);
    EXPECT_EQ(s.ui.startFolder(""), QDir::homePath());  // nothing imported yet
    s.shell.state.settings().write(shell::keys::kImpPath, music.string() + "/");
    EXPECT_EQ(QDir(s.ui.startFolder("")).canonicalPath(), QDir(toQ(music.string())).canonicalPath());
    EXPECT_EQ(s.ui.startFolder("/tmp"), "/tmp");
    std::filesystem::remove(music);
    EXPECT_EQ(s.ui.startFolder(""), QDir::homePath());
}

// The save pickers never ask whether to replace the picked file (the commands ask themselves,
// and "Datei löschen" picks the file to delete with one): an existing file comes straight back.
// The open picker takes only existing files.
TEST(QtUi, SavePickersLeaveTheOverwriteQuestionToTheCommands) {
    test::StartedShell s;
    const std::filesystem::path existing = s.home.data() / "ROCK.DBF";
    klango::test::writeFileBytes(existing, "x");
    ui::FileDialogRequest request;
    request.title = "MP3-Datenbank l\xF6schen";
    request.filter = "MP3-Datenbanken (*.DBF)|*.DBF";
    request.startFolder = s.home.data().string();
    for (bool save : {true, false}) {
        SCOPED_TRACE(save ? "save" : "open");
        bool found = false, confirms = true, saves = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            found = true;
            confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            saves = dialog->acceptMode() == QFileDialog::AcceptSave;
            if (confirms && saves) {
                dialog->reject();  // accepting would open Qt's own question
                return;
            }
            dialog->selectFile(QString::fromStdString(existing.string()));
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the name
        });
        const std::string picked = save ? s.ui.saveFile(request) : s.ui.openFile(request);
        ASSERT_TRUE(found);
        EXPECT_EQ(saves, save);
        if (save) EXPECT_FALSE(confirms);
        EXPECT_EQ(std::filesystem::path(picked).filename(), "ROCK.DBF");
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

class TestModel : public ui::DialogModel {
public:
    std::string title() const override { return "Daten filtern"; }
    std::string helpTopic() const override { return "Filter setzen"; }
};

TEST(QtUi, ModelDialogsArePlacedCarryTheirTopicAndCloseOnRequest) {
    test::StartedShell s;
    s.shell.state.NW_TOP = 0;
    s.shell.state.NW_LEFT = 0;
    s.shell.state.NW_BOTTOM = 480;
    s.shell.state.NW_RIGHT = 640;
    s.ui.setHelpTopic("Hauptauswahl");
    QDialog* shown = nullptr;
    int refreshes = 0;
    s.ui.registerView<TestModel>([&](ui::DialogModel& model, QWidget* parent) {
        auto d = std::make_unique<QDialog>(parent);
        d->setFixedSize(433, 295);
        model.onChanged = [&] { ++refreshes; };
        shown = d.get();
        return d;
    });
    TestModel model;
    std::string topicInside;
    QPoint placed;
    QString title;
    s.ui.runDialog(model, [&] {
        topicInside = s.ui.helpTopic();
        placed = shown->pos();
        title = shown->windowTitle();
        model.requestClose();
    });
    EXPECT_EQ(topicInside, "Filter setzen");
    EXPECT_EQ(placed, QPoint(104, 93));
    EXPECT_EQ(s.ui.helpTopic(), "Hauptauswahl");
    EXPECT_EQ(refreshes, 1);  // the view's own refresh still ran
    EXPECT_EQ(title, "Daten filtern");

    // A model without a view only runs its work.
    class Other : public ui::DialogModel {
        std::string title() const override { return "x"; }
    } other;
    bool ran = false;
    s.ui.runDialog(other, [&] { ran = true; });
    EXPECT_TRUE(ran);
}

// The about box, a model's dialog and the help window open centred on the main window where it
// is now, and fully on the screen where the main window reaches beyond it; the about box closes
// by its button, the help window by Escape.
TEST(Dialogs, CentredOnTheMainWindowWhereItIsNowAndOnTheScreen) {
    Artwork::setFolder(kResources / "art");
    test::StartedShell s;  // its start rectangle is 0, 0, 768, 1024
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget mainWindow;
    mainWindow.resize(500, 400);
    mainWindow.show();
    ASSERT_TRUE(test::spinUntil([&] { return mainWindow.isVisible(); }));
    HelpWindow help;
    help.setHelpFolder(kResources / "help");
    help.setPlacedOver(&mainWindow);

    struct Case {
        QPoint mainAt;
        bool centred;  // else it is pushed onto the screen
    };
    for (const Case& c : {Case{{150, 100}, true}, Case{{screen.right() - 300, screen.bottom() - 200}, false}}) {
        mainWindow.move(c.mainAt);
        ASSERT_TRUE(test::spinUntil([&] { return mainWindow.frameGeometry().topLeft() == c.mainAt; }));
        const QPoint centre = mainWindow.frameGeometry().center();

        AboutBox box(u8q("Klango v1.50.17"), false, &mainWindow);
        placeDialog(&box, s.shell.state);
        box.show();
        ASSERT_TRUE(test::spinUntil([&] { return box.isVisible(); }));
        EXPECT_TRUE(screen.contains(box.frameGeometry())) << c.mainAt.x();
        if (c.centred) {
            // Up to the half of the frame that the centring cannot know beforehand.
            EXPECT_LE(std::abs(box.geometry().center().x() - centre.x()), 3);
            EXPECT_LE(std::abs(box.geometry().center().y() - centre.y()), 3);
        }
        auto* close = box.findChild<QPushButton*>("aboutClose");
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), u8q("Schließen"));
        close->click();
        EXPECT_FALSE(box.isVisible());
    }

    // The help opens centred on the main window the first time; Escape closes it.
    mainWindow.move(100, 80);
    ASSERT_TRUE(test::spinUntil([&] { return mainWindow.frameGeometry().topLeft() == QPoint(100, 80); }));
    help.showTopic("Filter setzen");
    ASSERT_TRUE(test::spinUntil([&] { return help.isVisible(); }));
    EXPECT_TRUE(screen.contains(help.frameGeometry()));
    if (help.width() < screen.width() - kFrameAllowanceWidth) {
        EXPECT_LE(std::abs(help.geometry().center().x() - mainWindow.frameGeometry().center().x()), 2);
    }
    for (QWidget* focus : {static_cast<QWidget*>(help.searchLine()), static_cast<QWidget*>(help.browser())}) {
        help.showTopic("Filter setzen");
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(help.isVisible());
    }
}

}  // namespace
}  // namespace klango::gui
