#include "gui/error_dialog_view.h"

#include <QApplication>
#include <QStyle>

#include "gui/qt_text.h"
#include "gui/qt_ui.h"
#include "support/error_dialog_model.h"

namespace klango::gui {

ErrorDialogView::ErrorDialogView(support::ErrorDialogModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    using M = support::ErrorDialogModel;
    setObjectName(QStringLiteral("errorDialog"));
    setWindowTitle(toQ(model.title()));
    setModal(true);
    setFixedSize(M::kWidth, M::kHeight);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(10 + 2);
    setFont(font);

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    picture->setGeometry(8, 8, 32, 32);

    // Plain text: an "&" in a file name is shown, not taken as an access key.
    m_description = new QLabel(toQ(model.description()), this);
    m_description->setObjectName(QStringLiteral("errorDescription"));
    m_description->setTextFormat(Qt::PlainText);
    m_description->setWordWrap(true);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_description->setGeometry(48, 8, M::kWidth - 56, 56);

    m_stack = new QListWidget(this);
    m_stack->setObjectName(QStringLiteral("errorStack"));
    for (const std::string& line : model.stack()) m_stack->addItem(toQ(line));
    if (m_stack->count() > 0) m_stack->setCurrentRow(0);
    auto* stackLabel = new QLabel(u8q("&Stackliste"), this);
    stackLabel->setBuddy(m_stack);
    stackLabel->setGeometry(8, 68, 120, 18);
    auto* seeLog = new QLabel(u8q("Siehe Error.log Datei"), this);
    seeLog->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    seeLog->setGeometry(M::kWidth - 160, 68, 152, 18);
    m_stack->setGeometry(8, 88, M::kWidth - 16, M::kHeight - 88 - 44);

    const int count = int(model.buttons().size());
    const int width = 88, gap = 8;
    int x = (M::kWidth - count * width - (count - 1) * gap) / 2;
    for (size_t i = 0; i < model.buttons().size(); ++i) {
        const auto& b = model.buttons()[i];
        auto* button = new QPushButton(toQ(b.caption), this);
        button->setGeometry(x, M::kHeight - 36, width, 28);
        x += width + gap;
        button->setDefault(i == model.defaultButton());
        button->setAutoDefault(false);
        if (i == model.defaultButton()) button->setFocus();
        const M::Choice choice = b.choice;
        connect(button, &QPushButton::clicked, this, [this, choice] { m_model.press(choice); });
        m_buttons.push_back(button);
    }
}

void ErrorDialogView::registerWith(QtUi& ui) {
    ui.registerView<support::ErrorDialogModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new ErrorDialogView(static_cast<support::ErrorDialogModel&>(model), parent));
    });
}

}  // namespace klango::gui
