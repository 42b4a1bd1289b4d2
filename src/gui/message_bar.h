// The main window's message bar (OMSG): a centred text (the default "Wählen Sie Ihre Option ..."
// or the message of the highlighted menu entry) and, right of it, the four items OMP3BASE (120
// pixels), OMP3RECS, OMP3TAGG and OMP3FILT (80 each, the last with the tool tip
// "Filtereinstellung"), each with its colour string. Owned by the main window.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <array>
#include <string>

#include "ui/ui.h"

namespace klango::gui {

class MessageBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kItemWidths[4] = {120, 80, 80, 80};

    explicit MessageBar(QWidget* parent = nullptr);

    // The default text at start; setDefaultText changes it while a table is open.
    static QString defaultText();
    void setDefaultText(const QString& text);
    void setItemWidth(ui::MessageItem item, int pixels);
    // The centred text; an empty text brings the default back.
    void showText(const QString& text);
    void showDefault() { showText({}); }
    QString text() const;

    void setItem(ui::MessageItem item, const QString& text, const std::string& colors);
    QLabel* item(ui::MessageItem item) const { return m_items[size_t(item)]; }
    const std::string& itemColors(ui::MessageItem item) const { return m_colors[size_t(item)]; }

private:
    void fitItem(ui::MessageItem item);

    QLabel* m_text;
    std::array<QLabel*, 4> m_items{};
    std::array<std::string, 4> m_colors;
    QString m_defaultText;
    std::array<int, 4> m_widths{};
};

}  // namespace klango::gui
