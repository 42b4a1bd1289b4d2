// The support mail: the sender dialog's checks, the text as mailed, a mail sent to a loopback
// SMTP server (through MAILSUPPORT and end to end through klango-cli), the refused login without
// TLS, and the user's own mail program when no account is set.
#include "support/support_mail.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/profile_file.h"
#include "platform/smtp_transport.h"
#include "platform/system_facts.h"
#include "shell/settings.h"
#include "shell/settings_keys.h"
#include "smtp_test_server.h"
#include "test_helpers/test_helpers.h"
#include "ui/scripted_ui.h"

namespace fs = std::filesystem;
using namespace klango;

namespace {

shell::Settings settingsWith(const test::TempHome& home, const std::string& mailSection) {
    test::writeFileBytes(home.root() / "KLANGO.INI", "[MailSupport]\r\n" + mailSection);
    base::clearProfileCache();
    return shell::Settings(shell::Settings::fileIn(home.root()));
}

const char* const kLog =
    "Klango v1.50.17\r\n"
    "===============\r\n"
    "   Pfad und Name: /home/hmeier/klango/klango\r\n"
    "   Fehlerbeschreibung: Fehler DBFNTX/1001  Open error: /home/hmeier/Musik/a.dbf\r\n"
    "Benutzer hmeier, nicht hmeiers\r\n"
    "Anzahl laufender Windows-Applikationen:   0\r\n"
    "      1 Klango v1.50.17\r\n"
    "      2 Kontoauszug - Bank\r\n"
    "\r\n"
    "Ende\r\n\x1A";

}  // namespace

TEST(SupportMail, SenderDialogChecksNameAndAddress) {
    struct Case {
        const char* name;
        const char* email;
        const char* refusal;  // empty: stored
    } cases[] = {
        {"Hans", "hans@example.org", "Falscher Name oder falsche Email-Adresse !"},
        {"Hans Meier", "hans.example.org", "Falscher Name oder falsche Email-Adresse !"},
        {"A B", "hans@example.org", "Sie m\xFCssen einen Namen und eine Email-Adresse eingeben !"},
        {"Hans Meier", "h@o", "Sie m\xFCssen einen Namen und eine Email-Adresse eingeben !"},
        {" Hans Meier ", "hans@example.org", ""},
    };
    for (const Case& c : cases) {
        test::TempHome home;
        const shell::Settings settings = settingsWith(home, "");
        ui::ScriptedUi ui;
        ui.expectDialog([&](ui::DialogModel& m) {
            auto& setup = dynamic_cast<support::MailSetupModel&>(m);
            EXPECT_EQ(setup.intro(),
                      "Klango v1.50.17 m\xF6"
                      "chte eine Email zum Thema 'Fehler' versenden.");
            setup.name = c.name;
            setup.email = c.email;
            if (!setup.save(ui)) setup.leave();
        });
        const bool stored = support::MAILSETUP(ui, settings, "Klango v1.50.17", "Fehler");
        EXPECT_EQ(stored, *c.refusal == 0) << c.name;
        const bool warned = ui.calls().size() == 2 && ui.calls()[1].find(c.refusal) != std::string::npos;
        EXPECT_EQ(warned, *c.refusal != 0) << c.name;
        EXPECT_EQ(settings.text(shell::keys::kMailName), stored ? "Hans Meier" : "") << c.name;
    }
}

TEST(SupportMail, MailedTextHidesHomeUserAndOtherWindows) {
    const std::string text = support::mailedText(kLog, "/home/hmeier", "hmeier");
    EXPECT_NE(text.find("   Pfad und Name: ~/klango/klango\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Open error: ~/Musik/a.dbf\r\n"), std::string::npos);
    EXPECT_NE(text.find("Benutzer <Benutzer>, nicht hmeiers\r\n"), std::string::npos);
    EXPECT_NE(text.find("Anzahl laufender Windows-Applikationen:   0\r\n\r\nEnde\r\n"), std::string::npos)
        << text;
    EXPECT_EQ(text.find("Kontoauszug"), std::string::npos);
}

