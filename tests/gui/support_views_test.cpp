// The views of the support subsystem: the error dialog and the review dialog bound to their
// models, the error log printed through QPrinter to a PDF that is read back, and the display's
// colour depth in the facts the desktop program collects for the error handler.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "gui/artwork.h"
#include "gui/error_dialog_view.h"
#include "gui/error_log_review_view.h"
#include "gui/qt_log_printer.h"
#include "gui/system_info_source.h"
#include "qt_support.h"
#include "support/error_dialog_model.h"
#include "support/error_log_review.h"
#include "support/error_sys.h"

namespace klango::gui {
namespace {

using support::ErrorDialogModel;

const std::filesystem::path kResources = KLANGO_RESOURCES;

TEST(SupportViews, ErrorDialogShowsTheModelsButtonsAndAnswers) {
    ErrorDialogModel model("(DOS-Fehler 2) DBFNTX/1001  Open error: Rock & Pop.dbf",
                           {"MP3TABLE(120)", "MAIN(40)"}, true, true);
    ErrorDialogView view(model);
    QStringList captions;
    for (QPushButton* b : view.buttons()) captions << b->text();
    EXPECT_EQ(captions, (QStringList{"&Wiederholen", "&Ende", "&Default"}));
    EXPECT_TRUE(view.buttons()[1]->isDefault());
    EXPECT_EQ(view.description()->text(), QString("(DOS-Fehler 2) DBFNTX/1001  Open error: Rock & Pop.dbf"));
    EXPECT_EQ(view.stackList()->count(), 2);
    EXPECT_EQ(view.stackList()->currentRow(), 0);
    view.show();
    test::screenshot(&view, "error_dialog");
    view.buttons()[0]->click();
    EXPECT_EQ(model.result(), ErrorDialogModel::Choice::Retry);
    EXPECT_TRUE(model.closeRequested());
}

TEST(SupportViews, TheHandlerShowsItsDialogThroughQtUiAndTakesTheAnswer) {
    test::StartedShell started;
    ErrorDialogView::registerWith(started.ui);
    support::ErrorSys sys(started.ui,
                          {started.home.root() / "Error.log", [] { return support::ErrorLogFacts{}; },
                           [] { return true; }, [](int) { FAIL() << "the program must go on"; }});
    // The user presses "&Default" once the dialog is up.
    QTimer::singleShot(50, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<ErrorDialogView*>(w); d && d->isVisible())
                d->buttons().back()->click();
    });
    base::ErrorRecord e;
    e.genCode = base::kErrWrite;
    e.canRetry = true;
    e.canDefault = true;
    EXPECT_EQ(sys.ERRORDIALOG(e).kind, base::ErrorAnswer::kDefault);
    EXPECT_TRUE(std::filesystem::exists(started.home.root() / "Error.log"));
}

TEST(SupportViews, ReviewDialogChoosesAndGoesOn) {
    Artwork::setFolder(kResources / "art");
    support::ErrorLogReviewModel model;
    int helpShown = 0;
    ErrorLogReviewView view(model, [&] { ++helpShown; });
    // The picture "StopMax" beside the texts.
    int pictures = 0;
    for (const QLabel* label : view.findChildren<QLabel*>()) pictures += label->pixmap().isNull() ? 0 : 1;
    EXPECT_EQ(pictures, 1);
    ASSERT_EQ(view.choices().size(), 3u);
    EXPECT_TRUE(view.choices()[0]->isChecked());
    EXPECT_TRUE(view.nextButton()->isDefault());
    view.show();
    test::screenshot(&view, "error_log_review");
    view.choices()[1]->click();
    EXPECT_EQ(model.choice, support::ErrorLogReviewModel::Print);
    view.nextButton()->click();
    EXPECT_TRUE(model.goOn());
}

TEST(SupportViews, TheCollectedFactsTellTheDisplaysColours) {
    const auto systemInfo = systemInfoSource();
    const int depth = QGuiApplication::primaryScreen()->depth();
    ASSERT_GT(depth, 0);
    EXPECT_EQ(systemInfo().GetColors(), 1LL << depth);
}

TEST(SupportViews, PrintsTheLogToPdfInThreePages) {
    klango::test::TempHome home;
    std::string log;
    for (int i = 1; i <= 120; ++i)
        log += "Zeile " + std::to_string(i) +
               " Gr\xF6\xDF"
               "e\r\n";
    klango::test::writeFileBytes(home.root() / "Error.log", log + '\x1A');
    const std::filesystem::path pdf = home.root() / "log.pdf";
    auto printer = QtLogPrinter::toPdf(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(support::PRINTERRORLOG(*printer, home.root() / "Error.log"));
    auto info = klango::test::runCommand("pdfinfo " + klango::test::shellQuote(pdf.string()));
    const size_t pages = info.output.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info.output;
    EXPECT_EQ(info.output.substr(info.output.find_first_not_of(' ', pages + 6), 2), "3\n");
    const char* expect[3][2] = {{"Zeile 1 Größe", "Zeile 50 Größe"},
                                {"Zeile 51 Größe", "Zeile 100 Größe"},
                                {"Zeile 101 Größe", "Zeile 120 Größe"}};
    for (int page = 1; page <= 3; ++page) {
        auto text =
            klango::test::runCommand("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                     " " + klango::test::shellQuote(pdf.string()) + " -");
        EXPECT_NE(text.output.find(expect[page - 1][0]), std::string::npos) << page << text.output;
        EXPECT_NE(text.output.find(expect[page - 1][1]), std::string::npos) << page;
        if (page > 1) {
            EXPECT_EQ(text.output.find(expect[page - 2][1]), std::string::npos) << page;
        }
    }
}

}  // namespace
}  // namespace klango::gui
