#include "gui/about_box.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/qt_text.h"

namespace klango::gui {

namespace {

// The picture is drawn at 240 by 83 pixels (its 160 by 55 layout units).
constexpr QSize kPictureSize{240, 83};

// Clicks on the children (picture, texts) close the box as well.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->ignore(); }
};

}  // namespace

AboutBox::AboutBox(const QString& release, bool start, QWidget* parent) : QDialog(parent), m_start(start) {
    setWindowTitle(release);
    setObjectName(QStringLiteral("aboutBox"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(kWidth, kHeight);
    applyColorString(this, "N*/W");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->setSpacing(4);

    auto* picture = new ClickLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setAlignment(Qt::AlignCenter);
    picture->setFixedHeight(kPictureSize.height());
    const QPixmap pm = Artwork::pixmap(QStringLiteral("About"), kPictureSize);
    if (!pm.isNull()) picture->setPixmap(pm);
    layout->addWidget(picture);

    const char* blocks[] = {
        "Klango – Ihre MP3-Sammlung im Überblick",
        "Entwickelt vom Klango-Team",
        "Fragen und Anregungen über das Hilfe-Menü",
    };
    for (const char* text : blocks) {
        auto* label = new ClickLabel(u8q(text), this);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    layout->addStretch(1);
    if (!start) {
        auto* close = new QPushButton(u8q("Schließen"), this);
        close->setObjectName(QStringLiteral("aboutClose"));
        close->setDefault(true);
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(close, 0, Qt::AlignHCenter);
    }

    m_timer.setSingleShot(true);
    m_timer.setInterval(kStartScreenMs);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
}

void AboutBox::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!m_painted) {
        m_painted = true;
        if (m_start) ABOUTWAIT();
    }
}

void AboutBox::ABOUTWAIT() { m_timer.start(); }

void AboutBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void AboutBox::done(int result) {
    m_timer.stop();
    QDialog::done(result);
}

}  // namespace klango::gui
