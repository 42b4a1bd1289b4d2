#include "gui/qt_log_printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrintDialog>

#include "gui/qt_text.h"

namespace klango::gui {

QtLogPrinter::QtLogPrinter(QWidget* parent) : m_parent(parent) {}

std::unique_ptr<QtLogPrinter> QtLogPrinter::toPdf(const QString& file) {
    std::unique_ptr<QtLogPrinter> p(new QtLogPrinter);
    p->m_dialog = false;
    p->m_printer.setOutputFormat(QPrinter::PdfFormat);
    p->m_printer.setOutputFileName(file);
    return p;
}

bool QtLogPrinter::begin() {
    if (m_dialog) {
        QPrintDialog dialog(&m_printer, m_parent);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    if (!m_painter.begin(&m_printer)) return false;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    // 80 characters across the page.
    font.setPixelSize(100);
    const double width = QFontMetricsF(font, &m_printer).horizontalAdvance(QLatin1Char('M'));
    font.setPixelSize(std::max(1, int(100.0 * (pageWidth() / 80.0) / width)));
    m_painter.setFont(font);
    return true;
}

int QtLogPrinter::pageWidth() const {
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).width();
}
int QtLogPrinter::pageHeight() const {
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).height();
}

void QtLogPrinter::beginPage() {
    if (!m_firstPage) m_printer.newPage();
    m_firstPage = false;
}

void QtLogPrinter::text(int x, int y, const std::string& line) {
    m_painter.drawText(QPointF(x, y + m_painter.fontMetrics().ascent()), toQ(line));
}

bool QtLogPrinter::end() { return m_painter.end(); }

}  // namespace klango::gui
