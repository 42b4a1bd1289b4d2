#include "dbf/key_expression.h"

#include <algorithm>
#include <cstring>

#include "base/cp1252.h"
#include "base/date.h"
#include "base/german_sort.h"
#include "base/error.h"
#include "dbf/field_codec.h"
#include "dbf/record_view.h"

namespace klango::dbf {

namespace {

// Subcodes of the runtime's base subsystem for expressions that do not compile.
constexpr int kSubSyntax = 1449;
constexpr int kSubNoVar = 1003;
constexpr int kSubStrArgument = 1099;
constexpr int kSubUpperArgument = 1102;
constexpr int kSubSubstrArgument = 1110;
constexpr int kMaxStrWidth = 255;

void reportCompileError(int genCode, int subCode, const char* description, std::string_view expression,
                        std::string_view detail) {
    base::ErrorRecord e;
    e.genCode = genCode;
    e.subCode = subCode;
    e.subsystem = "BASE";
    e.description = description;
    e.operation = std::string(expression);
    if (!detail.empty()) e.args = std::vector<base::Value>{std::string(detail)};
    e.canDefault = true;
    base::raiseError(e);
}

// A small hand-written scanner: the grammar has no nesting beyond one function call per term.
class Parser {
public:
    Parser(const Structure& fields, std::string_view text, KeyCollation collation)
        : m_fields(fields), m_text(text), m_collation(collation) {}

