// Gathers the facts the error log shows around an error: the program file, the time, the routine
// stack, the system facts of one TSystemInfo, the open tables of the work areas. Called by the
// error handler for each error.
#pragma once

#include <string>
#include <vector>

#include "dbf/work_areas.h"
#include "support/error_log.h"
#include "support/system_info.h"

namespace klango::support {

// The system block of the log from one collector.
void fillSystemFacts(ErrorLogFacts& facts, const TSystemInfo& info);

// The open-tables block: every alias of areas, numbered in the order they were opened.
std::vector<OpenTableFacts> openTables(const dbf::WorkAreas& areas);

// Everything: program file and size, now, the routine stack, system facts, tables (areas may be
// null), the window titles given by the windowing layer.
ErrorLogFacts gatherErrorLogFacts(const std::string& release, const TSystemInfo& info,
                                  const dbf::WorkAreas* areas, std::vector<std::string> windowTitles);

}  // namespace klango::support
