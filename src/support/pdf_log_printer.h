// A LogPrinter that writes a PDF file of A4 pages in Courier, with no printer dialog: the printed
// error log of klango-cli. The text keeps its CP1252 bytes (the PDF's WinAnsi encoding).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/error_log_review.h"

namespace klango::support {

class PdfLogPrinter : public LogPrinter {
  public:
    explicit PdfLogPrinter(std::filesystem::path file) : m_file(std::move(file)) {}
    bool begin() override { return true; }
    int pageWidth() const override { return 595; }  // A4 in points
    int pageHeight() const override { return 842; }
    void beginPage() override { m_page.clear(); }
    void text(int x, int y, const std::string& line) override;
    void endPage() override { m_pages.push_back(m_page); }
    bool end() override;

  private:
    std::filesystem::path m_file;
    std::string m_page;
    std::vector<std::string> m_pages;
};

}  // namespace klango::support
