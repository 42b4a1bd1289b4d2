// The error log line by line, CGETINFO, the error handler's silent cases, dialog and results, and
// the crash log written by a child that dies of a signal.
#include "support/error_log.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/call_stack.h"
#include "base/error.h"
#include "support/crash_log.h"
#include "support/error_dialog_model.h"
#include "support/error_sys.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;
using support::ErrorDialogModel;

namespace {

support::ErrorLogFacts fixedFacts() {
    support::ErrorLogFacts f;
    f.release = "Klango v1.50.17";
    f.programPath = "/opt/klang\xC3\xB6/klango";  // UTF-8 on disk
    f.programSize = 12345678;                     // wider than the picture's seven digits
    f.handleLimit = 1024;
    f.time = {{2026, 12, 9}, 7, 5, 3};
    f.stack = {"MP3TABLE(120)", "MAIN(40)"};
    f.cpu = "Intel(R) Core(TM) i5";
    f.cpuName = "Intel(R) Core(TM) i5";
    for (int i = 0; i < 6; ++i) f.memory[i] = 1000 * (i + 1);
    f.nOsVer = 156;
    f.winVer = "Debian GNU/Linux 12 (bookworm)";
    f.verNum = "6.1.0 18-amd64";
    f.windowTitles = {"Klango v1.50.17", "Klango", "", "Fehler"};
    support::OpenTableFacts t;
    t.area = 1;
    t.alias = "DMP3";
    t.current = true;
    t.recNo = 3;
    t.recCount = 123456;
    t.orders = {{"UPPER(GROUP)", "ROCK1", true}, {"UPPER(ALBUM)", "ROCK2", false}};
    f.tables = {t};
    f.memoryActual = 5000000;
    f.memoryHighest = 6000000;
    return f;
}

base::ErrorRecord fixedError() {
    base::ErrorRecord e;
    e.genCode = base::kErrOpen;
    e.osCode = 2;
    e.subsystem = "DBFNTX";
    e.subCode = 1001;
    e.description = "Open error";
    e.fileName = "/musik/B\xC3\xA4nder.dbf";
    e.operation = "use";
    e.args = std::vector<base::Value>{"rock",
                                      base::Value::ofNumber(12.5, 2),
                                      base::Value::ofDate({2026, 1, 2}),
                                      base::Value::ofLogical(true),
                                      base::Value::ofList({"a"}),
                                      base::Value()};
    e.canRetry = true;
    e.canDefault = true;
    return e;
}

}  // namespace

TEST(ErrorLog, LayoutLineByLine) {
    const std::string bytes = support::errorLogText(fixedError(), fixedFacts());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "\r\n\x1A");
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos) << "every line ends with CR LF";
    const std::vector<std::string> expected = {
        "Klango v1.50.17",
        "===============",
        "   Pfad und Name: /opt/klang\xF6/klango",
        "   Groesse: 12,345,678 Bytes",
        "   Max Datei-Handles verfuegbar: ( SetHandleCount() ) 1024",
        "   Zeitpunkt des Fehlers: 09.12.2026, 07:05:03",
        "   Fehlerbeschreibung: (DOS-Fehler 2) DBFNTX/1001  Open error: /musik/B\xE4nder.dbf",
        "   Args:",
        "     [   1] = C   rock",
        "     [   2] = N   12.50",
        "     [   3] = D   02.01.2026",
        "     [   4] = L   .t.",
        "     [   5] = A   { ... }",
        "     [   6] = U   ",
        "",
        "Stack Aufrufe",
        "=============",
        "   Aufgerufen von MP3TABLE(120)",
        "   Aufgerufen von MAIN(40)",
        "",
        "System-Informationen",
        "====================",
        "CPU Type: Intel(R) Core(TM) i5 ",
        "CPU Name: Intel(R) Core(TM) i5",
        "",
        "Hardware Speicher: ",
        "Total Physical: 1000 MB",
        "Verf\xFCgbar Physical: 2000 MB",
        "Total Auslagerung: 3000 MB",
        "Verf\xFCgbar Auslagerung: 4000 MB",
        "Total virtuell: 5000 MB",
        "Verf\xFCgbar virtuell: 6000 MB",
        "",
        "Betriebssystem: ",
        "MsDos Version: 156",
        "Windows Version: Debian GNU/Linux 12 (bookworm)",
        "Windows Versions-Nr.: 6.1.0 18-amd64",
        "",
        "Freie System Resourcen: % 0",
        "      GDI    Resourcen: % 0",
        "      User   Resourcen: % 0",
        "",
        "Anzahl laufender Windows-Applikationen:   0",
        "      1 Klango v1.50.17",
        "      2 Fehler",
        "",
        "Benutzte Variablen",
        "==================",
        "   Prozedur      Type    Wert",
        "   ==========================",
        "   MP3TABLE",
        "   MAIN",
        "",
        "Linked RDDs",
        "===========",
        "   DBFNTX",
        "",
        "Benutzte DataBanken",
        "===================",
        "",
        "  1: => DMP3" + std::string(11 + 20, ' ') + "RddName: DBFNTX",
        "     ==============================",
        "     Satznr.  RecCount    BOF   EOF",
        "        3      123456      .f.   .f.",
        "",
        "     Benutzte Indexe                        TagName",
        "        => UPPER(GROUP)                       ROCK1",
        "           UPPER(ALBUM)                       ROCK2",
        "",
        "     Benutzte Relationen",
        "",
        "Speicher-Analyse",
        "================",
        "   Static memory:",
        "      data segment: 64k",
        "      Initial size:       0 bytes  (SYMP=0, Stack=0, Heap=0)",
        "      Pcore Stack:      65535 bytes",
        "      0 Static variables: 0 bytes",
        "",
        "   Dynamic memory consume:",
        "      Actual  Value:    5000000 bytes",
        "      Highest Value:    6000000 bytes",
    };
    const std::vector<std::string> lines = support::logLines(bytes);
    for (size_t i = 0; i < std::max(lines.size(), expected.size()); ++i) {
        ASSERT_LT(i, lines.size()) << "missing line " << i + 1 << ": " << expected[i];
        ASSERT_LT(i, expected.size()) << "extra line " << i + 1 << ": " << lines[i];
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
}

