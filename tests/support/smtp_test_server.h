// A loopback SMTP server for the mail tests: Debian's aiosmtpd run by the system Python, writing
// each mail's envelope and content to a file. Started by the test, stopped by its destructor.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "test_helpers/test_helpers.h"

namespace klango::test {

class SmtpTestServer {
  public:
    explicit SmtpTestServer(const std::filesystem::path& folder) : m_out(folder / "received.txt") {
        m_port = freePort();
        const std::filesystem::path script = folder / "smtp_server.py";
        writeFileBytes(script, R"PY(
import asyncio, sys
from aiosmtpd.controller import Controller

class Recorder:
    async def handle_DATA(self, server, session, envelope):
        with open(sys.argv[2], 'ab') as f:
            f.write(b'MAIL FROM: ' + envelope.mail_from.encode() + b'\n')
            for r in envelope.rcpt_tos:
                f.write(b'RCPT TO: ' + r.encode() + b'\n')
            f.write(envelope.original_content.replace(b'\r\n', b'\n'))
            f.write(b'\n.\n')
        return '250 OK'

controller = Controller(Recorder(), hostname='127.0.0.1', port=int(sys.argv[1]))
controller.start()
import time
while True:
    time.sleep(1)
)PY");
        m_pid = fork();
        if (m_pid == 0) {
            const std::string port = std::to_string(m_port);
            execl(KLANGO_SYSTEM_PYTHON, KLANGO_SYSTEM_PYTHON, script.c_str(), port.c_str(), m_out.c_str(),
                  nullptr);
            _exit(127);
        }
        for (int i = 0; i < 100 && !accepting(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~SmtpTestServer() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    int port() const { return m_port; }
    std::string received() const {
        std::error_code ec;
        return std::filesystem::exists(m_out, ec) ? readFileBytes(m_out) : std::string();
    }

  private:
    static int freePort() {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        close(s);
        return ntohs(a.sin_port);
    }
    bool accepting() const {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(uint16_t(m_port));
        const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(s);
        return ok;
    }

    std::filesystem::path m_out;
    int m_port = 0;
    pid_t m_pid = -1;
};

}  // namespace klango::test
