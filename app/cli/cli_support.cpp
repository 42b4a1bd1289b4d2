#include "cli/cli_support.h"

#include <algorithm>
#include <iostream>

#include "base/cp1252.h"
#include "shell/rx_helpers.h"
#include "trackdb/check_data.h"
#include "trackdb/track_record.h"

namespace fs = std::filesystem;

namespace klango::cli {

int fail(const std::string& message) {
    std::cerr << "klango-cli: " << message << "\n";
    return 1;
}

base::ErrorAnswer printError(const base::ErrorRecord& e) {
    std::cerr << "klango-cli: " << base::cp1252ToUtf8(base::errorMessage(e)) << "\n";
    return base::ErrorAnswer::fallBack();
}

bool databaseName(const std::string& arg, std::string& name) {
    name = base::utf8ToCp1252(arg);
    const std::string refusal = trackdb::databaseNameRefusal(name);
    if (refusal.empty()) return true;
    fail(base::cp1252ToUtf8(refusal));
    return false;
}

bool databaseExists(const Context& ctx, const std::string& name) {
    std::error_code ec;
    return fs::exists(dbf::WorkAreas(ctx.data()).resolve(trackdb::databaseBaseName(name) + ".dbf"), ec);
}

dbf::DbfTable* openTrackDatabase(const Context& ctx, dbf::WorkAreas& areas, ui::Ui& ui, const std::string& name) {
    const std::string shown = base::cp1252ToUtf8(name);
    if (!databaseExists(ctx, name)) {
        fail("Datenbank \"" + shown + "\" nicht gefunden");
        return nullptr;
    }
    if (!trackdb::CHECKDATA(areas, ui, name, trackdb::CheckDataEnd::KeepOpen)) {
        fail("Datenbank \"" + shown + "\" konnte nicht geprüft werden");
        return nullptr;
    }
    const std::string base = shell::RXSTRCAPALL(trackdb::databaseBaseName(name));
    // The check leaves the table open with its six orders when it could build them all; else the
    // table is opened again with whatever index files there are.
    dbf::DbfTable* table = areas.get("DMP3");
    if (!table) {
        table = areas.use(base, "DMP3");
        if (!table) {
            fail("Datenbank \"" + shown + "\" lässt sich nicht öffnen");
            return nullptr;
        }
        for (const auto& o : trackdb::trackOrders()) {
            table->attachOrder(trackdb::indexFile(ctx.data(), base, o.number),
                               trackdb::trackOrderKey(table->structure(), o));
        }
    }
    table->setOrder(1);
    return table;
}

void ConsoleUi::showMessage(const std::string& text) {
    if (m_verbose) std::cerr << base::cp1252ToUtf8(text) << "\n";
}

void ConsoleUi::infoWithNames(const std::string& title, const std::string& text,
                              const std::vector<std::string>& fileNames) {
    print(title, text);
    for (const std::string& name : fileNames) std::cerr << name << "\n";
}

void ConsoleUi::print(const std::string& title, const std::string& text) {
    std::cerr << base::cp1252ToUtf8(title.empty() ? text : title + ": " + text) << "\n";
}

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}
}  // namespace

bool registerCommand(Command command) {
    auto& all = registry();
    all.push_back(std::move(command));
    std::stable_sort(all.begin(), all.end(), [](const Command& a, const Command& b) { return a.rank < b.rank; });
    return true;
}

const std::vector<Command>& commands() { return registry(); }

}  // namespace klango::cli
