#include "gui/filter_dialog_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "query/filter_dialog_model.h"

namespace klango::gui {

FilterDialogView::FilterDialogView(query::FilterDialogModel& model, std::function<void()> help, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("filterDialog"));
    setWindowTitle(toQ(model.title()));
    setModal(true);
    setMinimumSize(388, 196);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(u8q("Filter"), this));
    m_criteria = new QButtonGroup(this);
    for (int n = 1; n <= query::kCriterionCount; ++n) {
        auto* radio = new QRadioButton(toQ(query::kCriterionLabels[size_t(n - 1)]), this);
        radio->setStatusTip(u8q("Filter auswählen"));
        m_criteria->addButton(radio, n);
        left->addWidget(radio);
    }
    left->addStretch();
    connect(m_criteria, &QButtonGroup::idClicked, this, [this](int n) { m_model.chooseCriterion(n); });

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(u8q("Auswahl"), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("filterList"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    right->addWidget(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { m_model.activate(size_t(m_list->row(item))); });

    auto* buttons = new QVBoxLayout;
    m_proceed = new QPushButton(u8q("&Weiter"), this);
    m_proceed->setToolTip(u8q("Filter ausführen"));
    auto* helpButton = new QPushButton(u8q("&Hilfe"), this);
    helpButton->setToolTip(u8q("Hilfe anzeigen"));
    auto* stop = new QPushButton(u8q("&Unterbrechen"), this);
    stop->setToolTip(u8q("Dialog beenden"));
    buttons->addWidget(m_proceed);
    buttons->addWidget(helpButton);
    buttons->addWidget(stop);
    buttons->addStretch();
    connect(m_proceed, &QPushButton::clicked, this, [this] { m_model.proceed(); });
    connect(helpButton, &QPushButton::clicked, this, [help] {
        if (help) help();
    });
    connect(stop, &QPushButton::clicked, this, [this] { m_model.cancel(); });

    auto* row = new QHBoxLayout(this);
    row->addLayout(left, 3);
    row->addLayout(right, 3);
    row->addLayout(buttons, 0);

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

FilterDialogView::~FilterDialogView() { m_model.onChanged = nullptr; }

void FilterDialogView::reject() {
    m_model.cancel();
    QDialog::reject();
}

void FilterDialogView::selectionChanged() {
    if (m_updating) return;
    m_updating = true;
    for (int i = 0; i < m_list->count(); ++i) {
        const bool on = m_list->item(i)->isSelected();
        if (on != m_model.isSelected(size_t(i))) m_model.setSelected(size_t(i), on);
    }
    m_updating = false;
    m_proceed->setEnabled(m_model.canContinue());
}

void FilterDialogView::refresh() {
    if (m_updating) return;
    m_updating = true;
    if (auto* radio = m_criteria->button(m_model.criterion())) radio->setChecked(true);
    const auto& values = m_model.values();
    if (m_shownCriterion != m_model.criterion() || m_list->count() != int(values.size())) {
        m_list->clear();
        for (const std::string& v : values) m_list->addItem(toQ(v));
        m_shownCriterion = m_model.criterion();
        m_list->scrollToTop();
        if (m_list->count() > 0) m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    for (int i = 0; i < m_list->count(); ++i) m_list->item(i)->setSelected(m_model.isSelected(size_t(i)));
    m_proceed->setEnabled(m_model.canContinue());
    m_updating = false;
}

void FilterDialogView::registerWith(QtUi& ui) {
    ui.registerView<query::FilterDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new FilterDialogView(static_cast<query::FilterDialogModel&>(model),
                                                             [&ui] { ui.showHelp(); }, parent));
    });
}

}  // namespace klango::gui
