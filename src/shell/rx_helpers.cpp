#include "shell/rx_helpers.h"

#include <cmath>
#include <optional>
#include <system_error>

#include "platform/file_names.h"
#include "base/call_stack.h"
#include "base/cp1252.h"
#include "dbf/dbf_table.h"
#include "dbf/work_areas.h"
#include "shell/app_state.h"
#include "ui/ui.h"

namespace klango::shell {

namespace {

// The token separators of RXSTRCAPALL, 26 in all.
constexpr std::string_view kCapSeparators{"\x00\x09\x0A\x0C\x1A\x20\x8A\x8C,.;:!?/\\<>()#&%+-*", 26};
static_assert(kCapSeparators.size() == 26);

bool isCapSeparator(char c) { return kCapSeparators.find(c) != std::string_view::npos; }

bool isBlankOnly(std::string_view sep) { return sep.find_first_not_of(' ') == std::string_view::npos; }

// Walks the pieces of text the way NUMTOKEN counts them; visit(piece) returns false to stop.
template <class Visit>
void forEachPiece(std::string_view text, std::string_view sep, Visit visit) {
    if (sep.empty()) sep = " ";
    const bool blank = isBlankOnly(sep);
    size_t pos = 0;
    auto passSeparator = [&] {
        ++pos;
        if (blank) {
            while (pos < text.size() && text[pos] == ' ') ++pos;
        }
    };
    if (!text.empty() && sep.find(text[0]) != std::string_view::npos) passSeparator();
    while (true) {
        size_t end = text.find_first_of(sep, pos);
        std::string_view piece =
            text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (base::trim(piece).empty() || !visit(piece) || end == std::string_view::npos) return;
        pos = end;
        passSeparator();
    }
}

// A root of the drive list: the folder is the mount point of a local, removable or CD file system.
bool isDriveRoot(const std::filesystem::path& folder, const platform::Volumes& volumes) {
    std::optional<platform::MountEntry> m = volumes.mountAt(folder);
    return m && (m->kind == platform::VolumeKind::kLocal || m->kind == platform::VolumeKind::kCdRom);
}

// Characters a file name cannot hold on this system, or that would make the proposal name
// another folder, become "_".
std::string fileNameSafe(std::string text) {
    for (char& c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '/' || u < 0x20 || u == 0x7F) c = '_';
    }
    return text;
}

}  // namespace

std::string RXSTRCAPALL(std::string_view cText) {
    KLANGO_ROUTINE("RXSTRCAPALL");
    std::string out(cText);
    bool atStart = true;
    for (char& c : out) {
        if (atStart) c = base::upperAZ(c);
        atStart = isCapSeparator(c);
    }
    return out;
}

int NUMTOKEN(std::string_view cText, std::string_view cSep) {
    KLANGO_ROUTINE("NUMTOKEN");
    int count = 0;
    forEachPiece(cText, cSep, [&](std::string_view) {
        ++count;
        return true;
    });
    return count + 1;
}

std::string tokenPiece(std::string_view cText, std::string_view cSep, int n) {
    std::string found;
    int index = 0;
    forEachPiece(cText, cSep, [&](std::string_view piece) {
        if (++index < n) return true;
        if (index == n) found = std::string(piece);
        return false;
    });
    return found;
}

long NUMTAGGED(dbf::DbfTable& table, bool lTop, AppState& state, ui::Ui* ui) {
    KLANGO_ROUTINE("NUMTAGGED");
    const bool wasEof = table.eof();
    const uint32_t saved = table.recNo();
    if (ui) ui->setWaitCursor(true);
    long count = 0;
    const int tagged = table.fieldPos("TAGGED");
    if (tagged >= 0) {
        for (table.goTop(); !table.eof(); table.skip(1)) {
            if (table.getL(tagged)) ++count;
        }
    }
    if (lTop) {
        table.goTop();
    } else {
        table.goTo(wasEof ? table.lastRec() + 1 : saved);
    }
    state.LTAB_TAGG = count > 0;
    if (ui) ui->setWaitCursor(false);
    return count;
}

void showRecordCount(ui::Ui& ui, dbf::DbfTable* table) {
    ui.setMessageItem(ui::MessageItem::Records, table ? "Titel: " + std::to_string(table->count()) : std::string());
}

bool RXDELALL(const std::filesystem::path& cFolder, std::string_view cMask, bool lClose,
              dbf::WorkAreas* areas) {
    KLANGO_ROUTINE("RXDELALL");
    if (lClose && areas) areas->closeAll();
    for (const std::filesystem::path& file : platform::listMatching(cFolder, cMask)) {
        std::error_code ec;
        std::filesystem::remove(file, ec);  // a file still in use stays; the next clean-up tries again
    }
    return true;
}

