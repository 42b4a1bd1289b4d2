#include "gui/edit_dialog_view.h"

#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

namespace {

using M = table::EditDialogModel;

// Geometry in pixels. The model gives widths in layout units; one unit is kUnitPx pixels, so
// that the 170-unit text fields fill the left column of the 433-pixel dialog. A short field is
// widened to its places in the actual font, so that a date or a five-digit count is never cut.
constexpr double kUnitPx = 1.9;
constexpr int kMargin = 8;
constexpr int kFrameTop = 4;
constexpr int kRowTop = 10;  // first row inside the frame
constexpr int kRowPitch = 21;
constexpr int kRowHeight = 20;
constexpr int kLabelX = 8;   // left column, inside the frame
constexpr int kFieldX = 78;
constexpr int kRightLabelX = 190;  // play data, right of Laufzeit, VÖ-Jahr and Titel-Nr.
constexpr int kRightFieldX = 256;
constexpr int kHintGap = 4;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 6;
constexpr int kShortFieldPlaces = 10;
constexpr int kFieldPadding = 14;  // frame and text margins of a line edit

struct Place {
    int row;
    bool right;  // in the play-data column
};

// Rows of the slots: the text fields down the left, the play data beside play time, year and
// track number, disc name and path under the rating.
constexpr std::array<Place, M::kFieldCount> kPlaces = {{
    {0, false},  // Group
    {1, false},  // Album
    {2, false},  // Title
    {3, false},  // Genre
    {4, false},  // Time
    {5, false},  // Year
    {6, false},  // Track
    {7, false},  // Info
    {8, false},  // Range
    {4, true},   // Played
    {5, true},   // PlayDate
    {6, true},   // PlayTime
    {9, false},  // DiscName
    {10, false}, // Path
}};

constexpr std::array<const char*, M::kFieldCount> kSlotNames = {
    "Group",  "Album",  "Title",    "Genre",    "Time",     "Year", "Track",
    "Info",   "Range",  "Played",   "PlayDate", "PlayTime", "DiscName", "Path",
};

int rowY(int row) { return kRowTop + row * kRowPitch; }

void setColors(QWidget* widget, const ui::ColorPair& colors) {
    QPalette p = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, toQColor(colors.foreground));
        p.setColor(group, QPalette::Text, toQColor(colors.foreground));
        p.setColor(group, QPalette::Window, toQColor(colors.background));
        p.setColor(group, QPalette::Base, toQColor(colors.background));
    }
    widget->setPalette(p);
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QString& name, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    setColors(label, M::labelColors());
    const int width = label->fontMetrics().horizontalAdvance(text) + 4;
    label->setGeometry(x, y, width, kRowHeight);
    return label;
}

// Printable text of a key press, as typing it would insert; empty for editing and control keys
// and for shortcuts (Ctrl+V pastes, Alt+S presses "&Speichern").
QString typedText(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers();
    const bool altGr = (mods & Qt::ControlModifier) && (mods & Qt::AltModifier);  // AltGr on Windows
    if (!altGr && (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) return {};
    const QString text = key->text();
    if (text.isEmpty()) return {};
    for (QChar c : text)
        if (!c.isPrint()) return {};
    return text;
}

}  // namespace

