#include "gui/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include "gui/dialog_style.h"
#include "gui/help_window.h"
#include "gui/message_bar.h"
#include "gui/msg_meter_dialog.h"
#include "gui/qt_text.h"

namespace klango::gui {

namespace {

QString utf8Path(const std::string& cp1252) { return toQ(cp1252); }

// File names come from the file system as UTF-8; the core keeps them as CP1252 text.
std::string corePath(const QString& path) { return fromQ(path); }

// The commands break lines of a message with a carriage return, as the message boxes they were
// written for do; Qt breaks at line feeds only.
QString messageText(const std::string& text) {
    QString q = toQ(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return q;
}

void messageBox(QWidget* parent, QMessageBox::Icon icon, const std::string& title, const std::string& text) {
    QMessageBox box(icon, toQ(title), messageText(text), QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace

const shell::AppState& QtUi::state() const {
    static const shell::AppState kBeforeStart;
    return m_state ? *m_state : kBeforeStart;
}

QtUi::~QtUi() {
    if (m_waitCursor) QApplication::restoreOverrideCursor();
}

QWidget* QtUi::parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return m_mainWindow.data();
}

bool QtUi::yesNo(const std::string& title, const std::string& text, bool noDefault) {
    QMessageBox box(QMessageBox::Question, toQ(title), messageText(text), QMessageBox::NoButton, parent());
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(noDefault ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtUi::info(const std::string& title, const std::string& text) {
    messageBox(parent(), QMessageBox::Information, title, text);
}

void QtUi::infoWithNames(const std::string& title, const std::string& text,
                         const std::vector<std::string>& fileNames) {
    QString all = messageText(text);
    for (const std::string& name : fileNames) all += QLatin1Char('\n') + QString::fromStdString(name);
    QMessageBox box(QMessageBox::Information, toQ(title), all, QMessageBox::NoButton, parent());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void QtUi::warning(const std::string& title, const std::string& text) {
    messageBox(parent(), QMessageBox::Warning, title, text);
}

void QtUi::alert(const std::string& text) { messageBox(parent(), QMessageBox::Warning, "Achtung", text); }

QString QtUi::nameFilter(const std::string& filter) {
    QStringList filters;
    const QStringList parts = toQ(filter).split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The program's file dialog matches names case-blind: each pattern once.
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!patterns.contains(p.trimmed(), Qt::CaseInsensitive)) patterns << p.trimmed();
        const QString description = parts[i].trimmed();
        const QString shown = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        filters << (description.endsWith(shown, Qt::CaseInsensitive) ? description : description + QLatin1Char(' ') + shown);
    }
    if (filters.isEmpty()) return {};
    return filters.join(QStringLiteral(";;"));
}

QString QtUi::startFolder(const std::string& requested) const {
    if (!requested.empty()) return utf8Path(requested);
    // The folder last imported from, while it is there.
    const QString last = toQ(state().settings().text(shell::keys::kImpPath));
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

namespace {

std::string runFileDialog(QWidget* parent, const ui::FileDialogRequest& r, const QString& folder, bool save) {
    QFileDialog dialog(parent, toQ(r.title), folder);
    // Qt's own dialog on every desktop: it matches the filter's patterns in either case.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The commands ask themselves before they replace or delete a picked file.
    if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString filter = QtUi::nameFilter(r.filter);
    if (!filter.isEmpty()) {
        const QStringList filters = filter.split(QStringLiteral(";;"));
        dialog.setNameFilters(filters);
        const int index = r.filterIndex >= 1 && r.filterIndex <= filters.size() ? r.filterIndex - 1 : 0;
        dialog.selectNameFilter(filters[index]);
    }
    if (!r.defaultName.empty()) dialog.selectFile(utf8Path(r.defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return corePath(dialog.selectedFiles().first());
}

}  // namespace

std::string QtUi::openFile(const ui::FileDialogRequest& request) {
    return runFileDialog(parent(), request, startFolder(request.startFolder), false);
}

std::string QtUi::saveFile(const ui::FileDialogRequest& request) {
    return runFileDialog(parent(), request, startFolder(request.startFolder), true);
}

std::string QtUi::chooseFolder(const std::string& title, const std::string& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent(), toQ(title), this->startFolder(startFolder),
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    return folder.isEmpty() ? std::string() : corePath(folder);
}

void QtUi::setWaitCursor(bool on) {
    if (on == m_waitCursor) return;
    m_waitCursor = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtUi::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kProcessEventsIntervalMs) return;
    ++m_passed;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void QtUi::showMessage(const std::string& text) {
    if (m_messageBar) m_messageBar->showText(toQ(text));
}

void QtUi::setMessageItem(ui::MessageItem item, const std::string& text, const std::string& colors) {
    if (m_messageBar) m_messageBar->setItem(item, toQ(text), colors);
}

void QtUi::setMessageItemWidth(ui::MessageItem item, int pixels) {
    if (m_messageBar) m_messageBar->setItemWidth(item, pixels);
}

void QtUi::setDefaultMessage(const std::string& text) {
    if (m_messageBar) m_messageBar->setDefaultText(toQ(text));
}

void QtUi::showHelp() {
    if (m_help) m_help->showTopic(m_helpTopic);
}

void QtUi::runWithMeter(const std::string& title, const std::string& text, const ui::MeterAction& action) {
    MsgMeterDialog dialog(toQ(title), toQ(text), [this] { processEvents(); }, parent());
    dialog.setFont(dialogFont(state().OFONT));
    dialog.adjustSize();
    placeDialog(&dialog, state(), m_mainWindow.data());
    // The window must show before the first step, whatever the throttle says.
    m_sinceEvents.invalidate();
    dialog.run(action);
}

void QtUi::runDialog(ui::DialogModel& model, const std::function<void()>& onShown) {
    auto view = m_views.find(std::type_index(typeid(model)));
    if (view == m_views.end()) {
        Ui::runDialog(model, onShown);
        return;
    }
    std::unique_ptr<QDialog> dialog = view->second(model, parent());
    if (!dialog) {
        Ui::runDialog(model, onShown);
        return;
    }
    dialog->setFont(dialogFont(state().OFONT));
    dialog->setWindowTitle(toQ(model.title()));
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog->adjustSize();
    placeDialog(dialog.get(), state(), m_mainWindow.data());

    const std::string outerTopic = m_helpTopic;
    if (!model.helpTopic().empty()) m_helpTopic = model.helpTopic();
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog.get());
    QObject::connect(f1, &QShortcut::activated, [this] { showHelp(); });

    // The model closes its dialog by asking for it; the view's own refresh keeps running.
    std::function<void()> viewRefresh = model.onChanged;
    QDialog* raw = dialog.get();
    model.onChanged = [&model, viewRefresh, raw] {
        if (viewRefresh) viewRefresh();
        if (model.closeRequested() && raw->isVisible()) raw->done(QDialog::Accepted);
    };
    if (model.closeRequested()) {
        if (onShown) onShown();
    } else {
        if (onShown) QTimer::singleShot(0, raw, onShown);
        dialog->exec();
    }
    model.onChanged = viewRefresh;
    m_helpTopic = outerTopic;
}

}  // namespace klango::gui
