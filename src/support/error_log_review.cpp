#include "support/error_log_review.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/file_names.h"
#include "support/error_log.h"

namespace fs = std::filesystem;

namespace klango::support {

std::vector<std::string> printLines(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : logLines(text)) {
        if (line.empty()) {
            out.emplace_back();
            continue;
        }
        for (size_t at = 0; at < line.size(); at += kPrintLineLength)
            out.push_back(line.substr(at, kPrintLineLength));
    }
    return out;
}

std::vector<std::vector<std::string>> printPages(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> pages;
    for (size_t at = 0; at < lines.size(); at += kPrintLinesPerPage) {
        const size_t end = std::min(lines.size(), at + kPrintLinesPerPage);
        pages.emplace_back(lines.begin() + long(at), lines.begin() + long(end));
    }
    return pages;
}

bool PRINTERRORLOG(LogPrinter& printer, const fs::path& logFile) {
    std::ifstream in(logFile, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const auto pages = printPages(printLines(bytes.str()));
    if (!printer.begin()) return false;
    const int lineHeight = printer.pageHeight() / 60;
    const int charWidth = printer.pageWidth() / 80;
    const int left = 8 * charWidth;
    for (const auto& page : pages) {
        printer.beginPage();
        int row = 1;
        for (const std::string& line : page) printer.text(left, lineHeight * row++, line);
        printer.endPage();
    }
    return printer.end();
}

fs::path findErrorLog(const fs::path& programFolder) {
    const fs::path found = platform::resolveCaseBlind(programFolder, "ERROR.LOG");
    std::error_code ec;
    return fs::is_regular_file(found, ec) ? found : fs::path();
}

void PRINTERR(ui::Ui& ui, const ReviewEnvironment& env) {
    if (findErrorLog(env.programFolder).empty()) return;
    ErrorLogReviewModel model;
    ui.runDialog(model);
    if (model.goOn()) DOWITHLOG(ui, env, model.choice);
}

bool DOWITHLOG(ui::Ui& ui, const ReviewEnvironment& env, int choice) {
    const fs::path log = findErrorLog(env.programFolder);
    if (log.empty()) return true;
    bool done = true;  // may the log go?
    if (choice == ErrorLogReviewModel::Print) {
        std::unique_ptr<LogPrinter> printer = env.printer ? env.printer() : nullptr;
        done = printer && PRINTERRORLOG(*printer, log);
    } else if (choice == ErrorLogReviewModel::Mail) {
        if (ui.yesNo("Email-Versand",
                     "M\xF6"
                     "chten Sie das Fehlerprotokoll nun per Email versenden ?")) {
            done = env.mail && env.mail("Programmfehler in " + env.release, log);
        }
    }
    // A log that could not be printed or sent stays for the next start.
    if (done) {
        std::error_code ec;
        fs::remove(log, ec);
    }
    return true;
}

}  // namespace klango::support