TEST(SupportMail, SentToTheServerOrRefusedWithoutTls) {
    test::TempHome home;
    test::SmtpTestServer server(home.root());
    const fs::path log = home.root() / "Error.log";
    test::writeFileBytes(log, kLog);
    const std::string account =
        "Account=klango@example.org\r\nServer=127.0.0.1\r\nPort=" + std::to_string(server.port()) +
        "\r\nSendTo=support@example.org\r\n";
    support::MailEnvironment env;
    env.folder = home.root();
    env.release = "Klango v1.50.17";
    env.home = "/home/hmeier";
    env.userName = "hmeier";

    // Name set, no reply address: no dialog, the mail goes out without Reply-To.
    {
        const shell::Settings settings = settingsWith(home, account + "Name=Hans \"Hasi\" Meier\r\n");
        ui::ScriptedUi ui;
        ui.expectYesNo(true, "Internet-Verbindung");
        std::string preview;
        ui.expectDialog([&](ui::DialogModel& m) {
            auto& p = dynamic_cast<support::MailPreviewModel&>(m);
            preview = p.text();
            p.agree();
        });
        EXPECT_TRUE(support::MAILSUPPORT(ui, settings, env, "Programmfehler in Klango v1.50.17", log));
        EXPECT_TRUE(ui.unexpected().empty());
        EXPECT_NE(preview.find("~/klango/klango"), std::string::npos);
        EXPECT_EQ(preview.find("Kontoauszug"), std::string::npos);
        EXPECT_FALSE(fs::exists(home.root() / "SendMail.txt"));
        const std::string got = server.received();
        EXPECT_NE(got.find("MAIL FROM: klango@example.org\nRCPT TO: support@example.org\n"),
                  std::string::npos)
            << got;
        EXPECT_NE(got.find("From: \"Hans \\\"Hasi\\\" Meier\" <klango@example.org>\n"), std::string::npos)
            << got;
        EXPECT_NE(got.find("Subject: Programmfehler in Klango v1.50.17\n"), std::string::npos);
        EXPECT_EQ(got.find("Reply-To"), std::string::npos);
        EXPECT_NE(got.find("\n   Pfad und Name: ~/klango/klango\n   Fehlerbeschreibung:"), std::string::npos)
            << "body, not shown";
        EXPECT_NE(got.find("Benutzer <Benutzer>, nicht hmeiers\n"), std::string::npos) << got;
        EXPECT_EQ(got.find("Kontoauszug"), std::string::npos);
    }
    // With a password the login needs TLS, which this server does not offer: refused, and the
    // password appears nowhere.
    {
        const shell::Settings settings = settingsWith(
            home, account + "Password=Geheim!42\r\nName=Hans Meier\r\nReply=hans@example.org\r\n");
        ui::ScriptedUi ui;
        ui.expectYesNo(true, "Internet-Verbindung");
        ui.expectDialog([](ui::DialogModel& m) { dynamic_cast<support::MailPreviewModel&>(m).agree(); });
        const size_t before = server.received().size();
        EXPECT_FALSE(support::MAILSUPPORT(ui, settings, env, "Programmfehler", log));
        ASSERT_EQ(ui.calls().size(), 3u);
        EXPECT_NE(ui.calls()[2].find("Die Email konnte nicht versandt werden !\rFehlercode: 64\r"),
                  std::string::npos)
            << ui.calls()[2];
        for (const std::string& call : ui.calls()) EXPECT_EQ(call.find("Geheim"), std::string::npos) << call;
        EXPECT_EQ(server.received().size(), before);
        EXPECT_FALSE(fs::exists(home.root() / "SendMail.txt"));
    }
}

