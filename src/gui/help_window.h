// The help window: the program's HTML help in a browser pane, opened at the anchor of the current
// help topic, and the keyword index beside it (a search line and the keyword list; a chosen
// keyword opens its anchor). Escape closes it. One window for the run, owned by the entry routine; F1, the Help
// menu and the dialogs' help buttons call it on the GUI thread.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/help_index.h"

namespace klango::gui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kDocument = "klango.html";
    static constexpr const char* kIndex = "index.txt";

    explicit HelpWindow(QWidget* parent = nullptr);

    // The window the help opens centred on when it is first shown (the main window).
    void setPlacedOver(QWidget* window) { m_over = window; }

    // The folder holding the document and its index (the "help" folder beside the program).
    void setHelpFolder(const std::filesystem::path& folder);
    bool hasDocument() const;

    // Shows the window at the anchor of topic (CP1252); an empty topic opens the top.
    void showTopic(const std::string& topic);
    // Shows the window with the keyword index in front, the search line holding keyword.
    void showIndex(const std::string& keyword = {});

    QTextBrowser* browser() const { return m_browser; }
    QListWidget* keywordList() const { return m_list; }
    QLineEdit* searchLine() const { return m_search; }
    // The anchor last opened.
    const std::string& currentAnchor() const { return m_anchor; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openAnchor(const std::string& anchor);
    void filterKeywords(const QString& text);
    void bringUp();

    QPointer<QWidget> m_over;
    bool m_placed = false;
    std::filesystem::path m_folder;
    std::vector<ui::HelpKeyword> m_keywords;
    std::string m_anchor;
    QTextBrowser* m_browser;
    QListWidget* m_list;
    QLineEdit* m_search;
};

}  // namespace klango::gui
