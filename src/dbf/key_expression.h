// The key-expression compiler of the index orders: turns "upper(GROUP)+str(TRACK)+TITLE" into a
// fixed-width key builder over a table's record bytes. Owns nothing but the compiled segments.
// Called by whoever attaches or creates an order (CHECKDATA, the import, the filter and search).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/dbf_structure.h"
#include "dbf/order_spec.h"

namespace klango::dbf {

// One term of a key expression, bound to a field of the structure it was compiled for.
struct KeySegment {
    enum class Kind : unsigned char {
        kCopy,     // a C field as stored, with its blanks
        kUpper,    // upper(C field): a to z in capitals
        kGerman,   // upper(C field) in the German sort form
        kNumber,   // str(N field) or an N field alone: right-aligned in width with decimals
        kDate,     // a D field: YYYYMMDD, eight blanks when empty
        kLogical,  // an L field: "T" or "F"
    };
    Kind kind = Kind::kCopy;
    int offset = 0;      // of the field in the record
    int fieldWidth = 0;  // of the field
    int width = 0;       // of the term in the key
    int decimals = 0;    // kNumber only
};

// The compiled form of a key expression. Every key it builds has the same length, width().
class CompiledKey {
public:
    explicit CompiledKey(std::vector<KeySegment> segments);

    size_t width() const { return m_width; }
    const std::vector<KeySegment>& segments() const { return m_segments; }

    // Writes the first min(limit, width()) key bytes of a record into out (room for that many).
    // The orders ask for a short prefix first and for the whole key only on ties.
    void build(const char* recordBytes, char* out, size_t limit) const;
    void build(const char* recordBytes, char* out) const { build(recordBytes, out, m_width); }
    std::string build(const char* recordBytes) const;
    // Do two records hold the same bytes in every field the key reads (so the same key)?
    bool sameFields(const char* a, const char* b) const;

private:
    std::vector<KeySegment> m_segments;
    size_t m_width = 0;
};

// Compiles expression for a table of this structure. The grammar: terms joined by '+'; a term is
// FIELD, upper(FIELD), str(FIELD), str(FIELD,width), substr(FIELD,start[,length]) or
// upper(substr(FIELD,start,length)), each FIELD optionally written ALIAS->FIELD
// (the alias is ignored, the key always reads the table it is built over); names and function
// names are case-blind, blanks between tokens are allowed. An expression that does not compile is
// handed to the error handler (syntax error, unknown field, or argument error for upper() of a
// non-text or str() of a non-number) and an invalid KeySpec, one with an empty build, comes back.
// With KeyCollation::kGerman every upper() term builds the German sort form instead.
KeySpec compileKey(const Structure& fields, std::string_view expression,
                   KeyCollation collation = KeyCollation::kBytes);
// Conditions (the filter and the search in the open table) are not compiled here: their callers
// hand over a ConditionSpec with a test function of their own.

// The key width of a compiled spec, 0 for a hand-made one (whose keys may vary in length).
size_t keyWidth(const KeySpec& key);

// A number as str() renders it: right-aligned in width with exactly decimals digits after the
// point, rounded as the table rounds what it stores; a value that does not fit is width asterisks.
std::string formatKeyNumber(double value, int width, int decimals);

}  // namespace klango::dbf