TEST(SupportMail, CliMailsTheLogEndToEndAndDeletesIt) {
    test::TempHome home;
    test::SmtpTestServer server(home.root());
    const platform::UserFacts user = platform::readUserFacts();
    test::writeFileBytes(home.root() / "Error.log",
                         "Klango v1.50.17\r\n   Pfad und Name: " + user.home + "/klango\r\n\x1A");
    settingsWith(home,
                 "Account=klango@example.org\r\nServer=127.0.0.1\r\nPort=" + std::to_string(server.port()) +
                     "\r\nName=Hans Meier\r\nReply=hans@example.org\r\n");
    const std::string cli = test::shellQuote(std::string(KLANGO_BINARY_DIR) + "/klango-cli") + " --home " +
                            test::shellQuote(home.root().string()) + " errorlog --mail";
    auto r = test::runCommand(cli);
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Betreff: Programmfehler in Klango v1.50.17"), std::string::npos)
        << "shown first";
    EXPECT_FALSE(fs::exists(home.root() / "Error.log"));
    const std::string got = server.received();
    EXPECT_NE(got.find("RCPT TO: support@klango.de\n"), std::string::npos) << got;
    EXPECT_NE(got.find("Reply-To: <hans@example.org>\n"), std::string::npos) << got;
    EXPECT_NE(got.find("   Pfad und Name: ~/klango\n"), std::string::npos) << got;

    // Without an account nothing is sent and the log stays.
    test::writeFileBytes(home.root() / "Error.log", "Klango\r\n\x1A");
    settingsWith(home, "Name=Hans Meier\r\n");
    auto none = test::runCommand(cli);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.output.find("kein Mail-Konto"), std::string::npos) << none.output;
    EXPECT_TRUE(fs::exists(home.root() / "Error.log"));
}

TEST(SupportMail, WithoutAnAccountTheUsersMailProgramIsOffered) {
    test::TempHome home;
    const fs::path log = home.root() / "Error.log";
    test::writeFileBytes(log, kLog);
    const shell::Settings settings = settingsWith(home, "Name=Hans Meier\r\nReply=hans@example.org\r\n");
    support::MailEnvironment env;
    env.folder = home.root();
    env.release = "Klango v1.50.17";
    env.home = "/home/hmeier";
    env.userName = "hmeier";
    std::string program;
    std::vector<std::string> args;
    env.startProgram = [&](const std::string& p, const std::vector<std::string>& a) {
        program = p;
        args = a;
        return true;
    };
    ui::ScriptedUi ui;
    ui.expectYesNo(true, "eigenen Mail-Programm");
    EXPECT_FALSE(support::MAILSUPPORT(ui, settings, env, "Programmfehler in Klango", log))
        << "not sent by us";
    EXPECT_EQ(program, "xdg-email");
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[1], "Programmfehler in Klango");
    EXPECT_EQ(args[2], "--attach");
    const std::string attached = test::readFileBytes(args[3]);
    EXPECT_NE(attached.find("~/klango/klango"), std::string::npos);
    EXPECT_EQ(attached.find("Kontoauszug"), std::string::npos);
    EXPECT_EQ(args[4], "support@klango.de");
    EXPECT_TRUE(fs::exists(log)) << "handed over is not sent";
    fs::remove_all(fs::path(args[3]).parent_path());
}

TEST(SupportMail, AServerThatNeverAnswersIsGivenUpAtTheTimeLimit) {
    // A listening socket that completes the connection but never greets.
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(s, 4), 0);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    platform::MailMessage m{"klango@example.org", "Hans Meier", "support@example.org", "", "Betreff", "Text"};
    const auto started = std::chrono::steady_clock::now();
    const platform::SmtpResult r = platform::sendSmtp({"127.0.0.1", ntohs(a.sin_port), "", ""}, m, 1);
    const auto took = std::chrono::steady_clock::now() - started;
    close(s);
    EXPECT_FALSE(r.sent());
    EXPECT_EQ(r.code, 28) << r.reason;  // the operation timed out
    EXPECT_LT(took, std::chrono::seconds(10));
}
