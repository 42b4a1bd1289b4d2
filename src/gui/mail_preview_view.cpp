#include "gui/mail_preview_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "support/support_mail.h"

namespace klango::gui {

MailPreviewView::MailPreviewView(support::MailPreviewModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("mailPreview"));
    setWindowTitle(toQ(model.title()));
    setModal(true);
    auto* intro = new QLabel(u8q("Diese Email wird an den Support gesandt:"), this);
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QString text = toQ(model.text());
    text.remove(QLatin1Char('\r'));
    m_text->setPlainText(text);
    m_text->setMinimumSize(560, 360);
    m_send = new QPushButton(u8q("&Senden"), this);
    auto* cancel = new QPushButton(u8q("&Abbrechen"), this);
    cancel->setDefault(true);
    connect(m_send, &QPushButton::clicked, this, [this] { m_model.agree(); });
    connect(cancel, &QPushButton::clicked, this, [this] { m_model.refuse(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_send);
    buttons->addWidget(cancel);
    auto* all = new QVBoxLayout(this);
    all->addWidget(intro);
    all->addWidget(m_text, 1);
    all->addLayout(buttons);
}

void MailPreviewView::registerWith(QtUi& ui) {
    ui.registerView<support::MailPreviewModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new MailPreviewView(static_cast<support::MailPreviewModel&>(model), parent));
    });
}

}  // namespace klango::gui