TEST(ErrorLog, HeaderVariants) {
    struct Case {
        const char* name;
        bool hasArgs;
        bool emptyArgs;
        int os;
        const char* subsystem;
        std::optional<int> sub;
        int severity;
        uint64_t size;
        const char* line7;
        const char* line4;
    } cases[] = {
        {"no args",
         false,
         false,
         0,
         "",
         {},
         2,
         1234,
         "   Fehlerbeschreibung: Fehler ?\?\?/?\?\?  Open error: /musik/B\xE4nder.dbf",
         "   Groesse:     1,234 Bytes"},
        {"empty args",
         true,
         true,
         0,
         "",
         {},
         1,
         0,
         "   Fehlerbeschreibung: Warnung ?\?\?/?\?\?  Open error: /musik/B\xE4nder.dbf",
         "   Groesse:         0 Bytes"},
    };
    for (const Case& c : cases) {
        base::ErrorRecord e = fixedError();
        e.osCode = c.os;
        e.subsystem = c.subsystem;
        e.subCode = c.sub;
        e.severity = c.severity;
        if (!c.hasArgs) e.args.reset();
        if (c.emptyArgs) e.args = std::vector<base::Value>{};
        support::ErrorLogFacts f = fixedFacts();
        f.programSize = c.size;
        const auto lines = support::logLines(support::errorLogText(e, f));
        EXPECT_EQ(lines[3], c.line4) << c.name;
        EXPECT_EQ(lines[6], c.line7) << c.name;
        EXPECT_EQ(lines[7], c.hasArgs ? "   Args:" : "") << c.name;
        EXPECT_EQ(lines[8], c.hasArgs ? "" : "Stack Aufrufe") << c.name;
    }
    // No open table: the block keeps only its heading.
    support::ErrorLogFacts f = fixedFacts();
    f.tables.clear();
    const auto lines = support::logLines(support::errorLogText(fixedError(), f));
    auto heading = std::find(lines.begin(), lines.end(), "Benutzte DataBanken");
    ASSERT_NE(heading, lines.end());
    EXPECT_EQ(*(heading + 1), "===================");
    EXPECT_EQ(*(heading + 2), "");
    EXPECT_EQ(*(heading + 3), "Speicher-Analyse");
}

