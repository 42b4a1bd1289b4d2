#include "gui/stats_dialog_view.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "query/stats_dialog_model.h"

namespace klango::gui {

namespace {

// A figure: bold and framed, centred (the size right-aligned).
QLabel* figure(QWidget* parent, const std::string& text, Qt::Alignment align = Qt::AlignCenter) {
    QString shown = toQ(text).trimmed();
    auto* label = new QLabel(shown, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(shown) + 12);
    return label;
}

}  // namespace

StatsDialogView::StatsDialogView(query::StatsDialogModel& model, std::function<void()> help, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("statsDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(QStringLiteral("STATIST")));
    setModal(true);
    setMinimumSize(350, 220);

    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* grid = new QGridLayout(frame);
    auto label = [&](const char* text, int row, int col) { grid->addWidget(new QLabel(u8q(text), frame), row, col); };
    label("Interpreten", 0, 0);
    grid->addWidget(figure(frame, model.artistsText()), 0, 1);
    label("Songtitel", 0, 2);
    grid->addWidget(figure(frame, model.titlesText()), 0, 3);
    label("Alben", 1, 0);
    grid->addWidget(figure(frame, model.albumsText()), 1, 1);
    label("Musikrichtungen", 1, 2);
    grid->addWidget(figure(frame, model.genresText()), 1, 3);
    label("Laufzeit", 2, 0);
    auto* time = new QHBoxLayout;
    time->addWidget(figure(frame, model.hoursText()));
    time->addWidget(new QLabel(u8q("Std."), frame));
    time->addWidget(figure(frame, model.minutesText()));
    time->addWidget(new QLabel(u8q("Min."), frame));
    time->addWidget(figure(frame, model.secondsText()));
    time->addWidget(new QLabel(u8q("Sek."), frame));
    grid->addLayout(time, 2, 1, 1, 3);
    label("gespielte Titel", 3, 0);
    grid->addWidget(figure(frame, model.playedText()), 3, 1);
    label("=", 3, 2);
    auto* percent = new QHBoxLayout;
    percent->addWidget(figure(frame, model.percentText()));
    percent->addWidget(new QLabel(u8q("%"), frame));
    grid->addLayout(percent, 3, 3);
    label("Kapazität", 4, 0);
    auto* size = new QHBoxLayout;
    size->addWidget(figure(frame, model.sizeText(), Qt::AlignRight));
    size->addWidget(new QLabel(u8q("MBytes"), frame));
    grid->addLayout(size, 4, 1, 1, 3);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("statsNote"));
    m_note->setAlignment(Qt::AlignCenter);
    m_note->setAutoFillBackground(true);
    QFont bold = m_note->font();
    bold.setBold(true);
    m_note->setFont(bold);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(8);

    auto* buttons = new QHBoxLayout;
    m_more = new QPushButton(u8q("&Mehr"), this);
    m_more->setToolTip(u8q("Mehr Statistiken"));
    m_more->setStatusTip(u8q("Alle Datenbanken auswerten"));
    auto* helpButton = new QPushButton(u8q("&Hilfe"), this);
    helpButton->setToolTip(u8q("Hilfe anzeigen"));
    m_close = new QPushButton(u8q("&Beenden"), this);
    m_close->setToolTip(u8q("Dialog beenden"));
    m_close->setStatusTip(u8q("Diesen Dialog beenden"));
    for (QPushButton* b : {m_more, helpButton, m_close}) buttons->addWidget(b);
    connect(m_more, &QPushButton::clicked, this, [this] { m_model.more(); });
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help) help();
    });
    connect(m_close, &QPushButton::clicked, this, [this] { m_model.close(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_note);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

StatsDialogView::~StatsDialogView() { m_model.onChanged = nullptr; }

void StatsDialogView::reject() {
    if (m_model.canClose()) QDialog::reject();
}

void StatsDialogView::refresh() {
    m_note->setText(toQ(m_model.note()));
    applyColorString(m_note, m_model.noteColors());
    m_bar->setVisible(m_model.progressVisible());
    m_bar->setRange(0, int(std::max(m_model.total(), 1L)));
    m_bar->setValue(int(std::clamp(m_model.position(), 0L, std::max(m_model.total(), 1L))));
    m_more->setEnabled(m_model.canMore());
    m_close->setEnabled(m_model.canClose());
}

AllStatsDialogView::AllStatsDialogView(query::AllStatsDialogModel& model, QWidget* parent) : QDialog(parent) {
    using M = query::AllStatsDialogModel;
    setObjectName(QStringLiteral("allStatsDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(QStringLiteral("STATIST")));
    setModal(true);
    setMinimumSize(598, 390);

    m_grid = new QTableWidget(model.rowCount(), M::kColumns, this);
    m_grid->setObjectName(QStringLiteral("allStatsGrid"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    QPalette p = m_grid->palette();
    p.setColor(QPalette::Highlight, Qt::blue);
    p.setColor(QPalette::HighlightedText, Qt::white);
    m_grid->setPalette(p);
    for (int c = 0; c < M::kColumns; ++c) {
        auto* heading = new QTableWidgetItem(toQ(M::kHeadings[size_t(c)]));
        m_grid->setHorizontalHeaderItem(c, heading);
        for (int r = 0; r < model.rowCount(); ++r) {
            auto* item = new QTableWidgetItem(toQ(model.cellText(r, c)));
            item->setTextAlignment((M::kRightAligned[size_t(c)] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();  // whole figures, however wide
    for (int c = 0; c < M::kColumns; ++c) m_grid->setColumnWidth(c, std::max(m_grid->columnWidth(c), M::kWidths[size_t(c)]));
    if (model.rowCount() > 0) m_grid->selectRow(0);
    // The dialog widens to the grid, so that no figure hides behind a scroll bar.
    int gridWidth = m_grid->frameWidth() * 2 + 4;
    for (int c = 0; c < M::kColumns; ++c) gridWidth += m_grid->columnWidth(c);
    m_grid->setMinimumWidth(std::min(gridWidth, 1400));
    m_grid->setHorizontalScrollBarPolicy(gridWidth <= 1400 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    setMinimumSize(std::max(598, std::min(gridWidth, 1400) + 24), 390);

    m_summary = new QLabel(toQ(model.summary()), this);
    m_summary->setObjectName(QStringLiteral("allStatsSummary"));
    auto* close = new QPushButton(u8q("&Beenden"), this);
    close->setToolTip(u8q("Dialog beenden"));
    close->setStatusTip(u8q("Diesen Dialog beenden"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this, &model] {
        model.close();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    adjustSize();
}

void StatsDialogView::registerWith(QtUi& ui) {
    ui.registerView<query::StatsDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new StatsDialogView(static_cast<query::StatsDialogModel&>(model),
                                                            [&ui] { ui.showHelp(); }, parent));
    });
    ui.registerView<query::AllStatsDialogModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new AllStatsDialogView(static_cast<query::AllStatsDialogModel&>(model), parent));
    });
}

}  // namespace klango::gui
