#include "support/pdf_log_printer.h"

#include "support/error_log.h"

namespace klango::support {
namespace {

// Courier's glyphs are 0.6 em wide: the size that gives 80 characters across the page.
constexpr double kFontSize = 595.0 / 80 / 0.6;

std::string pdfString(const std::string& text) {
    std::string out = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out + ")";
}

}  // namespace

void PdfLogPrinter::text(int x, int y, const std::string& line) {
    // PDF counts from the bottom; y is the line's top, the baseline lies one font size lower.
    const double baseline = pageHeight() - y - kFontSize * 0.8;
    m_page += "BT /F1 " + std::to_string(kFontSize) + " Tf " + std::to_string(x) + " " +
              std::to_string(baseline) + " Td " + pdfString(line) + " Tj ET\n";
}

bool PdfLogPrinter::end() {
    std::vector<std::string> objects;
    const size_t pageCount = m_pages.size();
    // 1 catalog, 2 page tree, 3 font, then per page its page object and its content.
    std::string kids;
    for (size_t i = 0; i < pageCount; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pageCount) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
    for (size_t i = 0; i < pageCount; ++i) {
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R >> >> "
            "/Contents " +
            std::to_string(5 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(m_pages[i].size()) + " >>\nstream\n" + m_pages[i] +
                          "endstream");
    }
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t off : offsets) {
        std::string n = std::to_string(off);
        pdf += std::string(10 - n.size(), '0') + n + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return writeFileReplacing(m_file, pdf);
}

}  // namespace klango::support
