// Sends one mail by SMTP through libcurl: the message as values (never as a command line), the
// login only over TLS (SMTPS on port 465, else a STARTTLS the server must offer), time limits on
// connecting and on a stalled transfer. Used by the support mail; tests run it against a
// loopback server.
#pragma once

#include <string>

namespace klango::platform {

struct SmtpAccount {
    std::string server;  // host name
    int port = 587;
    std::string user;      // empty: the server needs no login
    std::string password;  // sent only over TLS
};

// Texts in UTF-8.
struct MailMessage {
    std::string from;  // the sender's address
    std::string fromName;
    std::string to;
    std::string replyTo;  // may be empty
    std::string subject;
    std::string body;
};

struct SmtpResult {
    int code = 0;        // 0: sent; else the transport's error code
    std::string reason;  // why it failed, for the user (English, as the transport says it)
    bool sent() const { return code == 0; }
};

inline constexpr int kSmtpTimeoutSeconds = 30;

SmtpResult sendSmtp(const SmtpAccount& account, const MailMessage& message,
                    int timeoutSeconds = kSmtpTimeoutSeconds);

// The message as it goes over the wire: headers (non-ASCII words encoded, line breaks in values
// removed so that no value can add a header) and the body with CR LF line ends.
std::string mimeText(const MailMessage& message, const std::string& date);

// The library's life around the sends (curl's global state).
void smtpLibraryOpen();
void smtpLibraryClose();

}  // namespace klango::platform
