// The review of an error log left by an earlier run: PRINTERR (the question dialog at start-up),
// DOWITHLOG (delete, print, or mail it) and PRINTERRORLOG (prints it with the fixed layout: lines
// of at most 70 characters, 50 lines a page). The log is kept until it was printed or sent. The
// printer is an interface so that the Qt view prints through QPrinter and klango-cli to a PDF file.
// Called by the start-up (the shell's PRINTERR hook) and by klango-cli.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog_model.h"
#include "ui/ui.h"

namespace klango::support {

inline constexpr size_t kPrintLineLength = 70;
inline constexpr int kPrintLinesPerPage = 50;

// A print job on pages of text. Sizes are in device units.
class LogPrinter {
  public:
    virtual ~LogPrinter() = default;
    // Starts the job (with the printer selection dialog where there is one); false: cancelled.
    virtual bool begin() = 0;
    virtual int pageWidth() const = 0;   // the horizontal resolution of the page
    virtual int pageHeight() const = 0;  // the vertical resolution of the page
    virtual void beginPage() = 0;
    // Writes a line of text (CP1252) with its top left corner at x, y.
    virtual void text(int x, int y, const std::string& line) = 0;
    virtual void endPage() = 0;
    // Finishes the job; false when it could not be completed.
    virtual bool end() = 0;
};

// The log's text cut into print lines: a line break ends a line, a longer line is cut into
// pieces of 70 characters without regard to words.
std::vector<std::string> printLines(const std::string& text);
// The print lines in pages of 50.
std::vector<std::vector<std::string>> printPages(const std::vector<std::string>& lines);

// PRINTERRORLOG: prints the file; true when the job was completed.
bool PRINTERRORLOG(LogPrinter& printer, const std::filesystem::path& logFile);

// The dialog "Fehler-Protokoll".
class ErrorLogReviewModel : public ui::DialogModel {
  public:
    enum Choice { Delete = 1, Print = 2, Mail = 3 };
    std::string title() const override { return "Fehler-Protokoll"; }
    std::string helpTopic() const override { return "Fehlerprotokoll Start"; }
    static constexpr const char* kHeading = "Es wurde ein Fehlerprotokoll gefunden!";
    static constexpr const char* kQuestion =
        "W\xE4hlen Sie nun, wie Sie damit verfahren m\xF6"
        "chten !";
    static std::vector<std::string> choiceCaptions() {
        return {" &L\xF6schen", " &Drucken", " &Email-Versand"};
    }

    int choice = Delete;
    void next() {  // "&Weiter"
        m_next = true;
        requestClose();
    }
    void cancel() { requestClose(); }  // "&Abbrechen" or closing
    bool goOn() const { return m_next; }

  private:
    bool m_next = false;
};

struct ReviewEnvironment {
    std::filesystem::path programFolder;
    std::string release;  // CRELEASE
    // A printer for the job; null: printing is not available.
    std::function<std::unique_ptr<LogPrinter>()> printer;
    // MAILSUPPORT with subject and file; true when it was sent.
    std::function<bool(const std::string& subject, const std::filesystem::path& file)> mail;
    // "&Hilfe": the help without a topic.
    std::function<void()> help;
};

// The error log of the program folder, found whatever its case; empty when there is none.
std::filesystem::path findErrorLog(const std::filesystem::path& programFolder);

// PRINTERR: when an error log exists, asks what to do with it.
void PRINTERR(ui::Ui& ui, const ReviewEnvironment& env);

// DOWITHLOG: carries out choice 1, 2 or 3; returns true.
bool DOWITHLOG(ui::Ui& ui, const ReviewEnvironment& env, int choice);

}  // namespace klango::support
