#include "support/support_mail.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "base/cp1252.h"
#include "platform/smtp_transport.h"
#include "shell/settings_keys.h"
#include "support/error_log.h"

namespace fs = std::filesystem;

namespace klango::support {
namespace {

constexpr const char* kBodyFile = "SendMail.txt";

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    if (in) out << in.rdbuf();
    return out.str();
}

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || static_cast<unsigned char>(c) >= 0x80;
}

// Replaces every occurrence of what that stands as a word of its own.
void replaceWord(std::string& text, const std::string& what, const std::string& by) {
    if (what.empty()) return;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
        const bool before = at > 0 && isWordChar(text[at - 1]);
        const bool after = at + what.size() < text.size() && isWordChar(text[at + what.size()]);
        if (before || after) {
            at += what.size();
            continue;
        }
        text.replace(at, what.size(), by);
        at += by.size();
    }
}

std::string stripEndByte(std::string text) {
    if (!text.empty() && text.back() == '\x1A') text.pop_back();
    return text;
}

}  // namespace

// ---- MAILSETUP ----

MailSetupModel::MailSetupModel(std::string release, std::string subject, std::string n, std::string e)
    : name(std::move(n)), email(std::move(e)), m_release(std::move(release)), m_subject(std::move(subject)) {
    name.resize(std::min(name.size(), kFieldLength));
    email.resize(std::min(email.size(), kFieldLength));
}

std::string MailSetupModel::intro() const {
    return m_release +
           " m\xF6"
           "chte eine Email zum Thema '" +
           m_subject + "' versenden.";
}

bool MailSetupModel::save(ui::Ui& ui) {
    const std::string_view n = base::trim(name), e = base::trim(email);
    if (n.find(' ') == std::string_view::npos || e.find('@') == std::string_view::npos) {
        ui.warning("Problem", "Falscher Name oder falsche Email-Adresse !");
        return false;
    }
    if (n.size() < 5 || e.size() < 5) {
        ui.warning("Problem", "Sie m\xFCssen einen Namen und eine Email-Adresse eingeben !");
        return false;
    }
    m_saved = true;
    requestClose();
    return true;
}

bool MAILSETUP(ui::Ui& ui, const shell::Settings& settings, const std::string& release,
               const std::string& subject) {
    MailSetupModel model(release, subject, settings.text(shell::keys::kMailName),
                         settings.text(shell::keys::kMailReply));
    ui.runDialog(model);
    if (!model.saved()) return false;
    return settings.write(shell::keys::kMailName, model.name) &&
           settings.write(shell::keys::kMailReply, model.email);
}

// ---- the mail module ----

void USmtpLibOpen() { platform::smtpLibraryOpen(); }
void USmtpLibClose() { platform::smtpLibraryClose(); }

MailResult USmtpCmdLineSendMail(const SendMailRequest& r) {
    std::error_code ec;
    if (!fs::exists(r.bodyFile, ec)) return {2, "Textdatei " + r.bodyFile + " fehlt"};
    platform::MailMessage m;
    m.from = base::cp1252ToUtf8(r.sender);
    m.fromName = base::cp1252ToUtf8(r.senderName);
    m.to = base::cp1252ToUtf8(r.recipient);
    m.replyTo = base::cp1252ToUtf8(r.replyTo);
    m.subject = base::cp1252ToUtf8(r.subject);
    m.body = base::cp1252ToUtf8(stripEndByte(readBytes(r.bodyFile)));
    platform::SmtpAccount account{r.server, r.port, r.user, r.password};
    const platform::SmtpResult sent = platform::sendSmtp(account, m);
    return {sent.code, sent.reason};
}

bool SENDMAIL(ui::Ui& ui, const SendMailRequest& request) {
    USmtpLibOpen();
    const MailResult result = USmtpCmdLineSendMail(request);
    USmtpLibClose();
    if (result.code == 0) return true;
    std::string text = "Die Email konnte nicht versandt werden !\rFehlercode: " + std::to_string(result.code);
    if (!result.reason.empty()) text += "\r" + base::utf8ToCp1252(result.reason);
    ui.warning("Problem", text);
    return false;
}

// ---- MAILSUPPORT ----

std::string mailedText(const std::string& logText, const std::string& home, const std::string& userName) {
    std::vector<std::string> lines = logLines(logText);
    std::string out;
    bool inTitles = false;
    for (const std::string& line : lines) {
        if (inTitles) {
            // "    " and a number right-aligned in 3, then the title of another program's window.
            if (line.size() >= 8 && line.compare(0, 4, "    ") == 0 && line[6] >= '0' && line[6] <= '9')
                continue;
            inTitles = false;
        }
        if (line.rfind("Anzahl laufender Windows-Applikationen:", 0) == 0) inTitles = true;
        out += line + "\r\n";
    }
    // The home folder first, so that a user name inside it goes with it.
    const std::string homeCp = base::utf8ToCp1252(home);
    if (homeCp.size() > 1) {
        for (size_t at = out.find(homeCp); at != std::string::npos; at = out.find(homeCp, at + 1)) {
            const size_t end = at + homeCp.size();
            if (end < out.size() && out[end] != '/' && isWordChar(out[end])) continue;
            out.replace(at, homeCp.size(), "~");
        }
    }
    replaceWord(out, base::utf8ToCp1252(userName), "<Benutzer>");
    return out;
}

