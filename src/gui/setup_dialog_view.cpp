#include "gui/setup_dialog_view.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "settings/setup_dialog_model.h"

namespace klango::gui {

namespace {

using settings::SetupControl;
using settings::SetupDialogModel;

QCheckBox* box(const char* utf8, QWidget* parent, const std::function<void(bool)>& onClick) {
    auto* b = new QCheckBox(u8q(utf8), parent);
    QObject::connect(b, &QCheckBox::clicked, b, onClick);
    return b;
}

QLineEdit* pathField(QWidget* parent, const char* name) {
    auto* f = new QLineEdit(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setReadOnly(true);
    f->setMinimumWidth(300);
    return f;
}

QToolButton* pickButton(QWidget* parent, const char* toolTip, const std::function<void()>& onClick) {
    auto* b = new QToolButton(parent);
    b->setText(QStringLiteral("..."));
    b->setToolTip(u8q(toolTip));
    QObject::connect(b, &QToolButton::clicked, b, onClick);
    return b;
}

}  // namespace

SetupDialogView::SetupDialogView(SetupDialogModel& model, std::function<void()> help, QWidget* parent)
    : QDialog(parent), m_model(model), m_help(std::move(help)) {
    setObjectName(QStringLiteral("setupDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(QStringLiteral("Setup")));
    setModal(true);

    m_tabs = new QTabWidget(this);
    m_tabs->addTab(startupPage(), u8q("Start&up"));
    m_tabs->addTab(winampPage(), u8q("&WinAmp"));
    m_tabs->addTab(player2Page(), u8q("Player &2"));
    m_tabs->addTab(tablePage(), u8q("&Tabelle"));

    m_save = new QPushButton(u8q("&Speichern"), this);
    m_save->setToolTip(u8q("Einstellungen speichern"));
    m_helpButton = new QPushButton(u8q("&Hilfe"), this);
    m_helpButton->setToolTip(u8q("Hilfe anzeigen"));
    m_end = new QPushButton(u8q("&Ende"), this);
    m_end->setToolTip(u8q("Beenden ohne Speichern"));
    for (QPushButton* b : {m_save, m_helpButton, m_end}) b->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { m_model.save(); });
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        if (m_help) m_help();
    });
    connect(m_end, &QPushButton::clicked, this, [this] { m_model.end(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_helpButton);
    buttons->addWidget(m_end);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

SetupDialogView::~SetupDialogView() { m_model.onChanged = nullptr; }

QWidget* SetupDialogView::startupPage() {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    m_autoOpen = box(" Die letzte Musikdatenbank beim Start öffnen", page,
                     [this](bool on) { m_model.setAutoOpen(on); });
    m_autoStart = box(" Das letzte Musikprogramm automatisch starten", page,
                      [this](bool on) { m_model.setAutoStart(on); });
    l->addWidget(m_autoOpen);
    l->addWidget(m_autoStart);
    l->addStretch();
    return page;
}

QWidget* SetupDialogView::winampPage() {
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(new QLabel(u8q("WinAmp-Pfad"), page), 0, 0);
    m_ampPath = pathField(page, "ampPath");
    l->addWidget(m_ampPath, 0, 1);
    m_ampPick = pickButton(page, "WinAmp manuell suchen", [this] { m_model.chooseAmpPath(); });
    l->addWidget(m_ampPick, 0, 2);
    m_search = new QPushButton(u8q("Su&chen"), page);
    m_search->setToolTip(u8q("WinAmp automatisch suchen"));
    m_interrupt = new QPushButton(u8q("&Unterbrechen"), page);
    m_interrupt->setToolTip(u8q("Suche unterbrechen"));
    for (QPushButton* b : {m_search, m_interrupt}) b->setAutoDefault(false);
    connect(m_search, &QPushButton::clicked, this, [this] {
        m_model.search();
        if (m_search->isVisible()) m_search->setFocus();
    });
    connect(m_interrupt, &QPushButton::clicked, this, [this] { m_model.interrupt(); });
    auto* row = new QHBoxLayout;
    row->addWidget(m_search);
    row->addWidget(m_interrupt);
    row->addStretch();
    l->addLayout(row, 1, 1);
    m_ampAddPl =
        box(" WinAmp kann seine Playliste aktualisieren", page, [this](bool on) { m_model.setAmpAddPl(on); });
    m_ampUseIt = box(" WinAmp als Player benutzen", page, [this](bool on) { m_model.setAmpUseIt(on); });
    l->addWidget(m_ampAddPl, 2, 0, 1, 3);
    l->addWidget(m_ampUseIt, 3, 0, 1, 3);
    l->setRowStretch(4, 1);
    return page;
}

QWidget* SetupDialogView::player2Page() {
    auto* page = new QWidget;
    auto* l = new QGridLayout(page);
    l->addWidget(new QLabel(u8q("Player-2 Pfad"), page), 0, 0);
    m_pl2Path = pathField(page, "pl2Path");
    l->addWidget(m_pl2Path, 0, 1);
    m_pl2Pick = pickButton(page, "Player 2 manuell suchen", [this] { m_model.choosePl2Path(); });
    l->addWidget(m_pl2Pick, 0, 2);
    l->addWidget(new QLabel(u8q("Playlist-Pfad"), page), 1, 0);
    m_pl2List = pathField(page, "pl2List");
    l->addWidget(m_pl2List, 1, 1);
    m_pl2ListPick = pickButton(page, "Playlisten-Pfad suchen", [this] { m_model.choosePl2PList(); });
    l->addWidget(m_pl2ListPick, 1, 2);
    m_pl2AddPl = box("Player-2 kann seine Playliste aktualisieren", page,
                     [this](bool on) { m_model.setPl2AddPl(on); });
    m_pl2UseIt = box("Player-2 als Player benutzen", page, [this](bool on) { m_model.setPl2UseIt(on); });
    l->addWidget(m_pl2AddPl, 2, 0, 1, 3);
    l->addWidget(m_pl2UseIt, 3, 0, 1, 3);
    l->setRowStretch(4, 1);
    return page;
}

QWidget* SetupDialogView::tablePage() {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    m_markDate = box(" Titel, die heute gespielt wurden, zur Markierung zulassen", page,
                     [this](bool on) { m_model.setMarkDate(on); });
    m_markHour = box(" Titel, die in den letzten 2 Stunden gespielt wurden, zur Markierung zulassen", page,
                     [this](bool on) { m_model.setMarkHour(on); });
    m_markSort = box(" Sortierungsdialog der Playliste überspringen", page,
                     [this](bool on) { m_model.setMarkSort(on); });
    m_showTrak =
        box(" Titel-Nummern im Songtitel anzeigen", page, [this](bool on) { m_model.setShowTrak(on); });
    for (QCheckBox* b : {m_markDate, m_markHour, m_markSort, m_showTrak}) l->addWidget(b);

    auto radios = [this, page](const char* label, std::array<const char*, 3> texts,
                               std::array<QRadioButton*, 3>& out, void (SetupDialogModel::*set)(long long)) {
        auto* group = new QGroupBox(u8q(label), page);
        auto* gl = new QHBoxLayout(group);
        auto* buttons = new QButtonGroup(group);
        for (int i = 0; i < 3; ++i) {
            out[i] = new QRadioButton(u8q(texts[i]), group);
            buttons->addButton(out[i], i + 1);
            gl->addWidget(out[i]);
            connect(out[i], &QRadioButton::clicked, this, [this, set, i] { (m_model.*set)(i + 1); });
        }
        return group;
    };
    auto* row = new QHBoxLayout;
    row->addWidget(radios("bei Doppelklick",
                          {" Titel markieren", " Titel sofort abspielen", " Titel editieren"}, m_dblClick,
                          &SetupDialogModel::setDblClick));
    row->addWidget(
        radios("Schriftgröße", {" Klein", " Normal", " Groß"}, m_font, &SetupDialogModel::setFontSize));
    l->addLayout(row);
    l->addStretch();
    return page;
}

void SetupDialogView::refresh() {
    const auto& v = m_model.values();
    auto on = [this](SetupControl c) { return m_model.enabled(c); };
    m_autoOpen->setChecked(v.autoOpen);
    m_autoStart->setChecked(v.autoStart);
    m_ampPath->setText(toQ(m_model.ampPathField()));
    m_ampAddPl->setChecked(v.ampAddPl);
    m_ampUseIt->setChecked(v.ampUseIt);
    m_pl2Path->setText(toQ(v.pl2Path));
    m_pl2List->setText(toQ(v.pl2PList));
    m_pl2AddPl->setChecked(v.pl2AddPl);
    m_pl2UseIt->setChecked(v.pl2UseIt);
    m_markDate->setChecked(v.markDate);
    m_markHour->setChecked(v.markHour);
    m_markSort->setChecked(v.markSort);
    m_showTrak->setChecked(v.showTrak);
    for (int i = 0; i < 3; ++i) {
        // A value outside 1 to 3 (a hand-edited file) checks no button.
        m_dblClick[i]->group()->setExclusive(false);
        m_dblClick[i]->setChecked(v.dblClick == i + 1);
        m_dblClick[i]->group()->setExclusive(true);
        m_font[i]->group()->setExclusive(false);
        m_font[i]->setChecked(v.fontSize == i + 1);
        m_font[i]->group()->setExclusive(true);
        m_dblClick[i]->setEnabled(on(SetupControl::DblClick));
        m_font[i]->setEnabled(on(SetupControl::FontSize));
    }
    m_autoOpen->setEnabled(on(SetupControl::AutoOpen));
    m_autoStart->setEnabled(on(SetupControl::AutoStart));
    m_ampPick->setEnabled(on(SetupControl::AmpPathButton));
    m_search->setEnabled(on(SetupControl::AmpSearch));
    m_interrupt->setEnabled(on(SetupControl::AmpInterrupt));
    m_ampAddPl->setEnabled(on(SetupControl::AmpAddPl));
    m_ampUseIt->setEnabled(on(SetupControl::AmpUseIt));
    m_pl2Pick->setEnabled(on(SetupControl::Pl2PathButton));
    m_pl2ListPick->setEnabled(on(SetupControl::Pl2ListButton));
    m_pl2AddPl->setEnabled(on(SetupControl::Pl2AddPl));
    m_pl2UseIt->setEnabled(on(SetupControl::Pl2UseIt));
    m_markDate->setEnabled(on(SetupControl::MarkDate));
    m_markHour->setEnabled(on(SetupControl::MarkHour));
    m_markSort->setEnabled(on(SetupControl::MarkSort));
    m_showTrak->setEnabled(on(SetupControl::ShowTrak));
    m_save->setEnabled(on(SetupControl::Save));
    m_helpButton->setEnabled(on(SetupControl::Help));
    m_end->setEnabled(on(SetupControl::End));
}

void SetupDialogView::reject() { m_model.closeBox(); }

void SetupDialogView::registerWith(QtUi& ui) {
    ui.registerView<SetupDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new SetupDialogView(
            static_cast<SetupDialogModel&>(model), [&ui] { ui.showHelp(); }, parent));
    });
}

}  // namespace klango::gui
