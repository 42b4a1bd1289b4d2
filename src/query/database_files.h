// The table files of the data folder ("*.DBF", any case) sorted by name, case-blind, as the
// search in all databases and the overall statistics visit them. Stateless.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace klango::query {

std::vector<std::filesystem::path> databaseFiles(const std::filesystem::path& dataFolder);
// The base name of a table file as core text (CP1252), without its extension.
std::string databaseBase(const std::filesystem::path& file);
// Do two names stand for the same database (compared whole, case-blind)?
bool sameDatabase(const std::string& a, const std::string& b);

}  // namespace klango::query
