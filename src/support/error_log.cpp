#include "support/error_log.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <system_error>

#include "base/cp1252.h"
#include "base/text_format.h"

namespace fs = std::filesystem;

namespace klango::support {
namespace {

// Right-aligned in width; a figure wider than its place is written whole rather than cut or
// starred, so that the log never misreports a number.
std::string right(long long n, size_t width) {
    std::string digits = std::to_string(n);
    return digits.size() >= width ? digits : std::string(width - digits.size(), ' ') + digits;
}

// The picture "9,999,999": seven digit places with commas between groups of three, blanks for
// leading zeros; a larger figure gets further groups.
std::string sizePicture(uint64_t n) {
    std::string digits = base::groupThousands((long long)n, ',');
    return digits.size() >= 9 ? digits : std::string(9 - digits.size(), ' ') + digits;
}

class Lines {
  public:
    void add(const std::string& line) {
        m_text += line;
        m_text += "\r\n";
    }
    void empty() { add({}); }
    std::string done() { return m_text + '\x1A'; }

  private:
    std::string m_text;
};

}  // namespace

std::vector<std::string> stackLines(const std::vector<base::CallFrame>& frames) {
    std::vector<std::string> out;
    for (const base::CallFrame& f : frames) {
        if (!f.routine || !*f.routine) continue;  // a level without a name is skipped
        if (out.size() >= 72) break;              // levels 2 to 73
        out.push_back(std::string(f.routine) + "(" + std::to_string(f.line) + ")");
    }
    return out;
}

std::vector<std::string> listedTitles(const std::vector<std::string>& titles) {
    std::vector<std::string> out;
    for (const std::string& t : titles) {
        bool covered = false;
        for (const std::string& before : out) {
            if (before.compare(0, t.size(), t) == 0) {
                covered = true;
                break;
            }
        }
        if (!covered) out.push_back(t);
    }
    return out;
}

std::string CGETINFO(const base::Value& v) {
    switch (v.kind) {
        case base::Value::Kind::Text:
            return "\"" + v.text + "\"";
        case base::Value::Kind::Object:
            return "Class: " + v.text;
        case base::Value::Kind::List:
            return "Len: " + right((long long)v.items.size(), 4);
        default:
            return base::valueText(v);
    }
}

std::string errorLogText(const base::ErrorRecord& error, const ErrorLogFacts& f) {
    Lines log;
    log.add(f.release);
    log.add(std::string(f.release.size(), '='));
    log.add("   Pfad und Name: " + base::utf8ToCp1252(f.programPath));
    log.add("   Groesse: " + sizePicture(f.programSize) + " Bytes");
    log.add("   Max Datei-Handles verfuegbar: ( SetHandleCount() ) " + right(f.handleLimit, 3));
    log.add("   Zeitpunkt des Fehlers: " + base::formatDate(f.time.date) + ", " +
            base::hhmmss(f.time.hour, f.time.minute, f.time.second));
    log.add("   Fehlerbeschreibung: " + base::errorMessage(error));
    if (error.args) {
        log.add("   Args:");
        int i = 0;
        for (const base::Value& a : *error.args) {
            // Texts of the file system (names) are UTF-8; everything else is already CP1252.
            log.add("     [" + right(++i, 4) + "] = " + base::typeLetter(a) + "   " + base::valueText(a));
        }
    }

    log.empty();
    log.add("Stack Aufrufe");
    log.add("=============");
    for (const std::string& s : f.stack) log.add("   Aufgerufen von " + s);

    log.empty();
    log.add("System-Informationen");
    log.add("====================");
    log.add("CPU Type: " + f.cpu + " ");
    log.add("CPU Name: " + f.cpuName);
    log.empty();
    log.add("Hardware Speicher: ");
    static const char* const memoryLabels[6] = {"Total Physical: ",
                                                "Verf\xFC"
                                                "gbar Physical: ",
                                                "Total Auslagerung: ",
                                                "Verf\xFC"
                                                "gbar Auslagerung: ",
                                                "Total virtuell: ",
                                                "Verf\xFC"
                                                "gbar virtuell: "};
    for (int i = 0; i < 6; ++i) log.add(std::string(memoryLabels[i]) + std::to_string(f.memory[i]) + " MB");
    log.empty();
    log.add("Betriebssystem: ");
    log.add("MsDos Version: " + std::to_string(f.nOsVer));
    log.add("Windows Version: " + f.winVer);
    log.add("Windows Versions-Nr.: " + f.verNum);
    log.empty();
    log.add("Freie System Resourcen: % " + std::to_string(f.freeResources[0]));
    log.add("      GDI    Resourcen: % " + std::to_string(f.freeResources[1]));
    log.add("      User   Resourcen: % " + std::to_string(f.freeResources[2]));
    log.empty();
    log.add("Anzahl laufender Windows-Applikationen: " + right(f.runningTasks, 3));
    int n = 0;
    for (const std::string& t : listedTitles(f.windowTitles)) log.add("    " + right(++n, 3) + " " + t);

    log.empty();
    log.add("Benutzte Variablen");
    log.add("==================");
    log.add("   Prozedur      Type    Wert");
    log.add("   ==========================");
    // Parameters and locals of other routines cannot be read back in C++: the block names the
    // routines only.
    for (const std::string& s : f.stack) log.add("   " + s.substr(0, s.find('(')));

    log.empty();
    log.add("Linked RDDs");
    log.add("===========");
    for (const std::string& d : f.drivers) log.add("   " + d);

    log.empty();
    log.add("Benutzte DataBanken");
    log.add("===================");
    for (const OpenTableFacts& t : f.tables) {
        log.empty();
        log.add(right(t.area, 3) + ": " + (t.current ? "=> " : "   ") + base::padRight(t.alias, 15) +
                std::string(20, ' ') + "RddName: " + t.driver);
        log.add("     ==============================");
        log.add("     Satznr.  RecCount    BOF   EOF");
        log.add("    " + right(t.recNo, 5) + "      " + right(t.recCount, 5) + "      " +
                (t.bof ? ".t." : ".f.") + "   " + (t.eof ? ".t." : ".f."));
        log.empty();
        log.add("     Benutzte Indexe " + std::string(23, ' ') + "TagName");
        int o = 0;
        for (const auto& order : t.orders) {
            if (++o > 15) break;
            log.add(std::string(8, ' ') + (order.controlling ? "=> " : "   ") +
                    base::padRight(order.key, 35) + order.name);
        }
        log.empty();
        log.add("     Benutzte Relationen");
    }

    log.empty();
    log.add("Speicher-Analyse");
    log.add("================");
    log.add("   Static memory:");
    log.add("      data segment: 64k");
    log.add("      Initial size:       0 bytes  (SYMP=0, Stack=0, Heap=0)");
    log.add("      Pcore Stack:      " + std::to_string(65535 - 14 * f.staticVariables) + " bytes");
    log.add("      " + std::to_string(f.staticVariables) +
            " Static variables: " + std::to_string(14 * f.staticVariables) + " bytes");
    log.empty();
    log.add("   Dynamic memory consume:");
    log.add("      Actual  Value: " + right((long long)f.memoryActual, 10) + " bytes");
    log.add("      Highest Value: " + right((long long)f.memoryHighest, 10) + " bytes");
    return log.done();
}

bool writeFileReplacing(const fs::path& file, const std::string& bytes) {
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

std::vector<std::string> logLines(const std::string& bytes) {
    std::string_view text(bytes);
    if (!text.empty() && text.back() == '\x1A') text.remove_suffix(1);
    std::vector<std::string> lines;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace klango::support
