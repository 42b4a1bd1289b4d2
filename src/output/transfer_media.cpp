#include "output/transfer_media.h"

#include "base/call_stack.h"
#include "base/cp1252.h"

namespace fs = std::filesystem;

namespace klango::output {

bool sameMedium(std::string_view a, std::string_view b) {
    return base::upperAZ(base::trim(a)) == base::upperAZ(base::trim(b));
}

int TRANSCHKDRIVE(const platform::Media& media, const fs::path& drive, std::string_view medium, const fs::path& file) {
    KLANGO_ROUTINE("TRANSCHKDRIVE");
    const std::optional<std::string> label = media.label(drive);
    if (!label) return 1;
    if (sameMedium(medium, kUnlabelledMedium)) {
        std::error_code ec;
        return !file.empty() && fs::is_regular_file(file, ec) ? 0 : 2;
    }
    const std::string name = base::utf8ToCp1252(*label);
    return !base::trim(name).empty() && sameMedium(name, medium) ? 0 : 2;
}

void MediaListModel::proceed() {
    m_proceed = true;
    requestClose();
}

MediumChangeModel::MediumChangeModel(std::string medium, int state, std::function<int()> check)
    : m_medium(std::move(medium)), m_state(state), m_check(std::move(check)) {}

std::string MediumChangeModel::errorText() const {
    return std::string("Fehler: ") + (m_state == 1 ? "Kein Medium vorhanden" : "Falsches Medium");
}

void MediumChangeModel::proceed() {
    m_state = m_check ? m_check() : 0;
    if (m_state == 0) {
        requestClose();
    } else {
        changed();
    }
}

bool TRANSCDCHANGE(ui::Ui& ui, const platform::Media& media, const fs::path& drive, std::string_view medium,
                   const fs::path& file) {
    KLANGO_ROUTINE("TRANSCDCHANGE");
    const std::string name(base::trimRight(medium));
    auto check = [&] { return TRANSCHKDRIVE(media, drive, name, file); };
    int state = check();
    if (state == 0) return true;
    ui.info("Medien-Wechsel", "Bitte legen Sie nun das Medium '" + name + "' ein !");
    state = check();
    while (state != 0) {
        MediumChangeModel dialog(name, state, check);
        ui.runDialog(dialog);
        if (!dialog.mediumReady()) return false;
        state = dialog.state();
    }
    return true;
}

bool TRANSDISKS(ui::Ui& ui, const std::vector<std::string>& media) {
    KLANGO_ROUTINE("TRANSDISKS");
    MediaListModel dialog(media);
    ui.runDialog(dialog);
    return dialog.proceeded();
}

}  // namespace klango::output
