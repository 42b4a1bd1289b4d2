#include "gui/search_dialog_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "query/search_dialog_model.h"

namespace klango::gui {

namespace {

using Field = query::SearchDialogModel::Field;
constexpr std::array<Field, 4> kFields = {Field::Group, Field::Album, Field::Title, Field::Text};

}  // namespace

SearchDialogView::SearchDialogView(query::SearchDialogModel& model, std::function<void()> help, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("searchDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(QStringLiteral("Suchen")));
    setModal(true);
    setMinimumSize(435, 330);

    auto* top = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setPixmap(Artwork::pixmap(QStringLiteral("Import"), QSize(48, 48)));
    top->addWidget(picture);
    auto* intro = new QLabel(toQ(query::SearchDialogModel::kIntro), this);
    intro->setWordWrap(true);
    intro->setAlignment(Qt::AlignCenter);
    top->addWidget(intro, 1);

    auto* grid = new QGridLayout;
    const char* labels[] = {"Interpret", "Albumtitel", "Songtitel", "Volltextsuche"};
    const char* tips[] = {"Geben Sie einen Interpreten als Suchbegriff ein !",
                          "Geben Sie einen Albumtitel als Suchbegriff ein !",
                          "Geben Sie einen Songtitel als Suchbegriff ein !", "Geben Sie bis zu 10 Suchbegriffe ein !"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(u8q(labels[i]), this), i, 0);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("searchField%1").arg(i));
        edit->setMaxLength(i == 3 ? query::kTextWidth : query::kTermWidth);
        edit->setStatusTip(u8q(tips[i]));
        grid->addWidget(edit, i, 1);
        m_fields[size_t(i)] = edit;
        const Field field = kFields[size_t(i)];
        connect(edit, &QLineEdit::textEdited, this, [this, edit, field](const QString& text) {
            const int cursor = edit->cursorPosition();
            m_model.setValue(field, fromQ(text));
            edit->setText(toQ(m_model.value(field)));
            edit->setCursorPosition(std::min(cursor, int(edit->text().size())));
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, field] { m_model.leave(field); });
    }
    m_link1 = new QComboBox(this);
    m_link2 = new QComboBox(this);
    for (QComboBox* link : {m_link1, m_link2}) link->addItems({u8q(query::kAnd), u8q(query::kOr)});
    grid->addWidget(m_link1, 0, 2);
    grid->addWidget(m_link2, 1, 2);
    connect(m_link1, &QComboBox::activated, this, [this](int i) { m_model.setLink1(i == 1); });
    connect(m_link2, &QComboBox::activated, this, [this](int i) { m_model.setLink2(i == 1); });

    m_inAll = new QCheckBox(u8q(" &In allen Datenbanken suchen"), this);
    connect(m_inAll, &QCheckBox::clicked, this, [this](bool on) { m_model.setInAll(on); });

    auto* progress = new QGroupBox(u8q("Fortschritt"), this);
    auto* progressLayout = new QVBoxLayout(progress);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(u8q("Suche in Datei"), progress));
    m_file = new QLabel(progress);
    QFont bold = m_file->font();
    bold.setBold(true);
    m_file->setFont(bold);
    fileRow->addWidget(m_file, 1);
    progressLayout->addLayout(fileRow);
    m_bar = new QProgressBar(progress);
    m_bar->setTextVisible(false);
    progressLayout->addWidget(m_bar);

    auto* buttons = new QHBoxLayout;
    m_clear = new QPushButton(u8q("&Leeren"), this);
    m_clear->setStatusTip(u8q("Dialog leeren"));
    m_start = new QPushButton(u8q("&Starten"), this);
    m_start->setToolTip(u8q("Suche starten"));
    m_help = new QPushButton(u8q("&Hilfe"), this);
    m_help->setToolTip(u8q("Hilfe anzeigen"));
    m_cancel = new QPushButton(u8q("&Abbrechen"), this);
    m_cancel->setToolTip(u8q("Suche abbrechen"));
    for (QPushButton* b : {m_clear, m_start, m_help, m_cancel}) buttons->addWidget(b);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_model.clear();
        m_fields[0]->setFocus();
    });
    connect(m_start, &QPushButton::clicked, this, [this] { m_model.start(); });
    connect(m_help, &QPushButton::clicked, this, [help] {
        if (help) help();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_model.abort(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(grid);
    layout->addWidget(m_inAll);
    layout->addWidget(progress);
    layout->addLayout(buttons);

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

SearchDialogView::~SearchDialogView() { m_model.onChanged = nullptr; }

void SearchDialogView::reject() {
    if (m_model.searched()) {
        m_model.abort();  // a running search stops between two files and then closes the dialog
        return;
    }
    m_model.abort();
    QDialog::reject();
}

void SearchDialogView::refresh() {
    for (size_t i = 0; i < kFields.size(); ++i) {
        QLineEdit* edit = m_fields[i];
        const QString text = toQ(m_model.value(kFields[i]));
        if (edit->text() != text) edit->setText(text);
        edit->setEnabled(m_model.fieldEnabled(kFields[i]));
    }
    const bool oder1 = m_model.criteria().andOr1 == query::kOr;
    const bool oder2 = m_model.criteria().andOr2 == query::kOr;
    m_link1->setCurrentIndex(oder1 ? 1 : 0);
    m_link2->setCurrentIndex(oder2 ? 1 : 0);
    m_link1->setEnabled(!m_model.searched());
    m_link2->setEnabled(!m_model.searched());
    m_inAll->setChecked(m_model.criteria().inAll);
    m_inAll->setEnabled(!m_model.searched());
    m_file->setText(toQ(m_model.currentFile()));
    m_bar->setRange(0, int(std::max(m_model.total(), 1L)));
    m_bar->setValue(int(std::clamp(m_model.position(), 0L, std::max(m_model.total(), 1L))));
    m_start->setEnabled(m_model.canStart());
    m_clear->setEnabled(m_model.canClear());
    m_help->setEnabled(!m_model.searched());
    m_cancel->setEnabled(m_model.canCancel());
}

void SearchDialogView::registerWith(QtUi& ui) {
    ui.registerView<query::SearchDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new SearchDialogView(static_cast<query::SearchDialogModel&>(model),
                                                             [&ui] { ui.showHelp(); }, parent));
    });
}

}  // namespace klango::gui