std::string RXMAKEFILE(std::string_view cSource, const platform::Volumes& volumes) {
    KLANGO_ROUTINE("RXMAKEFILE");
    std::string source(cSource);
    while (source.size() > 1 && source.back() == '/') source.pop_back();
    const std::filesystem::path folder(base::cp1252ToUtf8(source));

    if (!source.empty() && isDriveRoot(folder, volumes)) {
        std::optional<std::string> label = volumes.label(folder);
        if (!label) return {};
        std::string name(base::trim(base::utf8ToCp1252(*label)));
        std::erase(name, '.');
        return fileNameSafe(name) + ".dbf";
    }

    size_t slash = source.find_last_of('/');
    std::string last = slash == std::string::npos ? source : source.substr(slash + 1);
    // Capitalising the words afterwards would change nothing: it raises by the same a-to-z rule.
    return base::upperAZ(last) + ".DBF";
}

uint64_t RXDISKSPACE(const std::filesystem::path& cDrive, const platform::Volumes& volumes) {
    KLANGO_ROUTINE("RXDISKSPACE");
    if (cDrive.empty()) return 0;
    // A folder that does not exist yet (a copy target) still tells its drive.
    if (auto free = platform::Volumes::freeBytes(cDrive)) return *free;
    if (auto m = volumes.mountHolding(cDrive)) {
        if (auto free = platform::Volumes::freeBytes(m->mountPoint)) return *free;
    }
    return 0;
}

std::array<int, 8>& RX_CENTERDIALOG(std::array<int, 8>& aRect, int top, int left, int bottom, int right) {
    KLANGO_ROUTINE("RX_CENTERDIALOG");
    // The halves are taken before the offset is added and truncated only then, so a window
    // reaching above or left of the desktop is centred the same way as one inside it.
    auto centre = [](int low, int high) { return int(std::trunc((double(high) - low) / 2.0 + low)); };
    auto half = [](int low, int high) { return int(std::trunc((double(high) - low) / 2.0)); };
    aRect[4] = centre(top, bottom) - half(aRect[0], aRect[2]);
    aRect[5] = centre(left, right) - half(aRect[1], aRect[3]);
    aRect[6] = aRect[4] + aRect[2];
    aRect[7] = aRect[5] + aRect[3];
    return aRect;
}

std::array<int, 8>& RX_CENTERDIALOG(std::array<int, 8>& aRect, const AppState& state) {
    return RX_CENTERDIALOG(aRect, state.NW_TOP, state.NW_LEFT, state.NW_BOTTOM, state.NW_RIGHT);
}

int ISDRIVEREADY(const std::filesystem::path& cDrive, const platform::Volumes& volumes) {
    KLANGO_ROUTINE("ISDRIVEREADY");
    switch (volumes.readiness(cDrive)) {
        case platform::DriveState::kReady:
            return 0;
        case platform::DriveState::kNotReady:
            return -1;
        case platform::DriveState::kError:
            break;
    }
    return -2;
}

size_t ACPGETDRIVES(std::string& cBuffer, const platform::Volumes& volumes, ui::Ui* ui) {
    KLANGO_ROUTINE("ACPGETDRIVES");
    cBuffer.clear();
    if (int err = volumes.mountTableError()) {
        if (ui) ui->alert("Error code: " + std::to_string(err) + " loading " + volumes.mountTable().string());
        return 0;
    }
    for (const std::string& root : volumes.driveRoots()) {
        cBuffer += root;
        if (root.back() != '/') cBuffer += '/';
        cBuffer += '\0';
    }
    const size_t length = cBuffer.size();
    cBuffer += '\0';
    return length;
}

std::vector<std::filesystem::path> GETLOCALDRIVES(const platform::Volumes& volumes, ui::Ui* ui) {
    KLANGO_ROUTINE("GETLOCALDRIVES");
    std::string buffer;
    const size_t length = ACPGETDRIVES(buffer, volumes, ui);
    std::vector<std::filesystem::path> drives;
    size_t pos = 0;
    while (pos < length) {
        size_t end = buffer.find('\0', pos);
        if (end == std::string::npos || end > length) end = length;
        std::string_view root(buffer.data() + pos, end - pos);
        if (!base::trim(root).empty()) drives.emplace_back(std::string(root));
        pos = end + 1;
    }
    return drives;
}

}  // namespace klango::shell
