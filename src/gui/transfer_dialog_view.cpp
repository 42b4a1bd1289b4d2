#include "gui/transfer_dialog_view.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

namespace {

QCheckBox* box(QWidget* parent, const char* utf8Caption, const char* name) {
    auto* b = new QCheckBox(u8q(utf8Caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QLabel* bold(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

TransferDialogView::TransferDialogView(output::TransferDialogModel& model, QWidget* parent,
                                       std::function<void()> showHelp)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("transferDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(toQ(model.icon())));
    setModal(true);

    auto* upper = new QGroupBox(this);
    auto* grid = new QGridLayout(upper);
    grid->addWidget(new QLabel(u8q("Ziel-Ordner"), upper), 0, 0);
    m_destination = new QLineEdit(upper);
    m_destination->setObjectName(QStringLiteral("transferDestination"));
    m_destination->setReadOnly(true);
    m_destination->setMinimumWidth(260);
    m_browse = new QPushButton(QStringLiteral("..."), upper);
    m_browse->setObjectName(QStringLiteral("transferBrowse"));
    m_browse->setToolTip(u8q("Zielordner wählen"));
    m_browse->setStatusTip(u8q("Zielordner auswählen"));
    m_browse->setFixedWidth(28);
    auto* destRow = new QHBoxLayout;
    destRow->addWidget(m_destination, 1);
    destRow->addWidget(m_browse);
    grid->addLayout(destRow, 0, 1);

    grid->addWidget(new QLabel(u8q("Auswahl"), upper), 1, 0);
    m_all = new QRadioButton(u8q("Alle Titel übertragen"), upper);
    m_all->setObjectName(QStringLiteral("transferAll"));
    m_rating = new QRadioButton(u8q("Titel nach Wertigkeit übertragen"), upper);
    m_rating->setObjectName(QStringLiteral("transferRating"));
    m_all->setStatusTip(u8q("Titelauswahl"));
    m_rating->setStatusTip(u8q("Titelauswahl"));
    auto* selection = new QVBoxLayout;
    selection->addWidget(m_all);
    selection->addWidget(m_rating);
    grid->addLayout(selection, 1, 1);

    grid->addWidget(new QLabel(u8q("ab Note"), upper), 2, 0);
    m_note = new QSpinBox(upper);
    m_note->setObjectName(QStringLiteral("transferNote"));
    m_note->setRange(0, 9);
    m_note->setFixedWidth(48);
    grid->addWidget(m_note, 2, 1, Qt::AlignLeft);

    grid->addWidget(new QLabel(u8q("Optionen"), upper), 3, 0, Qt::AlignTop);
    auto* options = new QVBoxLayout;
    m_tagged = box(upper, " Nur &markierte Titel übertragen", "transferTagged");
    m_structure = box(upper, " &Ordnerstruktur beibehalten", "transferStructure");
    m_artist = box(upper, " Interpreten", "transferArtist");
    m_album = box(upper, " Albumtitel", "transferAlbum");
    m_number = box(upper, " Titelnummer", "transferNumber");
    m_database = box(upper, " &Neue Datenbank erzeugen", "transferDatabase");
    m_openAfter = box(upper, " Neue Datenbank nach Transfer &öffnen", "transferOpenAfter");
    options->addWidget(m_tagged);
    options->addWidget(m_structure);
    auto indent = [options](QCheckBox* b) {
        auto* row = new QHBoxLayout;
        row->addSpacing(20);
        row->addWidget(b, 1);
        options->addLayout(row);
    };
    for (QCheckBox* b : {m_artist, m_album, m_number}) indent(b);
    options->addWidget(m_database);
    indent(m_openAfter);
    grid->addLayout(options, 3, 1);

    grid->addWidget(new QLabel(u8q("Datenbank"), upper), 4, 0);
    m_databaseName = new QLineEdit(upper);
    m_databaseName->setObjectName(QStringLiteral("transferDatabaseName"));
    m_databaseName->setReadOnly(true);
    grid->addWidget(m_databaseName, 4, 1);

    auto* lower = new QGroupBox(this);
    auto* low = new QGridLayout(lower);
    low->addWidget(new QLabel(u8q("Kopiere"), lower), 0, 0);
    m_progress = bold(lower, "transferProgress");
    m_progress->setMinimumWidth(260);
    low->addWidget(m_progress, 0, 1, 1, 3);
    m_meter = new QProgressBar(lower);
    m_meter->setObjectName(QStringLiteral("transferMeter"));
    m_meter->setTextVisible(false);
    low->addWidget(m_meter, 1, 0, 1, 4);
    low->addWidget(new QLabel(u8q("verfügbarer Speicher"), lower), 2, 0);
    m_free = bold(lower, "transferFree");
    m_free->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    low->addWidget(m_free, 2, 1);
    low->addWidget(new QLabel(QStringLiteral("MB"), lower), 2, 2);
    low->addWidget(new QLabel(u8q("benötigt"), lower), 3, 0);
    m_needed = bold(lower, "transferNeeded");
    m_needed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    low->addWidget(m_needed, 3, 1);
    low->addWidget(new QLabel(QStringLiteral("MB"), lower), 3, 2);
    low->setColumnStretch(3, 1);

    m_copy = new QPushButton(u8q("&Kopieren"), this);
    m_copy->setObjectName(QStringLiteral("transferCopy"));
    m_copy->setToolTip(u8q("Datenkopie starten"));
    m_copy->setDefault(true);
    m_help = new QPushButton(u8q("&Hilfe"), this);
    m_help->setObjectName(QStringLiteral("transferHelp"));
    m_help->setToolTip(u8q("Hilfe anzeigen"));
    m_abort = new QPushButton(u8q("&Abbruch"), this);
    m_abort->setObjectName(QStringLiteral("transferAbort"));
    m_abort->setToolTip(u8q("Datenkopie abbrechen"));
    m_abort->setStatusTip(u8q("Dialog beenden"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_help);
    buttons->addWidget(m_abort);
    buttons->addStretch(1);

    auto* all = new QVBoxLayout(this);
    all->addWidget(upper);
    all->addWidget(lower);
    all->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, [this] { m_model.chooseDestination(); });
    connect(m_all, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_refreshing && on) m_model.setSelection(1);
    });
    connect(m_rating, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_refreshing && on) m_model.setSelection(2);
    });
    connect(m_note, &QSpinBox::valueChanged, this, [this](int v) {
        if (!m_refreshing) m_model.setNote(v);
    });
    auto bindBox = [this](QCheckBox* b, void (output::TransferDialogModel::*set)(bool)) {
        connect(b, &QCheckBox::toggled, this, [this, set](bool on) {
            if (!m_refreshing) (m_model.*set)(on);
        });
    };
    bindBox(m_tagged, &output::TransferDialogModel::setTagged);
    bindBox(m_structure, &output::TransferDialogModel::setStructured);
    bindBox(m_artist, &output::TransferDialogModel::setArtist);
    bindBox(m_album, &output::TransferDialogModel::setAlbum);
    bindBox(m_number, &output::TransferDialogModel::setNumber);
    bindBox(m_database, &output::TransferDialogModel::setDatabase);
    bindBox(m_openAfter, &output::TransferDialogModel::setOpenAfter);
    connect(m_copy, &QPushButton::clicked, this, [this] { m_model.copy(); });
    connect(m_help, &QPushButton::clicked, this, [showHelp] {
        if (showHelp) showHelp();
    });
    connect(m_abort, &QPushButton::clicked, this, [this] { m_model.abort(); });

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

TransferDialogView::~TransferDialogView() { m_model.onChanged = nullptr; }

void TransferDialogView::reject() {
    // Escape: as the close box.
    m_model.closeBox();
    if (m_model.closeRequested()) QDialog::reject();
}

void TransferDialogView::closeEvent(QCloseEvent* event) {
    if (m_model.running()) {
        m_model.closeBox();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);  // goes through reject()
}

void TransferDialogView::refresh() {
    m_refreshing = true;
    const output::TransferOptions& o = m_model.options();
    m_destination->setText(toQ(o.CPATH));
    m_all->setChecked(o.NAUSWAHL != 2);
    m_rating->setChecked(o.NAUSWAHL == 2);
    m_note->setValue(o.NNOTE);
    m_note->setEnabled(m_model.noteEnabled());
    m_tagged->setChecked(o.LTAGGED);
    m_tagged->setEnabled(m_model.taggedEnabled());
    m_structure->setChecked(o.LORDNER);
    m_artist->setChecked(o.LGROUP);
    m_album->setChecked(o.LALBUM);
    m_number->setChecked(o.LTRACK);
    for (QCheckBox* b : {m_artist, m_album, m_number}) b->setEnabled(m_model.nameOptionsEnabled());
    m_database->setChecked(m_model.database());
    m_openAfter->setChecked(m_model.openAfter());
    m_openAfter->setEnabled(m_model.openAfterEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{m_browse, m_all, m_rating, m_structure, m_database})
        w->setEnabled(m_model.optionsEnabled());
    m_databaseName->setText(toQ(m_model.databaseText()));
    m_progress->setText(toQ(m_model.progressText()));
    const long total = std::max(m_model.meterTotal(), 1L);
    m_meter->setRange(0, int(std::min(total, 1000000L)));
    m_meter->setValue(int(std::min(std::clamp(m_model.meterPosition(), 0L, total), 1000000L)));
    m_free->setText(toQ(output::TransferDialogModel::megabytes(m_model.freeMB())));
    m_needed->setText(toQ(output::TransferDialogModel::megabytes(m_model.neededMB())));
    m_copy->setEnabled(m_model.copyEnabled());
    m_help->setEnabled(!m_model.running());
    m_refreshing = false;
}

void TransferDialogView::registerWith(QtUi& ui) {
    ui.registerView<output::TransferDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new TransferDialogView(static_cast<output::TransferDialogModel&>(model),
                                                               parent, [&ui] { ui.showHelp(); }));
    });
}

}  // namespace klango::gui
