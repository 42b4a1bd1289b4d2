// The support mail: MAILSUPPORT (the whole procedure), MAILSETUP (asks for the sender), SENDMAIL
// and the three calls of our mail module. The account, server and password come from the settings
// file, never from the program; the user sees the whole text before it is sent, with the home
// folder, the user name and other programs' window titles taken out. Called by the error-log
// review and by klango-cli.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "ui/dialog_model.h"
#include "ui/ui.h"

namespace klango::support {

// The dialog "EMail-Einstellungen": name and address of the sender.
class MailSetupModel : public ui::DialogModel {
  public:
    MailSetupModel(std::string release, std::string subject, std::string name, std::string email);
    std::string title() const override { return "EMail-Einstellungen"; }
    std::string helpTopic() const override { return "Email-Versand"; }

    std::string intro() const;  // CRELEASE " möchte eine Email zum Thema '...' versenden."
    static constexpr size_t kFieldLength = 100;
    std::string name, email;  // the edit fields (CP1252)

    // "&Speichern": checks the fields; a refusal is told through ui and the dialog stays. True
    // (and the dialog closes) when they are valid.
    bool save(ui::Ui& ui);
    // "&Beenden" or closing.
    void leave() { requestClose(); }
    bool saved() const { return m_saved; }

  private:
    std::string m_release, m_subject;
    bool m_saved = false;
};

// The whole text that would be sent, shown for the user's consent ("&Senden" / "&Abbrechen").
class MailPreviewModel : public ui::DialogModel {
  public:
    explicit MailPreviewModel(std::string text) : m_text(std::move(text)) {}
    std::string title() const override { return "Email-Versand"; }
    std::string helpTopic() const override { return "Email-Versand"; }
    const std::string& text() const { return m_text; }
    void agree() {
        m_agreed = true;
        requestClose();
    }
    void refuse() { requestClose(); }
    bool agreed() const { return m_agreed; }

  private:
    std::string m_text;
    bool m_agreed = false;
};

// What SENDMAIL hands to the mail module: values, never one joined command line.
struct SendMailRequest {
    std::string sender, server;
    int port = 587;
    std::string recipient, subject, bodyFile;
    std::vector<std::string> attachments;
    std::string user, password, replyTo, senderName;
};

struct MailResult {
    int code = 0;
    std::string reason;
};

// The three calls of our mail module, in the order of each mail: open, send, close.
void USmtpLibOpen();
MailResult USmtpCmdLineSendMail(const SendMailRequest& request);
void USmtpLibClose();

// True when the module reported 0; else the message with the code and the reason.
bool SENDMAIL(ui::Ui& ui, const SendMailRequest& request);

struct MailEnvironment {
    std::filesystem::path folder;  // the current (program) folder: "SendMail.txt" goes there
    std::string release;           // CRELEASE
    std::string home, userName;    // written as "~" and "<Benutzer>" in the mailed text
    // Starts the user's mail program (xdg-email) with arguments; false when it did not start.
    std::function<bool(const std::string& program, const std::vector<std::string>& args)> startProgram;
    // Shows the whole text for consent; empty: the preview dialog through the Ui.
    std::function<bool(const std::string& text)> confirm;
};

// The text as it is mailed: the home folder as "~", the user name as "<Benutzer>", the titles of
// other programs' windows left out. CP1252 in and out.
std::string mailedText(const std::string& logText, const std::string& home, const std::string& userName);

// MAILSUPPORT: sends the text of file (CP1252) with subject; true when it was sent.
bool MAILSUPPORT(ui::Ui& ui, const shell::Settings& settings, const MailEnvironment& env,
                 const std::string& subject, const std::filesystem::path& file, const std::string& name = {},
                 const std::string& reply = {});

// MAILSETUP: asks for the sender and stores it; true when valid data was stored.
bool MAILSETUP(ui::Ui& ui, const shell::Settings& settings, const std::string& release,
               const std::string& subject);

}  // namespace klango::support