EditDialogView::EditDialogView(table::EditDialogModel& model, QWidget* parent, std::function<void()> showHelp)
    : QDialog(parent), m_model(model) {
    setObjectName(QStringLiteral("editDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowIcon(Artwork::icon(toQ(model.icon())));
    setModal(true);
    setFixedSize(M::kWidth, M::kHeight);
    setFont(dialogFont(model.font()));
    applyColorString(this, model.colors());

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("editFrame"));
    m_frame->setGeometry(kMargin, kFrameTop, M::kWidth - 2 * kMargin,
                         M::kHeight - kFrameTop - 2 * kMargin - kButtonHeight);

    const QFontMetrics metrics = fontMetrics();
    for (int slot = 0; slot < M::kFieldCount; ++slot) {
        const table::EditFieldDef& def = M::fields()[size_t(slot)];
        const QString name = QString::fromLatin1(kSlotNames[size_t(slot)]);
        const Place place = kPlaces[size_t(slot)];
        const int y = rowY(place.row);

        m_labels[size_t(slot)] = makeLabel(m_frame, toQ(def.label), QStringLiteral("label_") + name,
                                           place.right ? kRightLabelX : kLabelX, y);

        auto* edit = new QLineEdit(m_frame);
        edit->setObjectName(QStringLiteral("field_") + name);
        int width = int(std::lround(def.width * kUnitPx));
        if (def.places <= kShortFieldPlaces)
            width = std::max(width, metrics.horizontalAdvance(QString(def.places, QLatin1Char('0'))) + kFieldPadding);
        const int x = place.right ? kRightFieldX : kFieldX;
        edit->setGeometry(x, y, width, kRowHeight);
        edit->setMaxLength(def.places);
        edit->setAlignment(def.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        setColors(edit, model.fieldColors(slot));
        edit->setText(toQ(model.value(slot)));
        edit->setCursorPosition(0);
        if (model.editable(slot)) {
            edit->setFocusPolicy(Qt::StrongFocus);
            edit->installEventFilter(this);
            connect(edit, &QLineEdit::textEdited, this, [this, slot](const QString& text) { edited(slot, text); });
        } else {
            // Shown only: the text can be selected and copied, never changed, and Tab skips it.
            edit->setReadOnly(true);
            edit->setFocusPolicy(Qt::ClickFocus);
        }
        m_fields[size_t(slot)] = edit;

        if (*def.hint) {
            m_hints[size_t(slot)] =
                makeLabel(m_frame, toQ(def.hint), QStringLiteral("hint_") + name, x + width + kHintGap, y);
        }
    }

    // Buttons in one row at the bottom right. None is a default button: Enter in a field must not
    // save or leave the dialog behind the user's back.
    const auto& captions = M::buttons();
    std::array<QPushButton*, 3> buttons{};
    const int buttonY = M::kHeight - kMargin - kButtonHeight;
    for (size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new QPushButton(toQ(captions[i].caption), this);
        button->setToolTip(toQ(captions[i].toolTip));
        button->setAutoDefault(false);
        button->setDefault(false);
        const int x = M::kWidth - kMargin - int(buttons.size() - i) * kButtonWidth -
                      int(buttons.size() - 1 - i) * kButtonGap;
        button->setGeometry(x, buttonY, kButtonWidth, kButtonHeight);
        buttons[i] = button;
    }
    m_save = buttons[0];
    m_help = buttons[1];
    m_quit = buttons[2];
    m_save->setObjectName(QStringLiteral("editSave"));
    m_help->setObjectName(QStringLiteral("editHelp"));
    m_quit->setObjectName(QStringLiteral("editQuit"));
    connect(m_save, &QPushButton::clicked, this, [this] { m_model.save(); });
    connect(m_help, &QPushButton::clicked, this, [this] { m_model.help(); });
    connect(m_quit, &QPushButton::clicked, this, [this] { m_model.quit(); });

    // Tab order: the editable fields from "Interpret" to "Benotung", then the buttons.
    QWidget* previous = nullptr;
    for (int slot = 0; slot < M::kFieldCount; ++slot) {
        if (!model.editable(slot)) continue;
        if (previous) setTabOrder(previous, m_fields[size_t(slot)]);
        previous = m_fields[size_t(slot)];
    }
    for (QPushButton* button : buttons) {
        setTabOrder(previous, button);
        previous = button;
    }
    m_fields[M::Group]->setFocus();

    if (showHelp) m_model.onHelp = [showHelp](const std::string&) { showHelp(); };
    m_model.onChanged = [this] { refresh(); };
}

EditDialogView::~EditDialogView() {
    m_model.onChanged = nullptr;
    m_model.onHelp = nullptr;
}

void EditDialogView::refresh() {
    for (int slot = 0; slot < M::kFieldCount; ++slot) {
        const QString value = toQ(m_model.value(slot));
        if (m_fields[size_t(slot)]->text() != value) m_fields[size_t(slot)]->setText(value);
    }
    // Shown without QtUi (QtUi closes its dialogs itself): the model's close ends the dialog.
    if (m_model.closeRequested() && isVisible()) done(m_model.saved() ? Accepted : Rejected);
}

void EditDialogView::reject() {
    m_model.quit();
    if (isVisible()) QDialog::reject();
}

int EditDialogView::slotOf(QObject* watched) const {
    for (int slot = 0; slot < M::kFieldCount; ++slot)
        if (m_fields[size_t(slot)] == watched) return slot;
    return -1;
}

bool EditDialogView::eventFilter(QObject* watched, QEvent* event) {
    const int slot = slotOf(watched);
    if (slot < 0) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn: {
            // Coming back to the field from another window or its context menu is no new entry
            // into it; the first focus when the dialog opens is.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool resumed = slot == m_resumeSlot &&
                                 (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason);
            m_resumeSlot = -1;
            if (!resumed) m_model.enterField(slot);
            return false;
        }
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            m_resumeSlot = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ? slot : -1;
            return false;
        }
        case QEvent::KeyPress: {
            const QString text = typedText(static_cast<QKeyEvent*>(event));
            if (text.isEmpty()) return false;  // editing keys: the line edit edits, edited() checks
            typed(slot, text);
            return true;
        }
        case QEvent::InputMethod: {
            auto* input = static_cast<QInputMethodEvent*>(event);
            if (input->commitString().isEmpty() || !input->preeditString().isEmpty() ||
                input->replacementLength() != 0)
                return false;
            typed(slot, input->commitString());
            return true;
        }
        default:
            return false;
    }
}

void EditDialogView::typed(int slot, const QString& text) {
    QLineEdit* edit = m_fields[size_t(slot)];
    const table::EditFieldDef& def = M::fields()[size_t(slot)];
    const bool atEnd = !edit->hasSelectedText() && edit->cursorPosition() == edit->text().size();
    // The model's typing rule (first key replaces, one-place overwrite, append) applies when the
    // text is typed at its end; typed into the middle or over a selection it is an edit like any
    // other, checked by the model as a whole.
    if (m_model.replacePending(slot) || def.places == 1 || atEnd) {
        if (m_model.typeText(slot, fromQ(text))) {
            refresh();
            edit->deselect();
            edit->setCursorPosition(int(edit->text().size()));
        }
        return;
    }
    QString next = edit->text();
    int cursor = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        cursor = edit->selectionStart();
        next.remove(cursor, int(edit->selectedText().size()));
    }
    next.insert(cursor, text);
    if (m_model.setText(slot, fromQ(next))) {
        refresh();
        edit->setCursorPosition(std::min(cursor + int(text.size()), int(edit->text().size())));
    }
}

void EditDialogView::edited(int slot, const QString& text) {
    QLineEdit* edit = m_fields[size_t(slot)];
    const int cursor = edit->cursorPosition();
    m_model.setText(slot, fromQ(text));
    // Refused, or changed on the way (a character the code page lacks became '?'): the field
    // shows what the model holds.
    refresh();
    edit->setCursorPosition(std::min(cursor, int(edit->text().size())));
}

void EditDialogView::registerWith(QtUi& ui) {
    ui.registerView<table::EditDialogModel>([&ui](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(new EditDialogView(static_cast<table::EditDialogModel&>(model), parent,
                                                           [&ui] { ui.showHelp(); }));
    });
}

}  // namespace klango::gui
