#include "gui/setup_search_intro_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "settings/setup_dialog_model.h"

namespace klango::gui {

SetupSearchIntroView::SetupSearchIntroView(settings::SearchIntroModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("searchIntro"));
    setWindowIcon(Artwork::icon(QStringLiteral("Suchen")));
    auto* text = new QLabel(toQ(model.text()), this);
    text->setWordWrap(true);
    auto* hint = new QLabel(toQ(model.hint()), this);
    hint->setWordWrap(true);
    m_go = new QPushButton(u8q("&Weiter"), this);
    m_go->setToolTip(u8q("Suche beginnen"));
    m_cancel = new QPushButton(u8q("&Abbruch"), this);
    m_cancel->setToolTip(u8q("Suche beenden"));
    connect(m_go, &QPushButton::clicked, this, [this] { m_model.proceed(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_go);
    buttons->addWidget(m_cancel);
    auto* l = new QVBoxLayout(this);
    l->addWidget(text);
    l->addWidget(hint);
    l->addLayout(buttons);
    setMinimumWidth(380);
}

void SetupSearchIntroView::reject() { m_model.cancel(); }

void SetupSearchIntroView::registerWith(QtUi& ui) {
    ui.registerView<settings::SearchIntroModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new SetupSearchIntroView(static_cast<settings::SearchIntroModel&>(model), parent));
    });
}

}  // namespace klango::gui
