// The error log "Error.log": its text, line by line, from one error record and the facts around
// it (program file, time, routine stack, system facts, window titles, open tables), and writing it
// so that a failure leaves the previous log whole. Used by the error handler (ERRORDIALOG); the
// facts are gathered by error_log_facts so that tests can give fixed ones.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/call_stack.h"
#include "base/error.h"
#include "platform/clock.h"

namespace klango::support {

inline constexpr const char* kErrorLogName = "Error.log";

struct OpenTableFacts {
    int area = 0;
    std::string alias;
    bool current = false;
    std::string driver = "DBFNTX";
    long long recNo = 0;
    long long recCount = 0;
    bool bof = false;
    bool eof = false;
    struct OrderFacts {
        std::string key;
        std::string name;
        bool controlling = false;
    };
    std::vector<OrderFacts> orders;
};

struct ErrorLogFacts {
    std::string release;      // CRELEASE
    std::string programPath;  // as the file system names it (UTF-8)
    uint64_t programSize = 0;
    long handleLimit = 0;
    platform::LocalTime time;
    std::vector<std::string> stack;  // "NAME(line)", the routine in which the error arose first

    std::string cpu, cpuName;
    long long memory[6] = {};
    int nOsVer = 0;
    std::string winVer, verNum;
    int freeResources[3] = {};  // system, GDI, user: Linux reports none
    int runningTasks = 0;
    std::vector<std::string> windowTitles;  // top-level windows in window order

    std::vector<std::string> drivers{"DBFNTX"};
    std::vector<OpenTableFacts> tables;
    int staticVariables = 0;
    uint64_t memoryActual = 0, memoryHighest = 0;
};

// The stack lines "NAME(line)" of the routines running now, innermost first.
std::vector<std::string> stackLines(const std::vector<base::CallFrame>& frames);

// The titles the log lists: a title is left out when one listed before it begins with it.
std::vector<std::string> listedTitles(const std::vector<std::string>& titles);

// CGETINFO: a value as the variables block shows it.
std::string CGETINFO(const base::Value& v);

// The whole log (CP1252, CR LF line ends, one 1Ah byte at the end).
std::string errorLogText(const base::ErrorRecord& error, const ErrorLogFacts& facts);

// Writes bytes to file through a temporary file renamed into place; false (the old file whole)
// when anything failed.
bool writeFileReplacing(const std::filesystem::path& file, const std::string& bytes);

// The log's text as lines, without CR LF and the end byte (for review, printing and mail).
std::vector<std::string> logLines(const std::string& bytes);

}  // namespace klango::support