TEST(ErrorLog, CgetinfoRendersEveryKind) {
    const std::vector<std::pair<base::Value, std::string>> cases = {
        {"Text", "\"Text\""},
        {base::Value::ofNumber(42), "42"},
        {base::Value::ofNumber(-3.25, 2), "-3.25"},
        {base::Value::ofDate({2026, 12, 9}), "09.12.2026"},
        {base::Value::ofDate({}), "  .  .    "},
        {base::Value::ofLogical(false), ".f."},
        {base::Value::ofList({base::Value("x"), base::Value()}), "Len:    2"},
        {base::Value::ofCallback(), "{|| ... }"},
        {base::Value::ofObject("TSystemInfo"), "Class: TSystemInfo"},
        {base::Value(), ""},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(support::CGETINFO(value), text) << text;
}

TEST(ErrorLog, StackAndTitleRules) {
    std::vector<base::CallFrame> frames = {{"INNER", 7}, {"", 3}, {"OUTER", 12}};
    EXPECT_EQ(support::stackLines(frames), (std::vector<std::string>{"INNER(7)", "OUTER(12)"}));
    std::vector<base::CallFrame> deep(100, {"R", 1});
    EXPECT_EQ(support::stackLines(deep).size(), 72u) << "levels 2 to 73";
    // An empty title is listed only when it comes first.
    EXPECT_EQ(support::listedTitles({"", "Klango", "Klan", "Other"}),
              (std::vector<std::string>{"", "Klango", "Other"}));
}

TEST(ErrorLog, AFailedWriteLeavesThePreviousLogWhole) {
    test::TempHome home;
    const fs::path log = home.root() / "Error.log";
    ASSERT_TRUE(support::writeFileReplacing(log, "old\r\n\x1A"));
    fs::create_directory(home.root() / "Error.log.tmp");  // the temporary file cannot be made
    EXPECT_FALSE(support::writeFileReplacing(log, "new"));
    EXPECT_EQ(test::readFileBytes(log), "old\r\n\x1A");
}

TEST(ErrorDialog, ButtonsOrderAndDefault) {
    struct Case {
        bool retry, fallBack;
        std::vector<std::string> captions;
        size_t defaultButton;
    } cases[] = {
        {false, false, {"&Ende"}, 0},
        {true, true, {"&Wiederholen", "&Ende", "&Default"}, 1},
        {true, false, {"&Ende", "&Wiederholen"}, 1},
        {false, true, {"&Ende", "&Default"}, 1},
    };
    for (const Case& c : cases) {
        ErrorDialogModel m("x", {}, c.retry, c.fallBack);
        std::vector<std::string> captions;
        for (const auto& b : m.buttons()) captions.push_back(b.caption);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(m.defaultButton(), c.defaultButton);
    }
}

namespace {
struct Ended : std::runtime_error {
    int code;
    explicit Ended(int c) : std::runtime_error("ended"), code(c) {}
};
}  // namespace

TEST(ErrorDialog, SilentCasesAndResults) {
    test::TempHome home;
    const fs::path log = home.root() / "Error.log";
    struct Case {
        const char* name;
        int genCode, osCode;
        bool canRetry, canDefault;
        std::optional<ErrorDialogModel::Choice> press;  // none: closed without a button
        bool loopRunning;
        const char* outcome;  // "value0", "netErr", "retry", "default", "end"
        bool logWritten;
    } cases[] = {
        {"zero division", base::kErrZeroDiv, 0, false, true, {}, true, "value0", false},
        {"sharing", base::kErrOpen, base::kOsSharingViolation, true, true, {}, true, "netErr", false},
        {"access", base::kErrOpen, base::kOsAccessDenied, false, true, {}, true, "netErr", false},
        {"append lock", base::kErrAppendLock, 0, false, true, {}, true, "netErr", false},
        {"retry", base::kErrOpen, 2, true, true, ErrorDialogModel::Choice::Retry, true, "retry", true},
        {"default", base::kErrCreate, 0, true, true, ErrorDialogModel::Choice::Default, true, "default",
         true},
        {"end", base::kErrCreate, 0, true, true, ErrorDialogModel::Choice::End, true, "end", true},
        {"closed", base::kErrCreate, 0, true, true, {}, true, "end", true},
        {"retry before the loop", base::kErrCreate, 0, true, true, ErrorDialogModel::Choice::Retry, false,
         "end", true},
        {"default not offered", base::kErrWrite, 0, true, false, ErrorDialogModel::Choice::Default, true,
         "end", true},
        {"sharing without default", base::kErrOpen, base::kOsSharingViolation, true, false,
         ErrorDialogModel::Choice::Retry, true, "retry", true},
    };
    for (const Case& c : cases) {
        std::error_code ec;
        fs::remove(log, ec);
        base::setNetErr(false);
        ui::ScriptedUi ui;
        int facts = 0;
        support::ErrorSys sys(ui, {log,
                                   [&] {
                                       ++facts;
                                       return fixedFacts();
                                   },
                                   [&] { return c.loopRunning; }, [](int code) { throw Ended(code); }});
        std::string dialogStack;
        ui.expectDialog([&](ui::DialogModel& m) {
            auto& d = dynamic_cast<ErrorDialogModel&>(m);
            dialogStack = d.stack().empty() ? "" : d.stack().front();
            if (c.press) d.press(*c.press);
        });
        base::ErrorRecord e = fixedError();
        e.genCode = c.genCode;
        e.osCode = c.osCode;
        e.canRetry = c.canRetry;
        e.canDefault = c.canDefault;
        std::string outcome;
        try {
            base::ErrorAnswer a = sys.ERRORDIALOG(e);
            if (a.kind == base::ErrorAnswer::kValue)
                outcome = a.value == 0 ? "value0" : "value";
            else if (a.kind == base::ErrorAnswer::kRetry)
                outcome = "retry";
            else
                outcome = base::netErr() ? "netErr" : "default";
        } catch (const Ended& end) {
            outcome = end.code == 1 ? "end" : "end with code " + std::to_string(end.code);
        }
        EXPECT_EQ(outcome, c.outcome) << c.name;
        EXPECT_EQ(fs::exists(log), c.logWritten) << c.name;
        EXPECT_EQ(ui.calls().size(), c.logWritten ? 1u : 0u) << c.name;
        if (c.logWritten) {
            EXPECT_EQ(dialogStack, "MP3TABLE(120)") << c.name;
        }
    }
    base::setNetErr(false);
}

namespace {
// Runs body in a child process and returns its exit status.
int inChild(const std::function<void()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}
}  // namespace

TEST(CrashLog, ASignalOrAnErrorInsideTheHandlerWritesTheShortLog) {
    test::TempHome home;
    const fs::path log = home.root() / "Error.log";
    struct Case {
        const char* name;
        std::function<void()> fail;
        const char* reason;
    } cases[] = {
        {"SIGSEGV", [] { std::raise(SIGSEGV); }, "Signal SIGSEGV (Speicherzugriffsfehler)"},
        {"SIGFPE", [] { std::raise(SIGFPE); }, "Signal SIGFPE (Rechenfehler)"},
        {"error in the handler",
         [&] {
             ui::NullUi ui;
             // Gathering the facts raises the next error: the handler must not recurse.
             support::ErrorSys sys(ui, {log,
                                        [] {
                                            base::ErrorRecord inner;
                                            inner.genCode = base::kErrRead;
                                            base::raiseError(inner);
                                            return support::ErrorLogFacts{};
                                        },
                                        [] { return true; },
                                        {}});
             sys.install();
             base::ErrorRecord e;
             e.genCode = base::kErrWrite;
             base::raiseError(e);
         },
         "Fehler im Fehler-Handler"},
    };
    for (const Case& c : cases) {
        std::error_code ec;
        fs::remove(log, ec);
        const int status = inChild([&] {
            support::installCrashLog(log, "Klango v1.50.17");
            KLANGO_ROUTINE("MAIN");
            KLANGO_ROUTINE("MP3TABLE");
            c.fail();
        });
        ASSERT_TRUE(WIFEXITED(status)) << c.name;
        EXPECT_EQ(WEXITSTATUS(status), 1) << c.name;
        const auto lines = support::logLines(test::readFileBytes(log));
        ASSERT_GE(lines.size(), 7u) << c.name;
        EXPECT_EQ(lines[0], "Klango v1.50.17");
        EXPECT_EQ(lines[1], "===============");
        EXPECT_EQ(lines[2], std::string("   Fehlerbeschreibung: ") + c.reason);
        EXPECT_EQ(lines[4], "Stack Aufrufe");
        EXPECT_EQ(lines[6].rfind("   Aufgerufen von MP3TABLE(", 0), 0u) << lines[6];
        EXPECT_EQ(lines[7].rfind("   Aufgerufen von MAIN(", 0), 0u) << c.name;
        EXPECT_FALSE(fs::exists(home.root() / "Error.log.tmp"));
    }
}
