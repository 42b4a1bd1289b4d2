// The error-log review: pagination and print positions, the choices of PRINTERR/DOWITHLOG with the
// log kept until printed or sent, and klango-cli errorlog printing a PDF that is read back.
#include "support/error_log_review.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/error_dialog_model.h"
#include "support/support_mail.h"
#include "test_helpers/test_helpers.h"
#include "ui/help_index.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using support::ErrorLogReviewModel;

namespace {

// Records where each line goes.
class RecordingPrinter : public support::LogPrinter {
  public:
    bool cancel = false;
    std::vector<std::vector<std::string>> pages;  // "x,y:text"
    bool begin() override { return !cancel; }
    int pageWidth() const override { return 4960; }
    int pageHeight() const override { return 7016; }
    void beginPage() override { pages.emplace_back(); }
    void text(int x, int y, const std::string& line) override {
        pages.back().push_back(std::to_string(x) + "," + std::to_string(y) + ":" + line);
    }
    void endPage() override {}
    bool end() override { return true; }
};

std::string logOfLines(int count, size_t width) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        std::string line = "Zeile " + std::to_string(i) + " ";
        line.resize(width, 'x');
        text += line + "\r\n";
    }
    return text + '\x1A';
}

}  // namespace

TEST(ErrorLogReview, PrintsFiftyLinesAPageAtFixedPositions) {
    test::TempHome home;
    const fs::path log = home.root() / "Error.log";
    struct Case {
        int lines;
        size_t width;
        std::vector<size_t> pageSizes;
    } cases[] = {
        {120, 70, {50, 50, 20}},
        {50, 10, {50}},
        {30, 150, {50, 40}},  // each line cut into 70, 70 and 10 characters
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        test::writeFileBytes(log, logOfLines(c.lines, c.width));
        RecordingPrinter printer;
        ASSERT_TRUE(support::PRINTERRORLOG(printer, log));
        std::vector<size_t> sizes;
        for (const auto& p : printer.pages) sizes.push_back(p.size());
        EXPECT_EQ(sizes, c.pageSizes) << c.lines << " lines of " << c.width;
        if (printer.pages.empty()) continue;
        // Line height 7016/60 = 116, character width 4960/80 = 62, left at 8 characters.
        const auto& first = printer.pages.front();
        EXPECT_EQ(first[0].substr(0, first[0].find(':')), "496,116");
        EXPECT_EQ(first[1].substr(0, first[1].find(':')), "496,232");
        if (first.size() == 50) {
            EXPECT_EQ(first[49].substr(0, first[49].find(':')), "496,5800");
        }
        if (c.width == 150) {
            EXPECT_EQ(first[0].size(), std::string("496,116:").size() + 70);
            EXPECT_EQ(first[2], "496,348:" + std::string(10, 'x'));
        }
    }
}

TEST(ErrorLogReview, ChoicesKeepTheLogUntilPrintedOrSent) {
    struct Case {
        const char* name;
        bool logExists;
        std::optional<int> choice;  // none: "&Abbrechen"
        bool printCancelled;
        std::optional<bool> mailAnswer;  // the question before mailing
        bool mailSent;
        bool logKept;
        int printed, mailed;
    } cases[] = {
        {"no log", false, {}, false, {}, false, false, 0, 0},
        {"cancel", true, {}, false, {}, false, true, 0, 0},
        {"delete", true, 1, false, {}, false, false, 0, 0},
        {"print", true, 2, false, {}, false, false, 1, 0},
        {"print cancelled", true, 2, true, {}, false, true, 1, 0},
        {"mail refused", true, 3, false, false, false, false, 0, 0},
        {"mail sent", true, 3, false, true, true, false, 0, 1},
        {"mail failed", true, 3, false, true, false, true, 0, 1},
    };
    for (const Case& c : cases) {
        test::TempHome home;
        // The log is found whatever the case of its name.
        const fs::path log = home.root() / "ERROR.LOG";
        if (c.logExists) test::writeFileBytes(log, logOfLines(3, 20));
        int printed = 0, mailed = 0;
        std::string subject;
        support::ReviewEnvironment env;
        env.programFolder = home.root();
        env.release = "Klango v1.50.17";
        env.printer = [&]() -> std::unique_ptr<support::LogPrinter> {
            ++printed;
            auto p = std::make_unique<RecordingPrinter>();
            p->cancel = c.printCancelled;
            return p;
        };
        env.mail = [&](const std::string& s, const fs::path& file) {
            ++mailed;
            subject = s;
            EXPECT_TRUE(fs::exists(file));
            return c.mailSent;
        };
        ui::ScriptedUi ui;
        if (c.logExists) {
            ui.expectDialog([&](ui::DialogModel& m) {
                auto& review = dynamic_cast<ErrorLogReviewModel&>(m);
                EXPECT_EQ(review.choice, ErrorLogReviewModel::Delete) << "preselected";
                if (c.choice) {
                    review.choice = *c.choice;
                    review.next();
                } else {
                    review.cancel();
                }
            });
        }
        if (c.mailAnswer) ui.expectYesNo(*c.mailAnswer, "per Email versenden");
        support::PRINTERR(ui, env);
        EXPECT_TRUE(ui.unexpected().empty()) << c.name;
        EXPECT_TRUE(ui.scriptDone()) << c.name;
        EXPECT_EQ(fs::exists(log), c.logKept) << c.name;
        EXPECT_EQ(printed, c.printed) << c.name;
        EXPECT_EQ(mailed, c.mailed) << c.name;
        if (mailed) {
            EXPECT_EQ(subject, "Programmfehler in Klango v1.50.17") << c.name;
        }
    }
}

