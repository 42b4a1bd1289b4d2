// What an index order is made of: a key function with the expression text it stands for, an
// optional condition with its text, and the flags. The texts name the order in its index file,
// so that a file made from another expression is recognised and rebuilt.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "dbf/record_view.h"

namespace klango::dbf {

class CompiledKey;  // dbf/key_expression.h

// How upper() compares text in a key: by its bytes with a to z in capitals, or in the German sort
// form (base/german_sort.h) that the track orders use. Part of what an index file was made from.
enum class KeyCollation : unsigned char { kBytes, kGerman };

struct KeySpec {
    std::string expression;  // e.g. "upper(GROUP)+upper(ALBUM)+str(TRACK)+upper(TITLE)"
    // Appends the key of one record to out (out is cleared by the caller).
    std::function<void(const RecordView&, std::string& out)> build;
    // Set by compileKey: the fixed-width form that orders build their keys with directly (build
    // stays the general path). Null for a hand-made key.
    std::shared_ptr<const CompiledKey> compiled = nullptr;
    KeyCollation collation = KeyCollation::kBytes;
};

// A condition must be a function of the record (and its number) alone: the order judges a
// written record by its old and its new bytes, and outside state would make the two disagree.
struct ConditionSpec {
    std::string text;
    std::function<bool(const RecordView&)> test;
    // For conditions that read the record number too (a list of chosen records); used instead of
    // test when set.
    std::function<bool(const RecordView&, uint32_t recno)> testRecord = nullptr;
};

struct OrderOptions {
    std::string name;  // empty: the index file's base name
    bool unique = false;
    bool descending = false;
    std::optional<ConditionSpec> condition;
};

}  // namespace klango::dbf
