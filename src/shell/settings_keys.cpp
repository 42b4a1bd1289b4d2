#include "shell/settings_keys.h"

#include <array>
#include <stdexcept>

namespace klango::shell {

namespace keys {

namespace {

constexpr const char* kBrowseWidthDefault = "1";

constexpr std::array<SettingKey, kLastBrowseColumn> kBrowseWidths{{
    {"Browse", "1", kBrowseWidthDefault},  {"Browse", "2", kBrowseWidthDefault},
    {"Browse", "3", kBrowseWidthDefault},  {"Browse", "4", kBrowseWidthDefault},
    {"Browse", "5", kBrowseWidthDefault},  {"Browse", "6", kBrowseWidthDefault},
    {"Browse", "7", kBrowseWidthDefault},  {"Browse", "8", kBrowseWidthDefault},
    {"Browse", "9", kBrowseWidthDefault},  {"Browse", "10", kBrowseWidthDefault},
    {"Browse", "11", kBrowseWidthDefault}, {"Browse", "12", kBrowseWidthDefault},
    {"Browse", "13", kBrowseWidthDefault}, {"Browse", "14", kBrowseWidthDefault},
    {"Browse", "15", kBrowseWidthDefault}, {"Browse", "16", kBrowseWidthDefault},
    {"Browse", "17", kBrowseWidthDefault}, {"Browse", "18", kBrowseWidthDefault},
    {"Browse", "19", kBrowseWidthDefault}, {"Browse", "20", kBrowseWidthDefault},
}};

}  // namespace

const SettingKey& browseWidth(int column) {
    if (column < kFirstBrowseColumn || column > kLastBrowseColumn)
        throw std::out_of_range("Browse column " + std::to_string(column));
    return kBrowseWidths[size_t(column - kFirstBrowseColumn)];
}

}  // namespace keys

namespace {

using namespace keys;

constexpr const SettingKey* kAllRows[] = {
    &kProgram,
    &kVersion,
    &kEmailMenue,
    &kEmailUrl,
    &kInternetMenue,
    &kInternetUrl,
    &kMyPath,
    &kAutoOpen,
    &kAutoStart,
    &kMarkDate,
    &kMarkHour,
    &kMarkSort,
    &kShowTrak,
    &kDblClick,
    &kFontSize,
    &kDimension,
    &kTop,
    &kLeft,
    &kBottom,
    &kRight,
    &kWidth,
    &kHeight,
    &kPlayPath,
    &kPlayList,
    &kPlayFile,
    &kAddPList,
    &kAmpPath,
    &kAmpPList,
    &kAmpAddPl,
    &kAmpUseIt,
    &kPl2Path,
    &kPl2PList,
    &kPl2AddPl,
    &kPl2UseIt,
    &kDatabaseFile,
    &kBrowseCount,
    &kBrowseWidths[0],
    &kBrowseWidths[1],
    &kBrowseWidths[2],
    &kBrowseWidths[3],
    &kBrowseWidths[4],
    &kBrowseWidths[5],
    &kBrowseWidths[6],
    &kBrowseWidths[7],
    &kBrowseWidths[8],
    &kBrowseWidths[9],
    &kBrowseWidths[10],
    &kBrowseWidths[11],
    &kBrowseWidths[12],
    &kBrowseWidths[13],
    &kBrowseWidths[14],
    &kBrowseWidths[15],
    &kBrowseWidths[16],
    &kBrowseWidths[17],
    &kBrowseWidths[18],
    &kBrowseWidths[19],
    &kImpPath,
    &kImpBuffer,
    &kExportTagged,
    &kExportPlayNow,
    &kExportDelMark,
    &kSeekInAll,
    &kSuchenGroup,
    &kSuchenAlbum,
    &kSuchenTitle,
    &kSuchenText,
    &kAndOr1,
    &kAndOr2,
    &kDestPath,
    &kAuswahl,
    &kNote,
    &kTransferTagged,
    &kOrdner,
    &kInterpret,
    &kTransferAlbum,
    &kTrack,
    &kTitel,
    &kMailName,
    &kMailReply,
    &kMailSendTo,
    &kMailAccount,
    &kMailServer,
    &kMailPort,
    &kMailPassword,
};

}  // namespace

std::span<const SettingKey* const> allSettingKeys() { return kAllRows; }

}  // namespace klango::shell
