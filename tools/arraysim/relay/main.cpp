// arraysim-cli-relay: the forced command of the test sshd. sshd has already
// authenticated the user; this relays the session's standard input and output
// to one array's command line on the simulator's command-line socket.
//
//   arraysim-cli-relay <socket> <array index>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>

#include "CliClient.hpp"

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc != 3) {
        std::cerr << "usage: arraysim-cli-relay <socket> <array index>\n";
        return 2;
    }
    try {
        arraysim::CliClient client(argv[1]);
        const auto hello = client.request({{"op", "connect"}, {"array", std::stoul(argv[2])}});
        if (!hello.value("ok", false)) {
            std::cerr << "arraysim-cli-relay: " << hello.value("error", std::string("no such array")) << "\n";
            return 1;
        }
        const char* user = std::getenv("USER");
        const auto login = client.request({{"op", "login"}, {"user", user ? user : ""}, {"trusted", true}});
        if (!login.value("ok", false)) return 1;
        client.relay(0, 1);
    } catch (const std::exception& e) {
        std::cerr << "arraysim-cli-relay: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
