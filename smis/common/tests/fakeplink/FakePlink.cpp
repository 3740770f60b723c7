// A scripted stand-in for the SSH client and the array's command line behind
// it, for the command-line session tests.
//
// It accepts exactly the argument vector the session builds,
//   plink -P <port> -pwfile <file> <user>@<address>
// reads the password from the file, then plays the login dialogue and the
// array's replies as its script (file named by FAKE_PLINK_SCRIPT) says.
// Everything it sees goes to the log file named by FAKE_PLINK_LOG, one record
// per line: "PID <pid>", "ARG <argument>", "CMDLINE <own /proc cmdline, NULs as spaces>",
// "PASSWORD <ok|bad>", "ANSWER <line>", "CMD <command>", "EXIT".
//
// Script, one directive per line, run in order up to the first reply:
//   password <text>     the password expected from the file
//   banner <text>       a line before the prompt
//   hostkey             a host-key question as the real client asks it:
//                       bare line feeds, the last line without a line end
//   hostkey-crlf        the same question with CR LF line ends
//   silent-login        never show the prompt
//   chatter-login       print a line every 10 ms and never show the prompt
// then the replies, one per command received (after them: success):
//   reply <text>        \r \n \t \\ escapes; %E stands for the command echo
//   silent              no reply at all; wait until killed
//   close               end without replying

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <string>

namespace {

std::FILE* logFile = nullptr;

void logLine(const std::string& kind, const std::string& text)
{
    if (!logFile) return;
    std::fprintf(logFile, "%s %s\n", kind.c_str(), text.c_str());
    std::fflush(logFile);
}

void out(const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(1, text.data() + done, text.size() - done);
        if (n <= 0) std::exit(3);
        done += static_cast<std::size_t>(n);
    }
}

// One line of standard input without its line end; false at the end.
bool readLine(std::string& line)
{
    line.clear();
    char c;
    for (;;) {
        ssize_t n = ::read(0, &c, 1);
        if (n <= 0) return false;
        if (c == '\n') return true;
        if (c != '\r') line += c;
    }
}

std::string unescape(const std::string& text, const std::string& echo)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char e = text[++i];
            result += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
        } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'E') {
            result += echo;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

void hostKeyQuestion(const char* eol)
{
    std::string e = eol;
    out("The host key is not cached for this server:" + e + "  127.0.0.1 (port 22)" + e +
        "You have no guarantee that the server is the computer" + e + "you think it is." + e +
        "The server's ssh-ed25519 key fingerprint is:" + e + "  ssh-ed25519 255 SHA256:AAAA" + e +
        "If you trust this host, enter \"y\" to add the key to Plink's" + e +
        "cache and carry on connecting." + e + "If you want to carry on connecting just once, without" + e +
        "adding the key to the cache, enter \"n\"." + e +
        "If you do not trust this host, press Return to abandon the" + e + "connection." + e +
        "Store key in cache? (y/n, Return cancels connection, i for more info) ");
    std::string answer;
    if (!readLine(answer)) std::exit(4);
    logLine("ANSWER", answer);
    if (answer != "n") {
        out("Connection abandoned." + e);
        std::exit(5);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const char* logPath = std::getenv("FAKE_PLINK_LOG");
    if (logPath) logFile = std::fopen(logPath, "a");
    logLine("PID", std::to_string(::getpid()));
    for (int i = 0; i < argc; ++i) logLine("ARG", argv[i]);
    {
        std::ifstream self("/proc/self/cmdline", std::ios::binary);
        std::string cmdline((std::istreambuf_iterator<char>(self)), std::istreambuf_iterator<char>());
        for (char& c : cmdline)
            if (c == '\0') c = ' ';
        logLine("CMDLINE", cmdline);
    }
    if (argc != 6 || std::strcmp(argv[1], "-P") != 0 || std::strcmp(argv[3], "-pwfile") != 0 ||
        std::strchr(argv[5], '@') == nullptr || argv[2][0] == '\0' ||
        std::strspn(argv[2], "0123456789") != std::strlen(argv[2])) {
        out("plink: unexpected command line\r\n");
        return 2;
    }

    std::string password;
    {
        std::ifstream pwfile(argv[4]);
        std::getline(pwfile, password);
    }

    std::deque<std::string> script;
    if (const char* scriptPath = std::getenv("FAKE_PLINK_SCRIPT")) {
        std::ifstream in(scriptPath);
        std::string line;
        while (std::getline(in, line)) script.push_back(line);
    }

    auto word = [](const std::string& line) { return line.substr(0, line.find(' ')); };
    auto rest = [](const std::string& line) {
        std::size_t sp = line.find(' ');
        return sp == std::string::npos ? std::string() : line.substr(sp + 1);
    };

    // The login dialogue.
    while (!script.empty()) {
        const std::string& d = script.front();
        std::string w = word(d);
        if (w == "reply" || w == "silent" || w == "close") break;
        if (w == "password") {
            bool ok = rest(d) == password;
            logLine("PASSWORD", ok ? "ok" : "bad");
            if (!ok) {
                out("Access denied\r\n");
                return 6;
            }
        } else if (w == "banner") {
            out(rest(d) + "\r\n");
        } else if (w == "hostkey") {
            hostKeyQuestion("\n");
        } else if (w == "hostkey-crlf") {
            hostKeyQuestion("\r\n");
        } else if (w == "silent-login") {
            for (;;) ::pause();
        } else if (w == "chatter-login") {
            for (;;) {
                out("Still connecting...\r\n");
                ::usleep(10000);
            }
        }
        script.pop_front();
    }
    out("CLI> ");

    // The command line.
    std::string command;
    while (readLine(command)) {
        logLine("CMD", command);
        if (command == "exit") {
            logLine("EXIT", "");
            return 0;
        }
        std::string reply = "reply %E\\r\\n0\\r\\nCLI> ";
        if (!script.empty()) {
            reply = script.front();
            script.pop_front();
        }
        if (word(reply) == "silent") {
            for (;;) ::pause();
        }
        if (word(reply) == "close") return 0;
        out(unescape(rest(reply), command));
    }
    return 0;
}
