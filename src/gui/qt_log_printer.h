// QtLogPrinter: the LogPrinter of the desktop program: a QPrinter chosen in the printer dialog
// (no preview), or a PDF file without a dialog (tests). The text is written in a fixed-width font
// sized so that 80 characters fill the page width. GUI thread only.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>

#include "support/error_log_review.h"

class QWidget;

namespace klango::gui {

class QtLogPrinter : public support::LogPrinter {
  public:
    // With the printer dialog over parent.
    explicit QtLogPrinter(QWidget* parent);
    // To a PDF file, without a dialog.
    static std::unique_ptr<QtLogPrinter> toPdf(const QString& file);

    bool begin() override;
    int pageWidth() const override;
    int pageHeight() const override;
    void beginPage() override;
    void text(int x, int y, const std::string& line) override;
    void endPage() override {}
    bool end() override;

  private:
    QtLogPrinter() = default;
    QWidget* m_parent = nullptr;
    bool m_dialog = true;
    QPrinter m_printer{QPrinter::HighResolution};
    QPainter m_painter;
    bool m_firstPage = true;
};

}  // namespace klango::gui
