#include "platform/smtp_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace klango::platform {
namespace {

std::string oneLine(std::string_view value) {
    std::string out;
    for (char c : value) out += (c == '\r' || c == '\n') ? ' ' : c;
    return out;
}

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::string base64(std::string_view in) {
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        unsigned n = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += abc[n >> 18 & 63], out += abc[n >> 12 & 63], out += abc[n >> 6 & 63], out += abc[n & 63];
    }
    if (i + 1 == in.size()) {
        unsigned n = (unsigned char)in[i] << 16;
        out += abc[n >> 18 & 63], out += abc[n >> 12 & 63], out += "==";
    } else if (i + 2 == in.size()) {
        unsigned n = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += abc[n >> 18 & 63], out += abc[n >> 12 & 63], out += abc[n >> 6 & 63], out += '=';
    }
    return out;
}

// A header word: as it is when ASCII, else an encoded word (RFC 2047).
std::string headerWord(std::string_view text) {
    std::string line = oneLine(text);
    return isAscii(line) ? line : "=?UTF-8?B?" + base64(line) + "?=";
}

std::string displayName(std::string_view name) {
    std::string line = oneLine(name);
    if (!isAscii(line)) return headerWord(line);
    std::string quoted = "\"";
    for (char c : line) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string rfc2822Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S +0000", &tm);
    return buf;
}

struct Upload {
    std::string data;
    size_t pos = 0;
};

size_t readUpload(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    size_t n = std::min(size * count, up->data.size() - up->pos);
    std::memcpy(buffer, up->data.data() + up->pos, n);
    up->pos += n;
    return n;
}

}  // namespace

std::string mimeText(const MailMessage& m, const std::string& date) {
    std::string out;
    out += "Date: " + date + "\r\n";
    out += "From: " + displayName(m.fromName) + " <" + oneLine(m.from) + ">\r\n";
    out += "To: <" + oneLine(m.to) + ">\r\n";
    if (!m.replyTo.empty()) out += "Reply-To: <" + oneLine(m.replyTo) + ">\r\n";
    out += "Subject: " + headerWord(m.subject) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\n";
    out += "Content-Transfer-Encoding: 8bit\r\n";
    out += "\r\n";
    // Every line break becomes CR LF, whatever the text had.
    for (size_t i = 0; i < m.body.size(); ++i) {
        char c = m.body[i];
        if (c == '\r') {
            if (i + 1 < m.body.size() && m.body[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

void smtpLibraryOpen() { curl_global_init(CURL_GLOBAL_DEFAULT); }
void smtpLibraryClose() { curl_global_cleanup(); }

SmtpResult sendSmtp(const SmtpAccount& account, const MailMessage& message, int timeoutSeconds) {
    SmtpResult result;
    CURL* curl = curl_easy_init();
    if (!curl) return {int(CURLE_FAILED_INIT), "curl_easy_init failed"};
    const bool smtps = account.port == 465;
    const std::string url =
        std::string(smtps ? "smtps://" : "smtp://") + account.server + ":" + std::to_string(account.port);
    Upload upload{mimeText(message, rfc2822Now())};
    char error[CURL_ERROR_SIZE] = {};
    const std::string from = "<" + oneLine(message.from) + ">";
    curl_slist* recipients = curl_slist_append(nullptr, ("<" + oneLine(message.to) + ">").c_str());

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(timeoutSeconds));
    // A transfer that stalls for the time limit is given up.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(timeoutSeconds));
    if (!account.user.empty()) {
        // Credentials travel only inside TLS: without it the mail is refused before any login.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(curl, CURLOPT_USERNAME, account.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, account.password.c_str());
    } else {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    }
    const CURLcode rc = curl_easy_perform(curl);
    if (rc != CURLE_OK) {
        result.code = int(rc);
        result.reason = error[0] ? error : curl_easy_strerror(rc);
        // The reason must never carry the password, whatever the transport put in it.
        if (!account.password.empty()) {
            for (size_t at; (at = result.reason.find(account.password)) != std::string::npos;)
                result.reason.replace(at, account.password.size(), "***");
        }
    }
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    return result;
}

}  // namespace klango::platform