    bool parse(std::vector<KeySegment>& out) {
        skipBlanks();
        if (atEnd()) return syntaxError("");
        for (;;) {
            KeySegment seg;
            if (!parseTerm(seg)) return false;
            out.push_back(seg);
            skipBlanks();
            if (atEnd()) return true;
            if (!take('+')) return syntaxError(m_text.substr(m_pos));
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    void skipBlanks() {
        while (!atEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t')) ++m_pos;
    }
    bool take(char c) {
        skipBlanks();
        if (!atEnd() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool takeArrow() {
        skipBlanks();
        if (m_text.substr(m_pos, 2) == "->") {
            m_pos += 2;
            return true;
        }
        return false;
    }
    static bool isNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9'); }

    std::string name() {
        skipBlanks();
        size_t start = m_pos;
        if (atEnd() || !isNameStart(m_text[m_pos])) return {};
        while (!atEnd() && isNameChar(m_text[m_pos])) ++m_pos;
        return base::upperAZ(m_text.substr(start, m_pos - start));
    }

    bool syntaxError(std::string_view near) {
        reportCompileError(base::kErrSyntax, kSubSyntax, "Syntax error", m_text, near);
        return false;
    }

    // FIELD or ALIAS->FIELD; the field index or -1 after reporting.
    int fieldRef(std::string first) {
        if (takeArrow()) {
            first = name();
            if (first.empty()) {
                syntaxError(m_text.substr(m_pos));
                return -1;
            }
        }
        int index = fieldIndexOf(m_fields, first);
        if (index < 0) reportCompileError(base::kErrNoVar, kSubNoVar, "Variable does not exist", m_text, first);
        return index;
    }

    bool parseTerm(KeySegment& seg) {
        std::string word = name();
        if (word.empty()) return syntaxError(m_text.substr(m_pos));
        skipBlanks();
        bool call = !atEnd() && m_text[m_pos] == '(';
        if (!call) {
            int f = fieldRef(word);
            return f >= 0 && plainTerm(m_fields[f], seg);
        }
        if (word != "UPPER" && word != "STR" && word != "SUBSTR") return syntaxError(word);
        take('(');
        if (word == "SUBSTR") {
            if (!substrTerm(seg)) return false;
            seg.kind = KeySegment::Kind::kCopy;
            return true;
        }
        std::string inner = name();
        if (inner.empty()) return syntaxError(m_text.substr(m_pos));
        skipBlanks();
        if (word == "UPPER" && inner == "SUBSTR" && take('(')) {
            // upper(substr(FIELD, start, length)): the piece in capitals.
            if (!substrTerm(seg)) return false;
            seg.kind = m_collation == KeyCollation::kGerman ? KeySegment::Kind::kGerman : KeySegment::Kind::kUpper;
            if (!take(')')) return syntaxError(m_text.substr(m_pos));
            return true;
        }
        int f = fieldRef(inner);
        if (f < 0) return false;
        const FieldDef& field = m_fields[f];
        seg.offset = field.offset;
        seg.fieldWidth = field.width;
        if (word == "UPPER") {
            if (field.type != FieldType::kCharacter) {
                reportCompileError(base::kErrArgument, kSubUpperArgument, "Argument error", m_text, field.name);
                return false;
            }
            seg.kind = m_collation == KeyCollation::kGerman ? KeySegment::Kind::kGerman : KeySegment::Kind::kUpper;
            seg.width = field.width;
        } else {
            if (field.type != FieldType::kNumeric) {
                reportCompileError(base::kErrArgument, kSubStrArgument, "Argument error", m_text, field.name);
                return false;
            }
            seg.kind = KeySegment::Kind::kNumber;
            seg.width = field.width;
            seg.decimals = field.decimals;
            if (take(',')) {
                // str(n, width) renders without decimals, as the runtime's str() does.
                skipBlanks();
                size_t start = m_pos;
                int width = 0;
                while (!atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9' && width <= kMaxStrWidth) {
                    width = width * 10 + (m_text[m_pos] - '0');
                    ++m_pos;
                }
                if (m_pos == start || width < 1 || width > kMaxStrWidth) {
                    return syntaxError(m_text.substr(start));
                }
                seg.width = width;
                seg.decimals = 0;
            }
        }
        if (!take(')')) return syntaxError(m_text.substr(m_pos));
        return true;
    }

    // A positive whole number; 0 after a syntax report.
    int number() {
        skipBlanks();
        size_t start = m_pos;
        int value = 0;
        while (!atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9' && value <= kMaxStrWidth) {
            value = value * 10 + (m_text[m_pos] - '0');
            ++m_pos;
        }
        if (m_pos == start || value < 1) {
            syntaxError(m_text.substr(start));
            return 0;
        }
        return value;
    }

    // The arguments of substr(FIELD, start, length) after its "(", up to and including ")":
    // the piece of a text field from start (1 = first character), length characters, cut at the
    // field's end. The segment reads just those bytes.
    bool substrTerm(KeySegment& seg) {
        std::string inner = name();
        if (inner.empty()) return syntaxError(m_text.substr(m_pos));
        int f = fieldRef(inner);
        if (f < 0) return false;
        const FieldDef& field = m_fields[f];
        if (field.type != FieldType::kCharacter) {
            reportCompileError(base::kErrArgument, kSubSubstrArgument, "Argument error", m_text, field.name);
            return false;
        }
        if (!take(',')) return syntaxError(m_text.substr(m_pos));
        const int start = number();
        if (start == 0) return false;
        int length = field.width - (start - 1);
        if (take(',')) {
            length = number();
            if (length == 0) return false;
        }
        if (!take(')')) return syntaxError(m_text.substr(m_pos));
        length = std::min(length, field.width - (start - 1));
        if (length < 1) return syntaxError(field.name);
        seg.offset = field.offset + start - 1;
        seg.fieldWidth = length;
        seg.width = length;
        return true;
    }

    bool plainTerm(const FieldDef& field, KeySegment& seg) {
        seg.offset = field.offset;
        seg.fieldWidth = field.width;
        seg.width = field.width;
        switch (field.type) {
            case FieldType::kCharacter:
                seg.kind = KeySegment::Kind::kCopy;
                break;
            case FieldType::kNumeric:
                // A number alone keys as str() of it: right-aligned digits, which sort by value
                // for the non-negative numbers the tables hold.
                seg.kind = KeySegment::Kind::kNumber;
                seg.decimals = field.decimals;
                break;
            case FieldType::kDate:
                seg.kind = KeySegment::Kind::kDate;
                seg.width = 8;
                break;
            case FieldType::kLogical:
                seg.kind = KeySegment::Kind::kLogical;
                seg.width = 1;
                break;
        }
        return true;
    }

    const Structure& m_fields;
    std::string_view m_text;
    KeyCollation m_collation;
    size_t m_pos = 0;
};

// Is raw exactly what str() would make of its value in the field's own width? Then the key can
// take the stored bytes; anything else (blanks, leading zeros, a minus, foreign left-aligned
// digits, overflow stars) goes through the value.
bool isCanonicalNumber(std::string_view raw, int decimals) {
    size_t i = 0, n = raw.size();
    while (i < n && raw[i] == ' ') ++i;
    size_t digits = i;
    while (i < n && raw[i] >= '0' && raw[i] <= '9') ++i;
    size_t intLen = i - digits;
    if (intLen == 0 || (intLen > 1 && raw[digits] == '0')) return false;
    if (decimals == 0) return i == n;
    if (i >= n || raw[i] != '.') return false;
    ++i;
    size_t frac = i;
    while (i < n && raw[i] >= '0' && raw[i] <= '9') ++i;
    return i == n && i - frac == size_t(decimals);
}

// upperAZ over n bytes, eight at a time: keys are built for every record of every order.
void upperAZBytes(const char* src, char* out, size_t n) {
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, src + i, 8);
        const uint64_t low7 = x & ~kHigh;
        const uint64_t atLeastA = low7 + (0x80 - 'a') * kOnes;      // high bit: byte & 0x7F >= 'a'
        const uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * kOnes;    // high bit: byte & 0x7F > 'z'
        const uint64_t lower = atLeastA & ~aboveZ & ~x & kHigh;    // and the byte itself below 0x80
        x ^= lower >> 2;                                           // 0x80 >> 2 is the case bit 0x20
        std::memcpy(out + i, &x, 8);
    }
    for (; i < n; ++i) out[i] = base::upperAZ(src[i]);
}

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// The German sort form of a field. Most names are plain ASCII and begin with a letter or digit;
// their form is a to z in capitals byte for byte, so the fast path serves them.
void germanBytes(const char* src, size_t fieldWidth, char* out, size_t n) {
    if (isAsciiAlnum(src[0])) {
        size_t ascii = 0;
        while (ascii < n && (unsigned char)src[ascii] < 0x80) ++ascii;
        if (ascii == n) {
            upperAZBytes(src, out, n);
            return;
        }
    }
    base::germanSortKey(std::string_view(src, fieldWidth), out, n);
}

void buildSegment(const KeySegment& seg, const char* record, char* out, size_t limit) {
    const char* src = record + seg.offset;
    size_t n = std::min(limit, size_t(seg.width));
    switch (seg.kind) {
        case KeySegment::Kind::kCopy:
            std::memcpy(out, src, n);
            return;
        case KeySegment::Kind::kUpper:
            upperAZBytes(src, out, n);
            return;
        case KeySegment::Kind::kGerman:
            if (n > 0) germanBytes(src, size_t(seg.fieldWidth), out, n);
            return;
        case KeySegment::Kind::kNumber: {
            std::string_view raw(src, size_t(seg.fieldWidth));
            if (seg.width == seg.fieldWidth && isCanonicalNumber(raw, seg.decimals)) {
                std::memcpy(out, src, n);
            } else {
                std::string text = formatKeyNumber(decodeNumber(raw), seg.width, seg.decimals);
                std::memcpy(out, text.data(), n);
            }
            return;
        }
        case KeySegment::Kind::kDate: {
            std::string text = base::Date::fromDbf(std::string_view(src, size_t(seg.fieldWidth))).toDbf();
            std::memcpy(out, text.data(), n);
            return;
        }
        case KeySegment::Kind::kLogical:
            if (n > 0) out[0] = decodeLogical(std::string_view(src, size_t(seg.fieldWidth))) ? 'T' : 'F';
            return;
    }
}

}  // namespace

CompiledKey::CompiledKey(std::vector<KeySegment> segments) : m_segments(std::move(segments)) {
    for (const KeySegment& s : m_segments) m_width += size_t(s.width);
}

void CompiledKey::build(const char* recordBytes, char* out, size_t limit) const {
    for (const KeySegment& s : m_segments) {
        if (limit == 0) return;
        buildSegment(s, recordBytes, out, limit);
        size_t n = std::min(limit, size_t(s.width));
        out += n;
        limit -= n;
    }
}

bool CompiledKey::sameFields(const char* a, const char* b) const {
    for (const KeySegment& seg : m_segments) {
        if (std::memcmp(a + seg.offset, b + seg.offset, size_t(seg.fieldWidth)) != 0) return false;
    }
    return true;
}

std::string CompiledKey::build(const char* recordBytes) const {
    std::string out(m_width, ' ');
    build(recordBytes, out.data(), m_width);
    return out;
}

KeySpec compileKey(const Structure& fields, std::string_view expression, KeyCollation collation) {
    KeySpec spec;
    spec.expression = std::string(expression);
    spec.collation = collation;
    std::vector<KeySegment> segments;
    Parser parser(fields, expression, collation);
    if (!parser.parse(segments)) return spec;
    auto compiled = std::make_shared<const CompiledKey>(std::move(segments));
    spec.build = [compiled](const RecordView& record, std::string& out) {
        size_t at = out.size();
        out.resize(at + compiled->width());
        compiled->build(record.bytes(), out.data() + at);
    };
    spec.compiled = std::move(compiled);
    return spec;
}

size_t keyWidth(const KeySpec& key) { return key.compiled ? key.compiled->width() : 0; }

std::string formatKeyNumber(double value, int width, int decimals) {
    if (width <= 0) return {};
    // The same rendering the table writes into N fields, so that str() of a stored value
    // reproduces the stored bytes.
    std::optional<std::string> text = codec::formatNumeric(value, width, decimals);
    return text ? *text : std::string(size_t(width), '*');
}

}  // namespace klango::dbf
