#include "trackdb/id3v2_text_frame.h"

#include "base/cp1252.h"

namespace klango::trackdb {

namespace {

std::string untilNul(std::string_view text) {
    size_t nul = text.find('\0');
    return std::string(text.substr(0, nul));
}

std::string decodeUtf16(std::string_view data, bool bigEndian) {
    std::string out;
    size_t i = 0;
    auto unitAt = [&](size_t k) -> char32_t {
        auto b0 = static_cast<unsigned char>(data[k]);
        auto b1 = static_cast<unsigned char>(data[k + 1]);
        return bigEndian ? char32_t((b0 << 8) | b1) : char32_t((b1 << 8) | b0);
    };
    if (data.size() >= 2) {
        auto b0 = static_cast<unsigned char>(data[0]);
        auto b1 = static_cast<unsigned char>(data[1]);
        if (b0 == 0xFF && b1 == 0xFE) {
            bigEndian = false;
            i = 2;
        } else if (b0 == 0xFE && b1 == 0xFF) {
            bigEndian = true;
            i = 2;
        }
    }
    for (; i + 1 < data.size(); i += 2) {
        char32_t unit = unitAt(i);
        if (unit == 0) break;
        if (unit == 0xFEFF) continue;  // a byte-order mark repeated inside the text
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // A surrogate pair names a character beyond the code page; a lone half is garbage.
            // Both come out as one '?'.
            if (unit < 0xDC00 && i + 3 < data.size()) {
                char32_t low = unitAt(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) i += 2;
            }
            out += '?';
            continue;
        }
        out += base::codePointToCp1252(unit);
    }
    return out;
}

}  // namespace

std::string decodeId3v2Text(std::string_view content) {
    if (content.empty()) return {};
    auto encoding = static_cast<unsigned char>(content[0]);
    std::string_view data = content.substr(1);
    switch (encoding) {
        case kEncodingUtf16:
            return decodeUtf16(data, false);
        case kEncodingUtf16Be:
            return decodeUtf16(data, true);
        case kEncodingUtf8: {
            std::string text = untilNul(data);
            std::string_view view = text;
            if (view.substr(0, 3) == "\xEF\xBB\xBF") view.remove_prefix(3);
            return base::utf8ToCp1252(view);
        }
        default:
            return untilNul(data);
    }
}

}  // namespace klango::trackdb
