#include "gui/playlist_export_view.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

using Model = output::PlaylistExportModel;

PlaylistExportView::PlaylistExportView(Model& model, QWidget* parent, std::function<void()> showHelp)
    : QDialog(parent), m_model(model) {
    setObjectName("PlaylistExportView");
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(frame);
    m_tagged = new QCheckBox(toQ(Model::kTaggedText), frame);
    m_playNow = new QCheckBox(toQ(Model::kPlayNowText), frame);
    m_delMark = new QCheckBox(toQ(Model::kDelMarkText), frame);
    grid->addWidget(m_tagged, 0, 0, 1, 2);
    grid->addWidget(m_playNow, 1, 0, 1, 2);
    grid->addWidget(m_delMark, 2, 0, 1, 2);
    auto* groupLabel = new QLabel(toQ(Model::kGroupLabel), frame);
    groupLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    auto* radios = new QVBoxLayout;
    m_append = new QRadioButton(toQ(Model::kAppendText), frame);
    m_new = new QRadioButton(toQ(Model::kNewText), frame);
    radios->addWidget(m_append);
    radios->addWidget(m_new);
    grid->addWidget(groupLabel, 3, 0);
    grid->addLayout(radios, 3, 1);
    grid->addWidget(new QLabel(toQ(Model::kNameLabel), frame), 4, 0);
    m_name = new QLineEdit(frame);
    m_name->setMaxLength(int(Model::kNameWidth));
    m_name->installEventFilter(this);
    grid->addWidget(m_name, 4, 1);

    m_continue = new QPushButton(u8q("&Weiter"), this);
    m_continue->setToolTip(u8q("Export starten"));
    m_continue->setDefault(true);
    auto* help = new QPushButton(u8q("&Hilfe"), this);
    help->setToolTip(u8q("Hilfe anzeigen"));
    auto* quit = new QPushButton(u8q("&Ende"), this);
    quit->setToolTip(u8q("Export beenden"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_continue);
    buttons->addWidget(help);
    buttons->addWidget(quit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(m_tagged, &QCheckBox::toggled, this, [this](bool on) { m_model.setTagged(on); });
    connect(m_playNow, &QCheckBox::toggled, this, [this](bool on) { m_model.setPlayNow(on); });
    connect(m_delMark, &QCheckBox::toggled, this, [this](bool on) { m_model.setDelMark(on); });
    connect(m_append, &QRadioButton::toggled, this, [this](bool on) { m_model.setAppend(on); });
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_model.setFileName(fromQ(text)); });
    connect(m_continue, &QPushButton::clicked, this, [this] { m_model.accept(); });
    connect(help, &QPushButton::clicked, this, [showHelp] {
        if (showHelp) showHelp();
    });
    connect(quit, &QPushButton::clicked, this, [this] { m_model.cancel(); });
    m_model.onChanged = [this] { refresh(); };
    refresh();
    m_name->setText(toQ(m_model.values().fileName));
}

void PlaylistExportView::refresh() {
    const Model::Values& v = m_model.values();
    const QSignalBlocker b1(m_tagged), b2(m_playNow), b3(m_delMark), b4(m_append), b5(m_new);
    m_tagged->setChecked(v.tagged);
    m_playNow->setChecked(v.playNow);
    m_delMark->setChecked(v.delMark);
    m_append->setChecked(v.append);
    m_new->setChecked(!v.append);
    const QString name = toQ(v.fileName);
    if (m_name->text() != name) {
        const QSignalBlocker b6(m_name);
        const int cursor = m_name->cursorPosition();
        m_name->setText(name);
        m_name->setCursorPosition(std::min(cursor, int(name.size())));
    }
}

bool PlaylistExportView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_name && event->type() == QEvent::KeyPress && m_firstKey) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
            m_firstKey = false;
            m_name->clear();
        } else if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            m_firstKey = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PlaylistExportView::reject() {
    m_model.cancel();
    QDialog::reject();
}

void PlaylistExportView::registerWith(QtUi& ui) {
    ui.registerView<Model>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new PlaylistExportView(static_cast<Model&>(model), parent, [&ui] { ui.showHelp(); }));
    });
}

}  // namespace klango::gui
