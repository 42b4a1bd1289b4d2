// ImportDialogModel: the import dialog "MP3-Import" (SCANDRIVE) as a dialog model: the intro
// text of a new or an update import, the folder and file being read, the progress bar and the
// stop button. The import drives it; the view shows it and forwards the button.
#pragma once

#include <string>

#include "ui/dialog_model.h"

namespace klango::trackdb {

class ImportDialogModel : public ui::DialogModel {
  public:
    static constexpr int kWidth = 380;
    static constexpr int kHeight = 210;

    // breakFlag is the import's LBREAK, set by interrupt(); it must outlive the model.
    ImportDialogModel(bool update, bool& breakFlag);

    std::string title() const override { return "MP3-Import"; }
    std::string helpTopic() const override { return "import"; }
    // No help button in the title bar; F1 still opens the topic.
    bool hasHelpButton() const { return false; }

    const std::string& introText() const { return m_intro; }
    // The path and file fields' colours (NCOLF on NCOLBH), BGR numbers; set by the import.
    int fieldForeground = 1;
    int fieldBackground = 9240575;
    std::string icon() const { return "Import"; }
    std::string bitmap() const { return "IMPORT"; }
    std::string pathLabel() const { return "Pfad"; }
    std::string fileLabel() const { return "Datei"; }
    std::string interruptCaption() const { return "&Unterbrechen"; }
    std::string interruptToolTip() const { return "Suche unterbrechen"; }

    // CPATH and CFILE as the fields show them.
    const std::string& path() const { return m_path; }
    const std::string& file() const { return m_file; }
    void setPath(std::string path);
    void setFile(std::string file);

    long total() const { return m_total; }
    long position() const { return m_position; }
    void setTotal(long total);
    void setPosition(long position);

    // The "&Unterbrechen" button: the import stops after the file it is reading.
    void interrupt();
    bool interrupted() const { return m_break; }

  private:
    std::string m_intro;
    bool& m_break;
    std::string m_path;
    std::string m_file;
    long m_total = 0;
    long m_position = 0;
};

}  // namespace klango::trackdb
