// The border between the core's CP1252 texts and Qt's QString. Free inline functions for the
// views; nothing else converts.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "base/cp1252.h"

namespace klango::gui {

inline QString toQ(std::string_view cp1252) { return QString::fromStdString(base::cp1252ToUtf8(cp1252)); }
inline std::string fromQ(const QString& text) { return base::utf8ToCp1252(text.toStdString()); }
// A core text written in UTF-8 in the source, for the views' own captions.
inline QString u8q(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace klango::gui