bool MAILSUPPORT(ui::Ui& ui, const shell::Settings& settings, const MailEnvironment& env,
                 const std::string& subject, const fs::path& file, const std::string& givenName,
                 const std::string& givenReply) {
    namespace k = shell::keys;
    std::string name = settings.text(k::kMailName);
    std::string reply = settings.text(k::kMailReply);
    const std::string sendTo = settings.text(k::kMailSendTo);
    if (name.empty() && reply.empty() && !(givenName.empty() && givenReply.empty())) {
        name = givenName;
        reply = givenReply;
        settings.write(k::kMailName, name);
        settings.write(k::kMailReply, reply);
    }
    if (name.empty() && reply.empty()) {
        if (!MAILSETUP(ui, settings, env.release, subject)) {
            ui.warning("Problem", "Es kann keine Email ohne Absender versandt werden");
            return false;
        }
        name = settings.text(k::kMailName);
        reply = settings.text(k::kMailReply);
    }

    const std::string text = mailedText(readBytes(file), env.home, env.userName);
    const std::string account = settings.text(k::kMailAccount);
    const std::string server = settings.text(k::kMailServer);
    if (account.empty() || server.empty()) {
        // No account of our own: the user's mail program may send it.
        const bool offered =
            env.startProgram &&
            ui.yesNo("Email-Versand",
                     "F\xFCr den Versand ist kein Mail-Konto eingerichtet (KLANGO.INI, Abschnitt "
                     "MailSupport).\rM\xF6"
                     "chten Sie das Fehlerprotokoll mit Ihrem eigenen "
                     "Mail-Programm versenden ?",
                     false);
        if (!offered) {
            if (!env.startProgram)
                ui.warning("Problem", "Es ist kein Mail-Konto f\xFCr den Versand eingerichtet.");
            return false;
        }
        // The attachment is the text as mailed (home folder and user name hidden), in a file of
        // its own that the mail program may read whenever it sends.
        std::error_code ec;
        const fs::path attachment =
            fs::temp_directory_path(ec) / ("klango-" + std::to_string(::getpid())) / kErrorLogName;
        fs::create_directories(attachment.parent_path(), ec);
        if (ec || !writeFileReplacing(attachment, text + '\x1A') ||
            !env.startProgram("xdg-email", {"--subject", base::cp1252ToUtf8(subject), "--attach",
                                            attachment.string(), base::cp1252ToUtf8(sendTo)})) {
            ui.warning("Problem",
                       "Das Mail-Programm l\xE4sst sich nicht starten, und es ist kein Mail-Konto f\xFCr den "
                       "Versand eingerichtet.");
        }
        // Handed over is not sent: the log stays until the user deletes it.
        return false;
    }

    if (!ui.yesNo("Morvane - Mailversand", "Haben Sie eine Internet-Verbindung hergestellt ?", false))
        return false;

    const std::string preview = "Von: " + name + " <" + account + ">\r\nAn: " + sendTo +
                                "\r\nAntwort an: " + reply + "\r\nBetreff: " + subject + "\r\n\r\n" + text;
    bool agreed = false;
    if (env.confirm) {
        agreed = env.confirm(preview);
    } else {
        MailPreviewModel model(preview);
        ui.runDialog(model);
        agreed = model.agreed();
    }
    if (!agreed) return false;

    const fs::path body = env.folder / kBodyFile;
    if (!writeFileReplacing(body, text + '\x1A')) {
        ui.warning("Problem", "Die Datei SendMail.txt kann nicht geschrieben werden.");
        return false;
    }
    SendMailRequest request;
    request.sender = account;
    request.server = server;
    request.port = int(settings.number(k::kMailPort));
    if (request.port <= 0 || request.port > 65535) request.port = 587;
    request.recipient = sendTo;
    request.subject = subject;
    request.bodyFile = body.string();
    request.attachments = {std::string()};
    request.password = settings.text(k::kMailPassword);
    // A server that needs no login has no password.
    request.user = request.password.empty() ? std::string() : account;
    request.replyTo = reply;
    request.senderName = name;
    const bool sent = SENDMAIL(ui, request);
    std::error_code ec;
    fs::remove(body, ec);
    return sent;
}

}  // namespace klango::support