TEST(ErrorLogReview, CliShowsAndPrintsTheLogToPdf) {
    test::TempHome home;
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " errorlog";
    auto none = test::runCommand(cli);
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_NE(none.output.find("Kein Fehlerprotokoll vorhanden."), std::string::npos) << none.output;

    std::string log = logOfLines(119, 70);
    log.insert(0,
               "Gr\xF6\xDF"
               "e (\\) \r\n");  // CP1252 umlauts and the PDF's special characters
    test::writeFileBytes(home.root() / "Error.log", log);
    auto shown = test::runCommand(cli);
    ASSERT_EQ(shown.exitCode, 0) << shown.output;
    EXPECT_EQ(shown.output.rfind("Größe (\\) \nZeile 1 ", 0), 0u) << shown.output.substr(0, 80);
    EXPECT_TRUE(fs::exists(home.root() / "Error.log")) << "showing keeps the log";

    const fs::path pdf = home.root() / "protokoll.pdf";
    auto printed = test::runCommand(cli + " --print " + test::shellQuote(pdf.string()));
    ASSERT_EQ(printed.exitCode, 0) << printed.output;
    EXPECT_FALSE(fs::exists(home.root() / "Error.log")) << "printed: deleted";
    auto info = test::runCommand("pdfinfo " + test::shellQuote(pdf.string()));
    const size_t pages = info.output.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info.output;
    EXPECT_EQ(info.output.substr(info.output.find_first_not_of(' ', pages + 6), 2), "3\n");
    for (int page = 1; page <= 3; ++page) {
        auto text = test::runCommand("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                     std::to_string(page) + " " + test::shellQuote(pdf.string()) + " -");
        const char* first[] = {"Größe (\\)", "Zeile 50 ", "Zeile 100 "};
        const char* last[] = {"Zeile 49 ", "Zeile 99 ", "Zeile 119 "};
        EXPECT_NE(text.output.find(first[page - 1]), std::string::npos) << page << text.output;
        EXPECT_NE(text.output.find(last[page - 1]), std::string::npos) << page;
    }
}

TEST(ErrorLogReview, EveryDialogsHelpTopicExists) {
    const std::string html = test::readFileBytes(fs::path(KLANGO_SOURCE_DIR) / "resources/help/klango.html");
    support::ErrorDialogModel error("x", {}, false, false);
    ErrorLogReviewModel review;
    support::MailSetupModel setup("Klango", "s", "", "");
    support::MailPreviewModel preview("t");
    for (const ui::DialogModel* m :
         std::initializer_list<const ui::DialogModel*>{&error, &review, &setup, &preview}) {
        const std::string anchor = ui::helpAnchor(m->helpTopic());
        EXPECT_NE(html.find("<a name=\"" + anchor + "\">"), std::string::npos)
            << m->title() << ": " << anchor;
    }
}

TEST(ErrorLogReview, AFailedCliCommandLeavesTheLogThatErrorlogShows) {
    test::TempHome home;
    fs::remove(home.data());
    test::writeFileBytes(home.data(), "");  // "Daten" is a file: no table can be created
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string());
    auto failed = test::runCommand(cli + " check rock");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("Create error: " + (home.data() / "Rock.dbf").string()), std::string::npos)
        << failed.output;
    auto shown = test::runCommand(cli + " errorlog");
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.output.rfind("Klango v1.50.17\n===============\n   Pfad und Name: ", 0), 0u)
        << shown.output;
    EXPECT_NE(shown.output.find("   Fehlerbeschreibung: (DOS-Fehler "), std::string::npos);
    EXPECT_NE(shown.output.find("   Aufgerufen von CHECKDATA("), std::string::npos);
    EXPECT_NE(shown.output.find("\nVerfügbar Physical: "), std::string::npos);
}
