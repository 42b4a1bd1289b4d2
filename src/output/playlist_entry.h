// A title entry of the playlist export: the text the sort dialog shows ("GROUP - TITLE", both
// without trailing blanks) and the record it stands for, so that every record keeps its own path
// whatever its neighbours are called. Made by the export, moved about by the sort dialog.
#pragma once

#include <cstdint>
#include <string>

namespace klango::output {

struct TitleEntry {
    std::string text;
    uint32_t recno = 0;  // 0: the end marker of the sorted list
};

}  // namespace klango::output
