// arraysim-plink: stands in for the SSH client in fast tests. It accepts
// exactly the command line the system starts its SSH client with,
//
//   plink -P <port> -pwfile <file> <user>@<address>
//
// asks the SSH client's host-key question on standard error (answered on
// standard input: "y" or "n" go on, anything else abandons), reads the
// password from the file's first line, and then relays standard input and
// output to the array that <address> (and <port> where arrays share an
// address) names on the simulator's command-line socket: the path in
// $ARRAYSIM_CLI_SOCKET, else the first line of "arraysim-plink.socket"
// beside this program.
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "CliClient.hpp"

namespace {

int fatal(const std::string& why) {
    std::cerr << "FATAL ERROR: " << why << "\n";
    return 1;
}

std::string socketPath(const char* argv0) {
    if (const char* env = std::getenv("ARRAYSIM_CLI_SOCKET"); env && *env) return env;
    std::string dir = argv0;
    const auto slash = dir.rfind('/');
    dir = slash == std::string::npos ? "." : dir.substr(0, slash);
    std::ifstream in(dir + "/arraysim-plink.socket");
    std::string path;
    std::getline(in, path);
    return path;
}

bool decimalPort(const std::string& s) {
    if (s.empty() || s.size() > 5 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    const auto v = std::stoul(s);
    return v >= 1 && v <= 65535;
}

// One line of standard input, read byte by byte so nothing after it is lost.
std::string answerLine() {
    std::string line;
    char c;
    while (::read(0, &c, 1) == 1 && c != '\n') line += c;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc != 6 || std::strcmp(argv[1], "-P") != 0 || !decimalPort(argv[2]) || std::strcmp(argv[3], "-pwfile") != 0 ||
        std::strchr(argv[5], '@') == nullptr) {
        std::cerr << "arraysim-plink: expected: -P <port> -pwfile <file> <user>@<address>\n";
        return 2;
    }
    const std::string target = argv[5];
    const auto at = target.rfind('@');
    const std::string user = target.substr(0, at), address = target.substr(at + 1);
    if (user.empty() || address.empty()) {
        std::cerr << "arraysim-plink: expected: -P <port> -pwfile <file> <user>@<address>\n";
        return 2;
    }
    std::string password;
    {
        std::ifstream pw(argv[4]);
        if (!pw) return fatal(std::string("Unable to open password file '") + argv[4] + "'");
        std::getline(pw, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
    }
    try {
        arraysim::CliClient client(socketPath(argv[0]));
        const auto hello = client.request({{"op", "connect"}, {"address", address}, {"port", std::stoi(argv[2])}});
        if (!hello.value("ok", false)) return fatal("Network error: " + hello.value("error", std::string("refused")));
        if (hello.value("host_key_question", false)) {
            // The SSH client's question about a host key it has not stored.
            std::cerr << "The host key is not cached for this server:\n"
                      << "  " << address << " (port " << argv[2] << ")\n"
                      << "You have no guarantee that the server is the computer you\n"
                      << "think it is.\n"
                      << "The server's ssh-ed25519 key fingerprint is:\n"
                      << "  " << hello.value("fingerprint", std::string{}) << "\n"
                      << "If you trust this host, enter \"y\" to add the key to Plink's\n"
                      << "cache and carry on connecting.\n"
                      << "If you want to carry on connecting just once, without adding\n"
                      << "the key to the cache, enter \"n\".\n"
                      << "If you do not trust this host, press Return to abandon the\n"
                      << "connection.\n"
                      << "Store key in cache? (y/n, Return cancels connection, i for more info) " << std::flush;
            const std::string answer = answerLine();
            if (answer != "y" && answer != "Y" && answer != "n" && answer != "N") {
                std::cerr << "Connection abandoned.\n";
                return 1;
            }
        }
        // What the SSH client reports on its way in, as it does against an
        // SSH server that gives no terminal.
        std::cerr << "Using username \"" << user << "\".\r\n" << std::flush;
        const auto login = client.request({{"op", "login"}, {"user", user}, {"password", password}});
        if (!login.value("ok", false)) {
            std::cerr << "Access denied\r\n";
            return fatal("Configured password was not accepted");
        }
        std::cerr << "Server refused to allocate pty\r\n" << std::flush;
        client.relay(0, 1);
    } catch (const std::exception& e) {
        return fatal(e.what());
    }
    return 0;
}
