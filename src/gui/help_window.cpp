#include "gui/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QSplitter>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/file_names.h"
#include "gui/dialog_style.h"
#include "gui/qt_text.h"

namespace klango::gui {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(u8q("Klango – Hilfe"));
    setAttribute(Qt::WA_QuitOnClose, false);  // the program ends with its main window
    resize(820, 600);

    auto* splitter = new QSplitter(this);
    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(4, 4, 4, 4);
    sideLayout->addWidget(new QLabel(u8q("&Stichwort:"), side));
    m_search = new QLineEdit(side);
    m_search->setObjectName(QStringLiteral("helpSearch"));
    static_cast<QLabel*>(sideLayout->itemAt(0)->widget())->setBuddy(m_search);
    sideLayout->addWidget(m_search);
    m_list = new QListWidget(side);
    m_list->setObjectName(QStringLiteral("helpIndex"));
    sideLayout->addWidget(m_list, 1);

    m_browser = new QTextBrowser(splitter);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 600});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::filterKeywords);
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < m_list->count(); ++i) {
            if (!m_list->item(i)->isHidden()) {
                m_list->setCurrentRow(i);
                openAnchor(m_list->item(i)->data(Qt::UserRole).toString().toStdString());
                return;
            }
        }
    });
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        openAnchor(item->data(Qt::UserRole).toString().toStdString());
    });
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        openAnchor(item->data(Qt::UserRole).toString().toStdString());
    });
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    // Escape reaches here from the search line, the list and the text, none of which take it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::setHelpFolder(const std::filesystem::path& folder) {
    m_folder = folder;
    m_keywords = ui::readHelpIndex(platform::resolveCaseBlind(folder, kIndex));
    m_list->clear();
    for (const ui::HelpKeyword& k : m_keywords) {
        auto* item = new QListWidgetItem(toQ(k.keyword), m_list);
        item->setData(Qt::UserRole, QString::fromStdString(k.anchor));
    }
}

bool HelpWindow::hasDocument() const {
    std::error_code ec;
    return !m_folder.empty() && std::filesystem::is_regular_file(platform::resolveCaseBlind(m_folder, kDocument), ec);
}

void HelpWindow::openAnchor(const std::string& anchor) {
    m_anchor = anchor;
    if (!hasDocument()) {
        m_browser->setHtml(u8q("<h3>Hilfe nicht gefunden</h3><p>Die Hilfedatei „%1“ fehlt im Ordner „%2“.</p>")
                               .arg(QString::fromLatin1(kDocument), QString::fromStdString(m_folder.string())));
        return;
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(platform::resolveCaseBlind(m_folder, kDocument).string()));
    if (m_browser->source().adjusted(QUrl::RemoveFragment) != url) m_browser->setSource(url);
    m_browser->scrollToAnchor(QString::fromStdString(anchor));
}

void HelpWindow::filterKeywords(const QString& text) {
    const QString wanted = text.trimmed();
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setHidden(!wanted.isEmpty() && !item->text().startsWith(wanted, Qt::CaseInsensitive) &&
                        !item->text().contains(wanted, Qt::CaseInsensitive));
    }
}

// While a modal dialog is open the help must still take input, so it is modal itself until closed.
void HelpWindow::bringUp() {
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = (modal && modal != this) ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    if (!m_placed && m_over && m_over->isVisible()) {
        m_placed = true;
        centreOn(this, m_over->frameGeometry());
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::showTopic(const std::string& topic) {
    openAnchor(ui::helpAnchor(topic));
    bringUp();
}

void HelpWindow::showIndex(const std::string& keyword) {
    if (m_anchor.empty()) openAnchor(ui::kHelpTopAnchor);
    m_search->setText(toQ(keyword));
    filterKeywords(m_search->text());
    bringUp();
    m_search->setFocus();
}

}  // namespace klango::gui
