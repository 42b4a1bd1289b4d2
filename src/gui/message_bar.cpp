#include "gui/message_bar.h"

#include <algorithm>

#include "gui/dialog_style.h"
#include "gui/qt_text.h"

namespace klango::gui {

MessageBar::MessageBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    m_defaultText = defaultText();
    m_text = new QLabel(m_defaultText, this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setObjectName(QStringLiteral("messageText"));
    addWidget(m_text, 1);
    static constexpr const char* kNames[4] = {"OMP3BASE", "OMP3RECS", "OMP3TAGG", "OMP3FILT"};
    for (size_t i = 0; i < m_items.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(kNames[i]));
        m_widths[i] = kItemWidths[i];
        label->setFixedWidth(kItemWidths[i]);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setContentsMargins(3, 0, 3, 0);
        addPermanentWidget(label);
        m_items[i] = label;
    }
    m_items[size_t(ui::MessageItem::Filter)]->setToolTip(QStringLiteral("Filtereinstellung"));
}

QString MessageBar::defaultText() { return u8q("Wählen Sie Ihre Option ..."); }

void MessageBar::setDefaultText(const QString& text) {
    const bool showingDefault = m_text->text() == m_defaultText;
    m_defaultText = text.isEmpty() ? defaultText() : text;
    if (showingDefault) m_text->setText(m_defaultText);
}

void MessageBar::setItemWidth(ui::MessageItem item, int pixels) {
    m_widths[size_t(item)] = pixels;
    fitItem(item);
}

// An item is as wide as it was set, and wider when its text would be cut in the font on screen.
void MessageBar::fitItem(ui::MessageItem item) {
    QLabel* label = m_items[size_t(item)];
    const QMargins m = label->contentsMargins();
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) + m.left() + m.right() +
                       2 * label->frameWidth() + 2;
    label->setFixedWidth(std::max(m_widths[size_t(item)], label->text().isEmpty() ? 0 : needed));
}

void MessageBar::showText(const QString& text) { m_text->setText(text.isEmpty() ? m_defaultText : text); }

QString MessageBar::text() const { return m_text->text(); }

void MessageBar::setItem(ui::MessageItem item, const QString& text, const std::string& colors) {
    QLabel* label = m_items[size_t(item)];
    label->setText(text);
    m_colors[size_t(item)] = colors;
    applyColorString(label, colors);
    fitItem(item);
}

}  // namespace klango::gui
