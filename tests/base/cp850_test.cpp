#include "base/cp850.h"

#include <gtest/gtest.h>

#include <string>

#include "test_helpers/test_helpers.h"

namespace klango::base {
namespace {

// Every byte of the DOS code page against Python's codecs: where Windows-1252 has the character,
// the conversion must give exactly that byte.
TEST(Cp850, AgreesWithPythonWhereWindowsHasTheCharacter) {
    const auto r = test::runPython(
        "import sys\n"
        "out=[]\n"
        "for b in range(256):\n"
        "    ch=bytes([b]).decode('cp850')\n"
        "    try: out.append('%d' % ch.encode('cp1252')[0])\n"
        "    except UnicodeEncodeError: out.append('-')\n"
        "print(' '.join(out))\n");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    const std::string converted = cp850ToCp1252(all);
    ASSERT_EQ(converted.size(), 256u);
    size_t pos = 0;
    int mapped = 0;
    for (int b = 0; b < 256; ++b) {
        const size_t end = r.output.find_first_of(" \n", pos);
        const std::string field = r.output.substr(pos, end - pos);
        pos = end + 1;
        if (field == "-") continue;
        ++mapped;
        EXPECT_EQ(static_cast<unsigned char>(converted[b]), std::stoi(field)) << "byte " << b;
    }
    EXPECT_GT(mapped, 200);
}

TEST(Cp850, GermanCaptionAndCharactersWindowsLacks) {
    // "Über uns" and "Grüße" as a DOS editor saved them.
    EXPECT_EQ(cp850ToCp1252("\x9A" "ber uns"), "\xDC" "ber uns");
    EXPECT_EQ(cp850ToCp1252("Gr\x81\xE1" "e"), "Gr\xFC\xDF" "e");
    // Frames stay readable, shades become '?'.
    EXPECT_EQ(cp850ToCp1252("\xDA\xC4\xBF\xB3\xB0"), "+-+|?");
    EXPECT_EQ(cp850ToCp1252(""), "");
}

}  // namespace
}  // namespace klango::base
