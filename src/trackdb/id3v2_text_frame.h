// The text of an ID3v2 text frame ("T..." ids) in CP1252: the encoding byte picks the decoding,
// the text ends at its first NUL. Pure function on the frame's content bytes; used by Id3v2Reader.
#pragma once

#include <string>
#include <string_view>

namespace klango::trackdb {

// Encoding bytes of ID3v2 text frames.
constexpr unsigned char kEncodingLatin1 = 0;
constexpr unsigned char kEncodingUtf16 = 1;    // with byte-order mark
constexpr unsigned char kEncodingUtf16Be = 2;  // 2.4 only, no byte-order mark
constexpr unsigned char kEncodingUtf8 = 3;     // 2.4 only

// content is the frame body: encoding byte, then the text. Characters CP1252 cannot represent
// become '?'. Encoding 0 is taken byte for byte: ISO-8859-1 and CP1252 agree from 0xA0 on, and
// the bytes 0x80-0x9F that Windows taggers write there are meant as CP1252. An unknown encoding
// byte is read like encoding 0; UTF-16 without a byte-order mark is read little-endian.
std::string decodeId3v2Text(std::string_view content);

}  // namespace klango::trackdb
