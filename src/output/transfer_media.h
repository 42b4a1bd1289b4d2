// The media of a copy run: the media list shown before it starts (TRANSDISKS), the check of the
// medium in a drive (TRANSCHKDRIVE) and the medium change (TRANSCDCHANGE) with their two dialog
// models. Medium names are compared whole, case ignored and blanks trimmed, so "CD1" is never
// taken for "CD10". Called by the copy run on the GUI thread; the views bind the two models.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media.h"
#include "ui/dialog_model.h"
#include "ui/ui.h"

namespace klango::output {

// The medium name the import gives a medium without label.
inline constexpr std::string_view kUnlabelledMedium = "Neu";

// Two medium names (CP1252) name the same medium: whole, case ignored, blanks trimmed.
bool sameMedium(std::string_view a, std::string_view b);

// TRANSCHKDRIVE: 0 the medium is in the drive, 1 the drive is not ready (nothing mounted there),
// 2 another medium is in it. A medium without label (kUnlabelledMedium) counts as in the drive
// when file, the track's file, is there.
int TRANSCHKDRIVE(const platform::Media& media, const std::filesystem::path& drive, std::string_view medium,
                  const std::filesystem::path& file = {});

// The media list dialog: the medium names in copy order, the first selected.
class MediaListModel : public ui::DialogModel {
public:
    explicit MediaListModel(std::vector<std::string> media) : m_media(std::move(media)) {}
    std::string title() const override { return "Datenkopie erstellen"; }
    std::string helpTopic() const override { return "Datenkopie"; }
    std::string icon() const { return "MakeCopy"; }
    std::string neededText() const { return "Folgende Medien werden f\xFC" "r den Kopiervorgang ben\xF6tigt"; }
    std::string readyText() const { return "Bitte legen Sie diese Medien nun bereit"; }
    const std::vector<std::string>& media() const { return m_media; }
    int selected() const { return m_media.empty() ? -1 : 0; }

    // "&Weiter" (default button) and "&Unterbrechen" (also the close box).
    void proceed();
    void interrupt() { requestClose(); }
    bool proceeded() const { return m_proceed; }

private:
    std::vector<std::string> m_media;
    bool m_proceed = false;
};

// The medium change dialog, shown while the wanted medium is not in the drive.
class MediumChangeModel : public ui::DialogModel {
public:
    // check: TRANSCHKDRIVE for the wanted medium; state: its last result (1 or 2).
    MediumChangeModel(std::string medium, int state, std::function<int()> check);
    std::string title() const override { return "Fehler bei Datenkopie erstellen"; }
    std::string helpTopic() const override { return "Datenkopie"; }
    std::string bitmap() const { return "STOPMAX"; }
    std::string errorText() const;  // bold: "Fehler: Kein Medium vorhanden" / "Fehler: Falsches Medium"
    std::string promptText() const { return "Bitte legen Sie folgendes Medium ein:"; }
    std::string nameLabel() const { return "Medien-Name:"; }
    std::string quotedName() const { return "'" + m_medium + "'"; }
    int state() const { return m_state; }

    // "&Weiter": checks the drive again and closes when the medium is there.
    void proceed();
    // "&Unterbrechen" and the close box.
    void interrupt() { requestClose(); }
    bool mediumReady() const { return m_state == 0; }

private:
    std::string m_medium;
    int m_state;
    std::function<int()> m_check;
};

// TRANSCDCHANGE: makes sure that medium is in drive; asks for it first by a message, then by the
// medium change dialog as often as the user wants. False: the user interrupted.
bool TRANSCDCHANGE(ui::Ui& ui, const platform::Media& media, const std::filesystem::path& drive,
                   std::string_view medium, const std::filesystem::path& file = {});

// TRANSDISKS: shows the media list; true to go on.
bool TRANSDISKS(ui::Ui& ui, const std::vector<std::string>& media);

}  // namespace klango::output
