#include "gui/playlist_sort_view.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

using Model = output::PlaylistSortModel;

PlaylistSortView::PlaylistSortView(Model& model, QWidget* parent, std::function<void(const std::string&)> showMessage)
    : QDialog(parent), m_model(model), m_showMessage(std::move(showMessage)) {
    setObjectName("PlaylistSortView");
    resize(546, 339);
    m_source = new QListWidget(this);
    m_destin = new QListWidget(this);
    for (const Model::ButtonText& b : Model::buttons()) {
        auto* button = new QPushButton(toQ(b.caption), this);
        if (*b.toolTip) button->setToolTip(toQ(b.toolTip));
        if (*b.message) {
            m_messages[button] = b.message;
            button->installEventFilter(this);
        }
        const Button which = b.button;
        connect(button, &QPushButton::clicked, this, [this, which] { m_model.press(which); });
        m_buttons[which] = button;
    }
    m_buttons[Button::Continue]->setDefault(true);
    for (Button small : {Button::AllOver, Button::OneOver, Button::OneBack, Button::AllBack})
        m_buttons[small]->setFixedWidth(36);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u8q("Ausgewählte Titel"), this), 0, 0);
    grid->addWidget(new QLabel(u8q("Sortierte Titel"), this), 0, 2);
    grid->addWidget(m_source, 1, 0);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (Button small : {Button::AllOver, Button::OneOver, Button::OneBack, Button::AllBack})
        moves->addWidget(m_buttons[small]);
    moves->addStretch();
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_destin, 1, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(m_buttons[Button::AllOverText]);
    row->addWidget(m_buttons[Button::AllBackText]);
    row->addStretch();
    row->addWidget(m_buttons[Button::Continue]);
    row->addWidget(m_buttons[Button::Stop]);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(row);

    connect(m_source, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r >= 0) m_model.setSourceCurrent(size_t(r));
    });
    connect(m_destin, &QListWidget::currentRowChanged, this, [this](int r) {
        if (r >= 0) m_model.setDestinCurrent(size_t(r));
    });
    connect(m_source, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_model.sourceActivated(size_t(m_source->row(item))); });
    connect(m_destin, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_model.destinActivated(size_t(m_destin->row(item))); });
    m_model.onChanged = [this] { refresh(); };
    refresh();
}

void PlaylistSortView::refresh() {
    auto fill = [](QListWidget* list, const std::vector<output::TitleEntry>& entries, size_t current) {
        const QSignalBlocker block(list);
        list->clear();
        for (const output::TitleEntry& e : entries) list->addItem(toQ(e.text));
        if (current < entries.size()) list->setCurrentRow(int(current));
    };
    fill(m_source, m_model.ASOURCE(), m_model.sourceCurrent());
    fill(m_destin, m_model.ADESTIN(), m_model.destinCurrent());
    for (auto& [which, button] : m_buttons) button->setEnabled(m_model.enabled(which));
    (m_model.focus() == Model::List::Destination ? m_destin : m_source)->setFocus();
}

bool PlaylistSortView::eventFilter(QObject* watched, QEvent* event) {
    if (m_showMessage) {
        if (event->type() == QEvent::Enter) {
            auto it = m_messages.find(watched);
            if (it != m_messages.end()) m_showMessage(it->second);
        } else if (event->type() == QEvent::Leave && m_messages.count(watched)) {
            m_showMessage({});
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PlaylistSortView::reject() {
    m_model.press(Button::Stop);
    QDialog::reject();
}

void PlaylistSortView::registerWith(QtUi& ui) {
    ui.registerView<Model>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new PlaylistSortView(static_cast<Model&>(model), parent,
                                                             [&ui](const std::string& text) { ui.showMessage(text); }));
    });
}

}  // namespace klango::gui
