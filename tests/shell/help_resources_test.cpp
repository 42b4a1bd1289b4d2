// Checks the help document, its keyword index and the artwork against each other: every topic the
// program opens and every index entry lands on an anchor, the document's links and pictures resolve,
// and every picture the program loads by resource name is a self-contained SVG of the agreed size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_helpers/test_helpers.h"

namespace fs = std::filesystem;
using klango::test::readFileBytes;

namespace {

const fs::path kResources = fs::path(KLANGO_SOURCE_DIR) / "resources";
const fs::path kHelpDir = kResources / "help";
const fs::path kArtDir = kResources / "art";

std::set<std::string> captures(const std::string& text, const std::regex& pattern,
                               std::vector<std::string>* all = nullptr) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
         ++it) {
        found.insert((*it)[1].str());
        if (all) all->push_back((*it)[1].str());
    }
    return found;
}

// The two ways a section can be found: QTextBrowser jumps to <a name>, a browser to id.
struct Anchors {
    std::vector<std::string> nameList, idList;
    std::set<std::string> names, ids;
};

Anchors anchorsOf(const std::string& html) {
    Anchors a;
    a.names = captures(html, std::regex(R"re(<a\s+name="([^"]*)")re"), &a.nameList);
    a.ids = captures(html, std::regex(R"re(\sid="([^"]*)")re"), &a.idList);
    return a;
}

bool isValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        if (c >= 0xC2 && c <= 0xDF) extra = 1;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3;
        else if (c >= 0x80) return false;
        if (i + extra >= s.size() && extra > 0) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

// German index order: case-blind, umlauts filed under their base letter, "ß" as "ss".
std::string indexSortKey(const std::string& keyword) {
    std::string key;
    for (size_t i = 0; i < keyword.size(); ++i) {
        const auto c = static_cast<unsigned char>(keyword[i]);
        if (c >= 'A' && c <= 'Z') {
            key += static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xC3 && i + 1 < keyword.size()) {
            const auto d = static_cast<unsigned char>(keyword[i + 1]);
            static const std::map<unsigned char, const char*> kFold = {
                {0x84, "a"}, {0xA4, "a"}, {0x96, "o"}, {0xB6, "o"}, {0x9C, "u"}, {0xBC, "u"}, {0x9F, "ss"}};
            const auto f = kFold.find(d);
            if (f != kFold.end()) {
                key += f->second;
                ++i;
            } else {
                key += keyword[i];
            }
        } else {
            key += keyword[i];
        }
    }
    return key;
}

struct IndexEntry {
    std::string keyword, anchor;
};

}  // namespace

TEST(HelpDocument, EveryTopicOpensAtAnAnchorBothViewersFind) {
    const std::string html = readFileBytes(kHelpDir / "klango.html");
    ASSERT_FALSE(html.empty());
    const Anchors a = anchorsOf(html);

    // The topic names the dialogs set, with the anchor the help window derives from each, plus the
    // top of the document (empty topic) and the two sections reached from the index and menus.
    const std::vector<std::pair<std::string, std::string>> topics = {
        {"Hauptauswahl", "hauptauswahl"},
        {"Datensatz editieren", "datensatz-editieren"},
        {"Filter setzen", "filter-setzen"},
        {"Suchen", "suchen"},
        {"Statistik anzeigen", "statistik-anzeigen"},
        {"Playliste erzeugen", "playliste-erzeugen"},
        {"Datenkopie", "datenkopie"},
        {"Einstellungen", "einstellungen"},
        {"", "inhalt"},
        {"MP3-Import", "import"},
        {"Fehlerprotokoll", "fehlerprotokoll"},
    };
    for (const auto& [topic, anchor] : topics) {
        EXPECT_TRUE(a.names.count(anchor)) << "topic \"" << topic << "\": no <a name=\"" << anchor << "\">";
        EXPECT_TRUE(a.ids.count(anchor)) << "topic \"" << topic << "\": no id=\"" << anchor << "\"";
        // A topic section starts at a heading, so the window does not open in mid-text.
        EXPECT_TRUE(std::regex_search(html, std::regex("<h[12] id=\"" + anchor + "\">")))
            << anchor << " is not a section heading";
    }
}

TEST(HelpDocument, AnchorsAreUniqueAndEveryLinkAndPictureResolves) {
    const std::string html = readFileBytes(kHelpDir / "klango.html");
    ASSERT_FALSE(html.empty());
    EXPECT_TRUE(isValidUtf8(html)) << "klango.html is not UTF-8";
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << "charset not declared";

    const Anchors a = anchorsOf(html);
    EXPECT_EQ(a.names.size(), a.nameList.size()) << "an <a name> is used twice";
    EXPECT_EQ(a.ids.size(), a.idList.size()) << "an id is used twice";
    // Every anchor in both forms, so the help window and a browser agree.
    EXPECT_EQ(a.names, a.ids);

    std::vector<std::string> refs;
    captures(html, std::regex(R"re(\s(?:href|src)="([^"]*)")re"), &refs);
    ASSERT_FALSE(refs.empty());
    for (const std::string& ref : refs) {
        // The help works offline and carries nothing from elsewhere.
        EXPECT_EQ(ref.find(':'), std::string::npos) << "external reference " << ref;
        EXPECT_NE(ref.rfind("//", 0), 0u) << "external reference " << ref;
        if (!ref.empty() && ref[0] == '#') {
            EXPECT_TRUE(a.names.count(ref.substr(1))) << "link to missing anchor " << ref;
        }
    }
    std::vector<std::string> pictures;
    captures(html, std::regex(R"re(<img\s+src="([^"]*)")re"), &pictures);
    EXPECT_FALSE(pictures.empty());
    for (const std::string& src : pictures) {
        EXPECT_TRUE(fs::is_regular_file(kHelpDir / src)) << "missing picture " << src;
    }
}

TEST(HelpIndex, EntriesPointIntoTheDocumentAndAreSortedAsAGermanIndex) {
    const std::string html = readFileBytes(kHelpDir / "klango.html");
    const std::string text = readFileBytes(kHelpDir / "index.txt");
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(isValidUtf8(text));
    EXPECT_EQ(text.find('\r'), std::string::npos) << "index.txt must have LF line ends";
    EXPECT_EQ(text.back(), '\n');
    const Anchors a = anchorsOf(html);

    std::vector<IndexEntry> entries;
    std::istringstream lines(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(lines, line)) {
        ++lineNo;
        const auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << "line " << lineNo << " has no TAB: " << line;
        IndexEntry e{line.substr(0, tab), line.substr(tab + 1)};
        EXPECT_EQ(e.anchor.find('\t'), std::string::npos) << "line " << lineNo << " has two TABs";
        EXPECT_FALSE(e.keyword.empty()) << "line " << lineNo;
        EXPECT_NE(e.keyword.front(), ' ') << "line " << lineNo;
        EXPECT_NE(e.keyword.back(), ' ') << "line " << lineNo;
        EXPECT_TRUE(a.names.count(e.anchor) && a.ids.count(e.anchor))
            << "line " << lineNo << ": \"" << e.keyword << "\" points to missing anchor " << e.anchor;
        entries.push_back(e);
    }
    ASSERT_GE(entries.size(), 50u) << "the index should be a real keyword list";

    for (size_t i = 1; i < entries.size(); ++i) {
        const auto prev = std::make_pair(indexSortKey(entries[i - 1].keyword), entries[i - 1].keyword);
        const auto cur = std::make_pair(indexSortKey(entries[i].keyword), entries[i].keyword);
        EXPECT_LT(prev, cur) << "\"" << entries[i - 1].keyword << "\" must come after \"" << entries[i].keyword
                             << "\" (or is repeated)";
    }
    // Umlauts are filed under their base letter, not behind "z".
    EXPECT_LT(indexSortKey("Über Klango"), indexSortKey("Umschalt-Klick"));
    EXPECT_LT(indexSortKey("Öffnen"), indexSortKey("Ordner"));
    EXPECT_EQ(indexSortKey("Größe"), "grosse");

    // Every section of the document can be reached from the index.
    std::set<std::string> indexed;
    for (const auto& e : entries) indexed.insert(e.anchor);
    const std::set<std::string> sections = captures(html, std::regex(R"re(<h2 id="([^"]*)")re"));
    ASSERT_GE(sections.size(), 10u);
    for (const std::string& s : sections) EXPECT_TRUE(indexed.count(s)) << "section " << s << " not indexed";
}

TEST(Artwork, EveryPictureTheProgramLoadsIsASelfContainedSvgOfItsSize) {
    // Resource names as the program asks for them; the file is the name in lower case plus ".svg".
    struct Picture {
        const char* resource;
        int width, height;  // of the view box
    };
    const std::vector<Picture> pictures = {
        {"KLANGO", 256, 256},      {"About", 320, 110},       {"MRed", 16, 16},           {"MBlack", 16, 16},
        {"MBlue", 16, 16},         {"MWhite", 16, 16},        {"MGreen", 16, 16},         {"MPink", 16, 16},
        {"NEWFILEK", 24, 24},      {"OPENFILEK", 24, 24},     {"SAVEASK", 24, 24},        {"MARKALLK", 24, 24},
        {"UNMARKALLK", 24, 24},    {"MARKIERENK", 24, 24},    {"PLAYLISTK", 24, 24},      {"PLAYLISTOFFK", 24, 24},
        {"MAKECOPY", 24, 24},      {"STATIST", 24, 24},       {"GOTOAK", 24, 24},         {"GOTODK", 24, 24},
        {"GOTOGK", 24, 24},        {"GOTOJK", 24, 24},        {"GOTOMK", 24, 24},         {"GOTOPK", 24, 24},
        {"GOTOSK", 24, 24},        {"GOTOVK", 24, 24},        {"GOTOYK", 24, 24},         {"SUCHENK", 24, 24},
        {"FILTERONK", 24, 24},     {"FILTEROFFK", 24, 24},    {"FILTEROFFOFFK", 24, 24},  {"SETUPK", 24, 24},
        {"HILFEK", 24, 24},        {"ENDEK", 24, 24},         {"Import", 32, 32},         {"EDITRECO", 32, 32},
        {"FILTERN", 32, 32},       {"Suchen", 32, 32},        {"Playlist", 32, 32},       {"Sortier", 32, 32},
        {"Setup", 32, 32},         {"StopMax", 32, 32},
    };
    const std::string readme = readFileBytes(kArtDir / "README.md");
    std::set<std::string> expectedFiles;
    std::ostringstream sizes;
    for (const Picture& p : pictures) {
        std::string file = p.resource;
        std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::tolower(c); });
        file += ".svg";
        expectedFiles.insert(file);
        sizes << file << ' ' << p.width << ' ' << p.height << '\n';
        EXPECT_TRUE(fs::is_regular_file(kArtDir / file)) << p.resource << ": missing " << file;
        EXPECT_NE(readme.find("| `" + std::string(p.resource) + "` | `" + file + "` |"), std::string::npos)
            << p.resource << " is not listed in art/README.md";
    }
    // No stray picture that nothing loads and the list does not explain.
    for (const auto& entry : fs::directory_iterator(kArtDir)) {
        if (entry.path().extension() == ".svg") {
            EXPECT_TRUE(expectedFiles.count(entry.path().filename().string()))
                << "unlisted picture " << entry.path().filename();
        }
    }

    // A real XML parser: Qt's SVG renderer draws nothing for a file that is not well-formed. The
    // pictures must not depend on fonts, scripts or other files, so that they look alike everywhere.
    const std::string script = R"PY(
import sys, os, xml.etree.ElementTree as ET
folder, listing = sys.argv[1], sys.argv[2]
ns = "{http://www.w3.org/2000/svg}"
for line in open(listing):
    name, w, h = line.split()
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        continue
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        print(name, "not well-formed:", e); continue
    if root.tag != ns + "svg":
        print(name, "root is", root.tag)
    vb = root.get("viewBox", "").split()
    if vb != ["0", "0", w, h]:
        print(name, "viewBox", vb, "expected 0 0", w, h)
    if root.get("width") != w or root.get("height") != h:
        print(name, "width/height", root.get("width"), root.get("height"))
    for el in root.iter():
        tag = el.tag.replace(ns, "")
        if tag in ("image", "script", "text", "foreignObject", "style", "use"):
            print(name, "uses", tag)
        for key, value in el.attrib.items():
            if key.endswith("href") or "url(" in value and not value.startswith("url(#"):
                print(name, "refers to", value)
)PY";
    klango::test::TempHome home;
    const fs::path listing = home.root() / "sizes.txt";
    klango::test::writeFileBytes(listing, sizes.str());
    const auto result = klango::test::runPython(script, {kArtDir.string(), listing.string()});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "");
}
