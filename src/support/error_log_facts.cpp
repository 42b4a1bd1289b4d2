#include "support/error_log_facts.h"

#include <system_error>

#include "dbf/dbf_table.h"
#include "dbf/order.h"
#include "platform/executable_path.h"

namespace fs = std::filesystem;

namespace klango::support {

void fillSystemFacts(ErrorLogFacts& f, const TSystemInfo& info) {
    f.cpu = info.CPU();
    f.cpuName = info.CPUName();
    for (int i = 0; i < 6; ++i) f.memory[i] = info.Memory(i + 1);
    f.nOsVer = info.version.nOsVer;
    f.winVer = info.WinVer();
    f.verNum = info.VerNum();
    f.handleLimit = info.facts().handleLimit;
    f.memoryActual = info.facts().memory.processResident;
    f.memoryHighest = info.facts().memory.processPeak;
}

std::vector<OpenTableFacts> openTables(const dbf::WorkAreas& areas) {
    std::vector<OpenTableFacts> out;
    int area = 0;
    for (const std::string& alias : areas.aliases()) {
        ++area;
        const dbf::DbfTable* t = areas.get(alias);
        if (!t) continue;
        OpenTableFacts o;
        o.area = area;
        o.alias = alias;
        o.current = alias == areas.selectedAlias();
        o.recNo = t->recNo();
        o.recCount = t->lastRec();
        o.bof = t->bof();
        o.eof = t->eof();
        for (int i = 1; i <= t->orderCount(); ++i) {
            const dbf::Order* order = t->order(i);
            if (!order || order->expression().empty()) continue;
            o.orders.push_back({order->expression(), order->name(), i == t->orderNumber()});
        }
        out.push_back(std::move(o));
    }
    return out;
}

ErrorLogFacts gatherErrorLogFacts(const std::string& release, const TSystemInfo& info,
                                  const dbf::WorkAreas* areas, std::vector<std::string> windowTitles) {
    ErrorLogFacts f;
    f.release = release;
    const fs::path exe = platform::executablePath();
    f.programPath = exe.string();
    std::error_code ec;
    const auto size = fs::file_size(exe, ec);
    f.programSize = ec ? 0 : uint64_t(size);
    f.time = platform::clock().now();
    // The handler's own frames are not on the routine stack; the innermost one is where it arose.
    f.stack = stackLines(base::CallStack::snapshot());
    fillSystemFacts(f, info);
    f.windowTitles = std::move(windowTitles);
    if (areas) f.tables = openTables(*areas);
    return f;
}

}  // namespace klango::support
