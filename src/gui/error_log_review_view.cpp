#include "gui/error_log_review_view.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "support/error_log_review.h"

namespace klango::gui {

ErrorLogReviewView::ErrorLogReviewView(support::ErrorLogReviewModel& model, std::function<void()> help,
                                       QWidget* parent)
    : QDialog(parent), m_model(model) {
    using M = support::ErrorLogReviewModel;
    setObjectName(QStringLiteral("errorLogReview"));
    setWindowTitle(toQ(model.title()));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setPixmap(Artwork::pixmap(QStringLiteral("StopMax"), QSize(48, 48)));
    auto* heading = new QLabel(toQ(M::kHeading), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* question = new QLabel(toQ(M::kQuestion), this);
    auto* texts = new QVBoxLayout;
    texts->addWidget(heading);
    texts->addWidget(question);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* group = new QButtonGroup(this);
    auto* radios = new QVBoxLayout;
    int value = M::Delete;
    for (const std::string& caption : M::choiceCaptions()) {
        auto* radio = new QRadioButton(toQ(caption), this);
        radio->setChecked(value == model.choice);
        group->addButton(radio, value++);
        radios->addWidget(radio);
        m_choices.push_back(radio);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { m_model.choice = id; });

    m_next = new QPushButton(u8q("&Weiter"), this);
    m_next->setDefault(true);
    auto* helpButton = new QPushButton(u8q("&Hilfe"), this);
    m_cancel = new QPushButton(u8q("&Abbrechen"), this);
    connect(m_next, &QPushButton::clicked, this, [this] { m_model.next(); });
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help) help();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.cancel(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(helpButton);
    buttons->addWidget(m_cancel);

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(radios);
    all->addLayout(buttons);
}

ErrorLogReviewView::~ErrorLogReviewView() = default;

void ErrorLogReviewView::registerWith(QtUi& ui, std::function<void()> help) {
    ui.registerView<support::ErrorLogReviewModel>([help](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new ErrorLogReviewView(static_cast<support::ErrorLogReviewModel&>(model), help, parent));
    });
}

}  // namespace klango::gui
