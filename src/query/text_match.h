// Case-blind matching of CP1252 text for the search: every letter pair of the code page folds
// together (a/A, ä/Ä, é/É, š/Š, ÿ/Ÿ), since users type "ärzte" for "Die Ärzte". Stateless; the
// search condition and the free-word search call it for every record.
#pragma once

#include <string>
#include <string_view>

namespace klango::query {

// The capital of a CP1252 letter; every other byte unchanged (ß has no capital of its own).
char foldCase(char c);
std::string foldCase(std::string_view text);

// Does text contain needle when both are folded? needle must be folded already (foldCase);
// an empty needle is found everywhere.
bool containsFolded(std::string_view text, std::string_view foldedNeedle);

}  // namespace klango::query
