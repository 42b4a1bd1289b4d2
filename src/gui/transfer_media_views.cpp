#include "gui/transfer_media_views.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

namespace {

QHBoxLayout* buttonRow(QPushButton* proceed, QPushButton* interrupt) {
    proceed->setToolTip(u8q("Datenkopie ausführen"));
    interrupt->setToolTip(u8q("Datenkopie unterbrechen"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(proceed);
    row->addWidget(interrupt);
    row->addStretch(1);
    return row;
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

MediaListView::MediaListView(output::MediaListModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("mediaListDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(toQ(model.icon())));
    setModal(true);
    auto* texts = new QVBoxLayout;
    auto* needed = new QLabel(toQ(model.neededText()), this);
    needed->setWordWrap(true);
    auto* ready = new QLabel(toQ(model.readyText()), this);
    ready->setWordWrap(true);
    texts->addWidget(needed);
    texts->addWidget(ready);
    texts->addStretch(1);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("mediaList"));
    for (const std::string& name : model.media()) m_list->addItem(toQ(name));
    if (model.selected() >= 0) m_list->setCurrentRow(model.selected());
    auto* top = new QHBoxLayout;
    top->addLayout(texts, 1);
    top->addWidget(m_list, 1);
    m_proceed = new QPushButton(u8q("&Weiter"), this);
    m_proceed->setObjectName(QStringLiteral("mediaProceed"));
    m_proceed->setDefault(true);
    m_interrupt = new QPushButton(u8q("&Unterbrechen"), this);
    m_interrupt->setObjectName(QStringLiteral("mediaInterrupt"));
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttonRow(m_proceed, m_interrupt));
    connect(m_proceed, &QPushButton::clicked, this, [this] { m_model.proceed(); });
    connect(m_interrupt, &QPushButton::clicked, this, [this] { m_model.interrupt(); });
}

void MediaListView::reject() {
    m_model.interrupt();
    QDialog::reject();
}

MediumChangeView::MediumChangeView(output::MediumChangeModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("mediumChangeDialog"));
    setWindowTitle(toQ(model.title()));
    setModal(true);
    auto* picture = new QLabel(this);
    picture->setPixmap(Artwork::pixmap(toQ(model.bitmap()), QSize(48, 48)));
    m_error = boldLabel(toQ(model.errorText()), this);
    m_error->setObjectName(QStringLiteral("mediumError"));
    m_name = boldLabel(toQ(model.quotedName()), this);
    m_name->setObjectName(QStringLiteral("mediumName"));
    auto* texts = new QVBoxLayout;
    texts->addWidget(m_error);
    texts->addWidget(new QLabel(toQ(model.promptText()), this));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(toQ(model.nameLabel()), this));
    nameRow->addWidget(m_name, 1);
    texts->addLayout(nameRow);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    m_proceed = new QPushButton(u8q("&Weiter"), this);
    m_proceed->setObjectName(QStringLiteral("mediumProceed"));
    m_proceed->setDefault(true);
    m_interrupt = new QPushButton(u8q("&Unterbrechen"), this);
    m_interrupt->setObjectName(QStringLiteral("mediumInterrupt"));
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(buttonRow(m_proceed, m_interrupt));
    connect(m_proceed, &QPushButton::clicked, this, [this] { m_model.proceed(); });
    connect(m_interrupt, &QPushButton::clicked, this, [this] { m_model.interrupt(); });
    m_model.onChanged = [this] { m_error->setText(toQ(m_model.errorText())); };
}

MediumChangeView::~MediumChangeView() { m_model.onChanged = nullptr; }

void MediumChangeView::reject() {
    m_model.interrupt();
    QDialog::reject();
}

void registerTransferMediaViews(QtUi& ui) {
    ui.registerView<output::MediaListModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new MediaListView(static_cast<output::MediaListModel&>(model), parent));
    });
    ui.registerView<output::MediumChangeModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new MediumChangeView(static_cast<output::MediumChangeModel&>(model), parent));
    });
}

}  // namespace klango::gui
