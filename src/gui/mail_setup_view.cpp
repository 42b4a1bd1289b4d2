#include "gui/mail_setup_view.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "support/support_mail.h"

namespace klango::gui {

MailSetupView::MailSetupView(support::MailSetupModel& model, QtUi& ui, QWidget* parent)
    : QDialog(parent), m_model(model) {
    using M = support::MailSetupModel;
    setObjectName(QStringLiteral("mailSetup"));
    setWindowTitle(toQ(model.title()));
    setModal(true);
    auto* intro = new QLabel(toQ(model.intro()), this);
    intro->setWordWrap(true);
    auto* prompt = new QLabel(u8q("Geben Sie nun Ihre Email-Daten ein"), this);
    m_name = new QLineEdit(toQ(model.name), this);
    m_email = new QLineEdit(toQ(model.email), this);
    m_name->setMaxLength(int(M::kFieldLength));
    m_email->setMaxLength(int(M::kFieldLength));
    m_name->setMinimumWidth(260);
    auto* form = new QFormLayout;
    form->addRow(u8q("Name"), m_name);
    form->addRow(u8q("Email"), m_email);

    auto* save = new QPushButton(u8q("&Speichern"), this);
    save->setDefault(true);
    auto* leave = new QPushButton(u8q("&Beenden"), this);
    connect(save, &QPushButton::clicked, this, [this, &ui] {
        m_model.name = fromQ(m_name->text());
        m_model.email = fromQ(m_email->text());
        m_model.save(ui);
    });
    connect(leave, &QPushButton::clicked, this, [this] { m_model.leave(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(leave);

    auto* all = new QVBoxLayout(this);
    all->addWidget(intro);
    all->addWidget(prompt);
    all->addLayout(form);
    all->addLayout(buttons);
    QTimer::singleShot(0, m_email, [this] { m_email->setFocus(); });
}

void MailSetupView::registerWith(QtUi& ui) {
    ui.registerView<support::MailSetupModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new MailSetupView(static_cast<support::MailSetupModel&>(model), ui, parent));
    });
}

}  // namespace klango::gui
