// klango-cli: the catalogue from a shell. The same routines as the desktop program, without
// windows: questions take their defaults, errors are printed and take the default. Each file of
// app/cli registers its commands; this file reads the options every command shares.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "base/error.h"
#include "cli/cli_support.h"
#include "platform/executable_path.h"

namespace fs = std::filesystem;
using namespace klango;
using cli::fail;

namespace {

std::string usage() {
    std::string text =
        "Aufruf: klango-cli [--home ORDNER] BEFEHL ... [--home ORDNER]\n"
        "\n"
        "Klango verwaltet eine Sammlung von MP3-Dateien in Datenbanken im Ordner \"Daten\"\n"
        "des Programmordners.\n"
        "\n"
        "Befehle:\n";
    for (const auto& c : cli::commands()) text += c.usage;
    text +=
        "\n"
        "Optionen:\n"
        "  --home ORDNER   Programmordner mit KLANGO.INI und Daten/ (Vorgabe: Ordner des Programms)\n"
        "  --help          diese Hilfe\n";
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::Context ctx{platform::executableFolder()};
    size_t i = 0;
    for (; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << usage();
            return 0;
        }
        if (args[i] == "--home") {
            if (i + 1 >= args.size()) return fail("--home braucht einen Ordner");
            ctx.home = args[++i];
            continue;
        }
        break;
    }
    if (i >= args.size()) {
        std::cerr << usage();
        return 1;
    }
    // "--home ORDNER" counts after the command too.
    for (size_t j = i + 1; j < args.size();) {
        if (args[j] != "--home") {
            ++j;
            continue;
        }
        if (j + 1 >= args.size()) return fail("--home braucht einen Ordner");
        ctx.home = args[j + 1];
        args.erase(args.begin() + std::ptrdiff_t(j), args.begin() + std::ptrdiff_t(j) + 2);
    }
    std::error_code ec;
    if (!fs::is_directory(ctx.home, ec)) return fail("Programmordner \"" + ctx.home.string() + "\" nicht gefunden");
    fs::create_directories(ctx.data(), ec);

    cli::installErrorLog(ctx);
    const std::string command = args[i];
    std::vector<std::string> rest(args.begin() + long(i) + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help") {
            std::cout << usage();
            return 0;
        }
    }
    for (const auto& c : cli::commands()) {
        if (c.name == command) return c.run(ctx, rest);
    }
    return fail("unbekannter Befehl \"" + command + "\" (siehe --help)");
}
