#pragma once
// One session on an array's command line.
//
// The session starts the SSH client <install>/bin/plink as a child process
// whose standard input and output are pipes held by this object, logs in with
// the login stored for the array in the credential file, waits for the
// array's prompt "CLI> ", sends command lines and parses the reply lines into
// an SMIS_CLICMD. The client is started as
//
//   <install>/bin/plink -P <port> -pwfile /dev/fd/3 <user>@<address>
//
// and reads the password from descriptor 3, a pipe that only it holds, so the
// password never appears on a command line. Every wait for the client's
// output is bounded by the connection time-out of the configuration file;
// when it passes, the client is ended and the read fails.
//
// A session belongs to one thread. It is not copyable, and a session still
// logged in when it is destroyed logs off.
//
//   SMIS_CLI cli("10.0.0.1");
//   SMIS_AutoLogin guard(&cli, nullptr, nullptr);
//   if (guard.getResult() == 0 || guard.getResult() == SMIS_CLICommon::CLI_ALREADY_LOGGED_IN) {
//       SMIS_CLICMD cmd;
//       cmd.command = "delete volume -volume-number 3";
//       unsigned char rc = cli.execCLICmd(cmd);
//       ...
//   }

#include "SMIS_CLICMD.h"

#include <cimple/Array.h>
#include <cimple/String.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace smis::platform {
class ChildProcess;
}

namespace cimple {

class SMIS_CLICommon {
public:
    // Results of the session operations.
    static constexpr unsigned char CLI_OK = 0;
    static constexpr unsigned char CLI_ERR_CONNECT = 2;          // the client did not start
    static constexpr unsigned char CLI_ERR_SEND = 4;             // writing to the client failed
    static constexpr unsigned char CLI_ERR_RECV = 5;             // reading from the client failed; the client was ended
    static constexpr unsigned char CLI_ERR_NO_MEMORY = 6;
    static constexpr unsigned char CLI_ERR_PIPE = 7;             // making the pipes failed
    static constexpr unsigned char CLI_ERR_DUPLICATE = 8;
    static constexpr unsigned char CLI_ERR_CLOSE = 9;
    static constexpr unsigned char CLI_ERR_NO_USER = 10;         // no login stored for the array
    static constexpr unsigned char CLI_ALREADY_LOGGED_IN = 33;
    static constexpr unsigned char CLI_ERR_PARAMETER = 34;       // empty command, refused character or argument
    static constexpr unsigned char CLI_ERR_AUTH = 36;            // the login did not reach the prompt
    static constexpr unsigned char CLI_ERR_UNEXPECTED = 37;      // prompt or malformed line where a reply line was expected

    static constexpr const char* PROMPT = "CLI> ";
    // Descriptor number under which the client reads its password.
    static constexpr int PASSWORD_FD = 3;
    // Most sends of one command while the array answers busy.
    static constexpr int BUSY_SENDS = 10;
    static constexpr unsigned BUSY_WAIT_MS = 1000;
    static constexpr unsigned EXIT_WAIT_MS = 60000;
    // How long a client that failed a read or the login may take to end.
    static constexpr unsigned END_GRACE_MS = 200;
    // Longest line taken from the client; a longer one fails the read.
    static constexpr std::size_t MAX_LINE = 64 * 1024;

    // Binds the session to the array and reads its command-line port and
    // stored login (both empty when there is no record).
    explicit SMIS_CLICommon(const String& storageAddress);
    virtual ~SMIS_CLICommon();
    SMIS_CLICommon(const SMIS_CLICommon&) = delete;
    SMIS_CLICommon& operator=(const SMIS_CLICommon&) = delete;

    // Starts the client and logs in; null arguments take the stored login.
    // 0 logged in, 33 already logged in, else a failure result.
    unsigned char login(const char* user, const char* password);
    // Sends "exit", waits for the client to end (killing it after the exit
    // wait) and marks the session logged off. Always 0.
    unsigned char logoff();
    bool isLoggedIn() const { return _loggedIn; }

    // Runs one command, retrying while the array answers busy; 0 with the
    // status in cmd, or a failure result.
    unsigned char execCLICmd(SMIS_CLICMD& cmd);

    // Line-level reads for the command builders.
    unsigned char recvLineData(String& line);
    unsigned char recvLine(String& line, bool& isPrompt);
    unsigned char skipToPrompt();
    // Splits at every TAB; empty fields are kept.
    static void parseTSV(const String& line, Array<String>& fields);
    // Reads a whole hexadecimal line (1 to 8 digits, nothing else) into value.
    // 0, or 37 ("The unexpected error occurred.") for anything else.
    static unsigned char hexToDigit(const char* text, long& value);
    // A zero-filled block, or null (a request of zero bytes is logged).
    static char* allocMemory(int count, int size);
    static void freeMemory(char*& block);
    // Trace record at level 4 with up to six integer arguments.
    static void DBG_LOG_MSG(const char* fmt, long a = 0, long b = 0, long c = 0, long d = 0, long e = 0,
                            long f = 0);

    // True when the text may be sent as one command: not empty, no '?' and
    // no control character (which could end the line and start another).
    static bool isSendableCommand(const std::string& text);
    // True when the text may stand as one value of a command line or the
    // client's argument vector: not empty, no blank, no control character,
    // no '?', and not beginning with '-'.
    static bool isSafeToken(const std::string& text);

    // The client's argument vector for a login as user.
    std::vector<std::string> clientArguments(const std::string& user) const;

    String storageAddress() const { return String(_storageAddress.c_str()); }
    int cliPort() const { return _cliPort; }

    // Tuning for tests and callers with their own clocks: the wait between
    // busy retries, the bound of every read from the client, and how long
    // logoff waits for the client to end before killing it.
    using WaitFunction = std::function<void(unsigned milliseconds)>;
    void setBusyWait(WaitFunction wait) { _busyWait = std::move(wait); }
    void setReadTimeout(unsigned milliseconds) { _readTimeoutMs = milliseconds; }
    void setExitWait(unsigned milliseconds) { _exitWaitMs = milliseconds; }

protected:
    unsigned char sendCommand(const String& text);
    unsigned char recvCommand(SMIS_CLICMD& cmd);

private:
    unsigned char _login(const std::string& user, const std::string& password);
    unsigned char _recvLine(std::string& line, bool& isPrompt, bool answerQuestions);
    unsigned char _recvLineData(std::string& line);
    unsigned char _readByte(char& c);
    unsigned char _answerQuestion();
    unsigned char _readHexLine(long& value, const char* trace);
    void _exitProcess(unsigned waitMs);
    void _endAfterReadFailure();

    std::string _storageAddress;
    int _cliPort = 22;
    std::string _user;
    std::string _password;
    bool _loggedIn = false;
    std::unique_ptr<smis::platform::ChildProcess> _child;

    char _buffer[512];
    std::size_t _bufferPos = 0;
    std::size_t _bufferLen = 0;
    bool _questionAnswered = false;

    WaitFunction _busyWait;
    unsigned _readTimeoutMs = 0;
    unsigned _exitWaitMs = EXIT_WAIT_MS;
};

}  // namespace cimple
