#include "gui/update_dialog_view.h"

#include <QGridLayout>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "settings/database_update.h"

namespace klango::gui {

UpdateDialogView::UpdateDialogView(settings::UpdateDialogModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("updateDialog"));
    setWindowIcon(Artwork::icon(toQ(model.icon())));
    auto* text = new QLabel(toQ(model.text()), this);
    text->setWordWrap(true);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("updateFile"));
    QFont bold = m_file->font();
    bold.setBold(true);
    m_file->setFont(bold);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_interrupt = new QPushButton(toQ(model.interruptCaption()), this);
    m_interrupt->setToolTip(toQ(model.interruptToolTip()));
    connect(m_interrupt, &QPushButton::clicked, this, [this] { m_model.interrupt(); });

    auto* l = new QGridLayout(this);
    l->addWidget(text, 0, 0, 1, 2);
    l->addWidget(new QLabel(toQ(model.fileLabel()), this), 1, 0);
    l->addWidget(m_file, 1, 1);
    l->addWidget(m_bar, 2, 0, 1, 2);
    l->addWidget(m_interrupt, 3, 0, 1, 2, Qt::AlignHCenter);
    l->setColumnStretch(1, 1);  // the name right beside its label
    setMinimumWidth(400);
    m_model.onChanged = [this] { refresh(); };
    refresh();
}

UpdateDialogView::~UpdateDialogView() { m_model.onChanged = nullptr; }

void UpdateDialogView::refresh() {
    m_file->setText(toQ(m_model.file()));
    m_bar->setRange(0, int(std::max(m_model.total(), 1L)));
    m_bar->setValue(int(std::min(m_model.position(), m_model.total())));
    m_interrupt->setEnabled(!m_model.interrupted());
}

// A database must never be cut off midway: leaving the dialog only asks the update to stop.
void UpdateDialogView::reject() { m_model.interrupt(); }

void UpdateDialogView::registerWith(QtUi& ui) {
    ui.registerView<settings::UpdateDialogModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new UpdateDialogView(static_cast<settings::UpdateDialogModel&>(model), parent));
    });
}

}  // namespace klango::gui
