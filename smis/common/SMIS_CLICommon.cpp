#include "SMIS_CLICommon.h"

#include "ChildProcess.h"
#include "LockRegister.h"
#include "InstallDir.h"
#include "SMIS_AccessCom.h"
#include "SMIS_Credkeep.h"
#include "SMIS_EnvAccess.h"
#include "SMIS_RequestContext.h"
#include "SMIS_TraceLog.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include "String_Ops.h"

namespace cimple {

namespace {

#define CLI_LOG_SEVERE(...) SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, __VA_ARGS__)
#define CLI_TRACE(...) SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, __VA_ARGS__)

// Waits on the command-line client are cut into slices of this length, so
// that the server's stop ends them within one slice.
constexpr unsigned READ_SLICE_MS = 1000;

bool isControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

void wipe(std::string& text)
{
    std::fill(text.begin(), text.end(), '\0');
    text.clear();
}

bool endsWith(const std::string& text, const char* tail)
{
    std::size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

}  // namespace

SMIS_CLICommon::SMIS_CLICommon(const String& storageAddress)
    : _storageAddress(storageAddress.c_str())
{
    try {
        SMIS_EnvAccess* env = SMIS_EnvAccess::getInstance();
        _cliPort = env->getCLIPortNumber(_storageAddress);
        _readTimeoutMs = env->getConnectionTimeout() * 1000u;

        SMIS_Credkeep keep;
        String user;
        String password;
        if (keep.getCredkeep(storageAddress, user, password, true) == 0) {
            _user = user.c_str();
            _password = password.c_str();
        }
        // The framework text keeps its own copy; overwrite it before it is freed.
        if (password.size()) password.assign(std::string(password.size(), '\0').c_str(), password.size());
    } catch (...) {
        // A login that cannot be read stays empty; login then reports 10.
        wipe(_password);
        _user.clear();
    }
}

SMIS_CLICommon::~SMIS_CLICommon()
{
    try {
        if (_loggedIn) logoff();
    } catch (...) {
    }
    wipe(_password);
}

std::vector<std::string> SMIS_CLICommon::clientArguments(const std::string& user) const
{
    return {smis::platform::InstallDir::file({"bin", "plink"}),
            "-P",
            std::to_string(_cliPort),
            "-pwfile",
            "/dev/fd/" + std::to_string(PASSWORD_FD),
            user + "@" + _storageAddress};
}

bool SMIS_CLICommon::isSendableCommand(const std::string& text)
{
    if (text.empty()) return false;
    for (unsigned char c : text) {
        if (c == '?' || isControl(c)) return false;
    }
    return true;
}

bool SMIS_CLICommon::isSafeToken(const std::string& text)
{
    if (text.empty() || text[0] == '-') return false;
    for (unsigned char c : text) {
        if (c == ' ' || c == '?' || isControl(c)) return false;
    }
    return true;
}

unsigned char SMIS_CLICommon::login(const char* user, const char* password)
{
    try {
        if (_loggedIn) return CLI_ALREADY_LOGGED_IN;
        std::string loginUser = user ? user : _user;
        std::string loginPassword = password ? password : _password;
        unsigned char rc = _login(loginUser, loginPassword);
        wipe(loginPassword);
        return rc;
    } catch (const std::bad_alloc&) {
        CLI_LOG_SEVERE("Not enough memory.");
        _exitProcess(0);
        return CLI_ERR_NO_MEMORY;
    } catch (...) {
        _exitProcess(0);
        return CLI_ERR_CONNECT;
    }
}

unsigned char SMIS_CLICommon::_login(const std::string& user, const std::string& password)
{
    smis::platform::LockRegister::exchange("command-line login");
    if (user.empty() || password.empty()) {
        CLI_LOG_SEVERE("The CLI user is not set up.");
        return CLI_ERR_NO_USER;
    }
    // The user and the address form one argument of the client; neither may
    // pass for an option or hold a blank. The password is one line of a file.
    if (!isSafeToken(user) || user.find('@') != std::string::npos || !isSafeToken(_storageAddress)) {
        CLI_LOG_SEVERE("The specified parameter is invalid.");
        return CLI_ERR_PARAMETER;
    }
    for (unsigned char c : password) {
        if (isControl(c)) {
            CLI_LOG_SEVERE("The specified parameter is invalid.");
            return CLI_ERR_PARAMETER;
        }
    }

    // The password goes to the client through a pipe that it inherits as
    // descriptor 3; the whole line fits in the pipe's buffer, so it is written
    // before the client starts and the write end is closed at once.
    int pw[2];
    if (::pipe2(pw, O_CLOEXEC) != 0) {
        CLI_LOG_SEVERE("Pipe error occurred.");
        return CLI_ERR_PIPE;
    }
    struct ReadEnd {
        int fd;
        ~ReadEnd() { ::close(fd); }
    } readEnd{pw[0]};
    std::string line = password + "\n";
    ::fcntl(pw[1], F_SETFL, O_NONBLOCK);
    ssize_t written = ::write(pw[1], line.data(), line.size());
    wipe(line);
    ::close(pw[1]);
    if (written < 0 || static_cast<std::size_t>(written) != password.size() + 1) {
        CLI_LOG_SEVERE("Pipe error occurred.");
        return CLI_ERR_PIPE;
    }

    _child = std::make_unique<smis::platform::ChildProcess>();
    _bufferPos = _bufferLen = 0;
    _questionAnswered = false;
    int rc = _child->start(clientArguments(user), {{pw[0], PASSWORD_FD}});
    if (rc != 0) {
        smis::platform::ChildProcess::Stage stage = _child->stage();
        _child.reset();
        if (stage == smis::platform::ChildProcess::Stage::PIPE) {
            CLI_LOG_SEVERE("Pipe error occurred.");
            return CLI_ERR_PIPE;
        }
        CLI_LOG_SEVERE("CreateProcess error occurred.%d", rc);
        CLI_LOG_SEVERE("Connection error occurred.");
        return CLI_ERR_CONNECT;
    }

    // The whole login is bounded by the read time-out as well, so a client
    // that keeps talking without ever showing the prompt is ended too.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(_readTimeoutMs);
    for (;;) {
        std::string text;
        bool isPrompt = false;
        unsigned char r = _recvLine(text, isPrompt, true);
        if (r == CLI_OK && !isPrompt && std::chrono::steady_clock::now() > deadline) r = CLI_ERR_RECV;
        if (r != CLI_OK) {
            _exitProcess(END_GRACE_MS);
            CLI_LOG_SEVERE("Authentication error  occurred.");
            return CLI_ERR_AUTH;
        }
        if (isPrompt) break;
        CLI_TRACE("[SMIS-CLI]_isLoginNormal:%s\n", text.c_str());
    }
    _questionAnswered = false;
    _loggedIn = true;
    return CLI_OK;
}

unsigned char SMIS_CLICommon::logoff()
{
    if (!_loggedIn) return CLI_OK;
    if (_child) _child->writeInput("exit\r\n", 6);
    _exitProcess(_exitWaitMs);
    _loggedIn = false;
    return CLI_OK;
}

void SMIS_CLICommon::_exitProcess(unsigned waitMs)
{
    if (!_child) return;
    // Nothing more is written: the client sees the end of its input. What it
    // still writes is read and dropped until it closes its output, so that it
    // never blocks on a full pipe, all within the wait.
    _child->closeInput();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    auto left = [&deadline]() {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<long long>(0, ms.count()));
    };
    auto slice = [&left]() { return std::min(left(), static_cast<int>(READ_SLICE_MS)); };
    char drain[512];
    for (long n = 1; left() > 0 && (n > 0 || n == smis::platform::ChildProcess::READ_TIMEOUT) &&
                     !SMIS_RequestContext::stopping();)
        n = _child->readOutput(drain, sizeof drain, slice());
    _child->closeOutput();
    int status = 0;
    bool ended = false;
    while (!(ended = _child->waitExit(slice(), status)) && left() > 0 && !SMIS_RequestContext::stopping()) {
    }
    if (ended) {
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "WaitForSingleObject process exit(%d)", code);
    } else {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Timedout WaitForSingleObject,Terminate Thread");
        _child->kill();
    }
    _child.reset();
    _bufferPos = _bufferLen = 0;
}

void SMIS_CLICommon::_endAfterReadFailure()
{
    // The client ended or fell silent: nothing more can be exchanged with it.
    _exitProcess(END_GRACE_MS);
    _loggedIn = false;
}

unsigned char SMIS_CLICommon::_readByte(char& c)
{
    if (_bufferPos < _bufferLen) {
        c = _buffer[_bufferPos++];
        return CLI_OK;
    }
    if (!_child) return CLI_ERR_RECV;
    // Read in slices, so that the server's stop (the cancel event) ends a
    // wait on a silent client within one slice.
    long n = 0;
    unsigned waited = 0;
    do {
        if (SMIS_RequestContext::stopping()) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "Cancel Event");
            return CLI_ERR_RECV;
        }
        const unsigned slice = std::min(_readTimeoutMs - waited, READ_SLICE_MS);
        n = _child->readOutput(_buffer, sizeof _buffer, static_cast<int>(slice));
        waited += slice;
    } while (n == smis::platform::ChildProcess::READ_TIMEOUT && waited < _readTimeoutMs);
    if (n <= 0) {
        if (n == smis::platform::ChildProcess::READ_TIMEOUT)
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING,
                                   "No reply from the CLI client within %u ms.", _readTimeoutMs);
        return CLI_ERR_RECV;
    }
    _bufferPos = 0;
    _bufferLen = static_cast<std::size_t>(n);
    c = _buffer[_bufferPos++];
    return CLI_OK;
}

unsigned char SMIS_CLICommon::_answerQuestion()
{
    if (!_child || _child->writeInput("n\r\n", 3) != 0) {
        CLI_LOG_SEVERE("Data transmitting error occurred.");
        return CLI_ERR_SEND;
    }
    return CLI_OK;
}

unsigned char SMIS_CLICommon::recvLine(String& line, bool& isPrompt)
{
    try {
        std::string text;
        unsigned char rc = _recvLine(text, isPrompt, false);
        if (rc == CLI_ERR_RECV) _endAfterReadFailure();
        line.assign(text.data(), text.size());
        return rc;
    } catch (...) {
        CLI_LOG_SEVERE("Not enough memory.");
        _endAfterReadFailure();
        return CLI_ERR_RECV;
    }
}

// Collects one line of the client's output. CR is dropped; a line ends with
// CR LF, or, while logging in (answerQuestions), with any LF, because the
// client's own messages end with a bare LF. The prompt, which has no line
// end, is recognised by its five characters at the start of a line. While
// logging in, the client's host-key questions are answered "n" as soon as
// they are recognised: a line "connection." or "safe choice.", or the
// question text "... (y/n...) " that waits on the same line for the answer;
// one question gets one answer.
unsigned char SMIS_CLICommon::_recvLine(std::string& line, bool& isPrompt, bool answerQuestions)
{
    line.clear();
    isPrompt = false;
    bool afterCR = false;
    for (;;) {
        char c;
        unsigned char rc = _readByte(c);
        if (rc != CLI_OK) return rc;
        if (c == '\r') {
            afterCR = true;
            continue;
        }
        if (c == '\n') {
            if (!afterCR && !answerQuestions) continue;
            if (answerQuestions && (line == "connection." || line == "safe choice.")) {
                if (!_questionAnswered) {
                    rc = _answerQuestion();
                    if (rc != CLI_OK) return rc;
                }
                _questionAnswered = true;
            }
            return CLI_OK;
        }
        afterCR = false;
        if (line.size() >= MAX_LINE) {
            CLI_LOG_SEVERE("Data reception error occurred.");
            return CLI_ERR_RECV;
        }
        try {
            line += c;
        } catch (...) {
            CLI_LOG_SEVERE("Not enough memory.");
            return CLI_ERR_RECV;
        }
        if (line.size() == 5 && line == PROMPT) {
            isPrompt = true;
            return CLI_OK;
        }
        if (answerQuestions && c == ' ' && endsWith(line, ") ") && line.find("(y/n") != std::string::npos) {
            if (_questionAnswered) {
                _questionAnswered = false;  // already answered at its "connection." line
            } else {
                rc = _answerQuestion();
                if (rc != CLI_OK) return rc;
            }
            return CLI_OK;
        }
    }
}

unsigned char SMIS_CLICommon::recvLineData(String& line)
{
    std::string text;
    unsigned char rc = _recvLineData(text);
    line.assign(text.data(), text.size());
    return rc;
}

unsigned char SMIS_CLICommon::_recvLineData(std::string& line)
{
    bool isPrompt = false;
    unsigned char rc = _recvLine(line, isPrompt, false);
    if (rc == CLI_ERR_RECV) _endAfterReadFailure();
    if (rc != CLI_OK) {
        CLI_LOG_SEVERE("Data reception error occurred.");
        return rc;
    }
    if (isPrompt) {
        CLI_LOG_SEVERE("The unexpected error occurred.");
        return CLI_ERR_UNEXPECTED;
    }
    CLI_TRACE("[SMIS-CLI]recvLineData:%s\n", line.c_str());
    return CLI_OK;
}

unsigned char SMIS_CLICommon::skipToPrompt()
{
    for (;;) {
        std::string line;
        bool isPrompt = false;
        unsigned char rc = _recvLine(line, isPrompt, false);
        if (rc != CLI_OK) {
            if (rc == CLI_ERR_RECV) _endAfterReadFailure();
            CLI_LOG_SEVERE("Data reception error occurred.");
            return rc;
        }
        if (isPrompt) return CLI_OK;
        CLI_TRACE("[SMIS-CLI]skipToPrompt:%s\n", line.c_str());
    }
}

void SMIS_CLICommon::parseTSV(const String& line, Array<String>& fields)
{
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t tab = line.find('\t', start);
        if (tab == npos) {
            fields.append(substring(line, start));
            return;
        }
        fields.append(substring(line, start, tab - start));
        start = tab + 1;
    }
}

unsigned char SMIS_CLICommon::hexToDigit(const char* textIn, long& value)
{
    value = 0;
    const std::string text = textIn ? textIn : "";
    if (text.empty() || text.size() > 8) {
        CLI_LOG_SEVERE("The unexpected error occurred.");
        return CLI_ERR_UNEXPECTED;
    }
    long result = 0;
    for (char ch : text) {
        int digit;
        if (ch >= '0' && ch <= '9') digit = ch - '0';
        else if (ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
        else {
            CLI_LOG_SEVERE("The unexpected error occurred.");
            return CLI_ERR_UNEXPECTED;
        }
        result = result * 16 + digit;
    }
    value = result;
    return CLI_OK;
}

char* SMIS_CLICommon::allocMemory(int count, int size)
{
    if (static_cast<long long>(count) * size == 0) {
        CLI_LOG_SEVERE("A memory acquisition demand of a zero byte.");
        return nullptr;
    }
    return static_cast<char*>(SMIS_AccessCom::allocMemory(count, size));
}

void SMIS_CLICommon::freeMemory(char*& block)
{
    SMIS_AccessCom::freeMemory(block);
    block = nullptr;
}

void SMIS_CLICommon::DBG_LOG_MSG(const char* fmt, long a, long b, long c, long d, long e, long f)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    if (fmt) SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, fmt, a, b, c, d, e, f);
#pragma GCC diagnostic pop
}

unsigned char SMIS_CLICommon::sendCommand(const String& text)
{
    CLI_TRACE("[SMIS-CLI]send:%s\n", text.c_str());
    smis::platform::LockRegister::exchange("command-line command");
    std::string line = std::string(text.c_str(), text.size()) + "\r\n";
    if (!_child || _child->writeInput(line.data(), line.size()) != 0) {
        CLI_LOG_SEVERE("Data transmitting error occurred.");
        return CLI_ERR_SEND;
    }
    return CLI_OK;
}

unsigned char SMIS_CLICommon::_readHexLine(long& value, const char* trace)
{
    std::string line;
    unsigned char rc = _recvLineData(line);
    if (rc != CLI_OK) return rc;
    rc = hexToDigit(line.c_str(), value);
    if (rc != CLI_OK) {
        // The rest of the reply is read so that the session stays usable.
        skipToPrompt();
        return rc;
    }
    CLI_TRACE(trace, static_cast<int>(value));
    return CLI_OK;
}

unsigned char SMIS_CLICommon::recvCommand(SMIS_CLICMD& cmd)
{
    cmd.cmdStatus = 0;
    cmd.errMsgNum = 0;
    cmd.errOption.clear();
    cmd.errParameter.clear();

    // The array echoes the command first, possibly wrapped over several lines.
    const std::string command(cmd.command.c_str(), cmd.command.size());
    std::string joined;
    while (joined != command) {
        std::string line;
        unsigned char rc = _recvLineData(line);
        if (rc != CLI_OK) {
            CLI_LOG_SEVERE("Command mismatch occurred.");
            return rc;
        }
        joined += line;
        if (command.compare(0, joined.size(), joined) != 0) {
            // Not the echo of this command: the reply cannot be trusted. The
            // rest of it is read so that the session stays usable.
            CLI_LOG_SEVERE("Command mismatch occurred.");
            skipToPrompt();
            return CLI_ERR_UNEXPECTED;
        }
    }

    long value = 0;
    unsigned char rc = _readHexLine(value, "[command]cmdStatus=%d\n");
    if (rc != CLI_OK) return rc;
    cmd.cmdStatus = static_cast<int>(value);
    if (cmd.cmdStatus == SMIS_CLICMD::STATUS_OK) return CLI_OK;

    rc = _readHexLine(value, "[SMIS-CLI]clicmd.errMsgNum=%d\n");
    if (rc != CLI_OK) return rc;
    cmd.errMsgNum = static_cast<int>(value);

    if (cmd.cmdStatus == SMIS_CLICMD::STATUS_ERROR_DETAIL) {
        rc = recvLineData(cmd.errOption);
        if (rc != CLI_OK) return rc;
        CLI_TRACE("[SMIS-CLI]clicmd.errOption=%s\n", cmd.errOption.c_str());
        long flag = 0;
        std::string flagLine;
        rc = _recvLineData(flagLine);
        if (rc != CLI_OK) return rc;
        rc = hexToDigit(flagLine.c_str(), flag);
        if (rc != CLI_OK) {
            skipToPrompt();
            return rc;
        }
        if (flag == 1) {
            rc = recvLineData(cmd.errParameter);
            if (rc != CLI_OK) return rc;
            CLI_TRACE("[SMIS-CLI]clicmd.errParameter=%s\n", cmd.errParameter.c_str());
        }
    }
    return skipToPrompt();
}

unsigned char SMIS_CLICommon::execCLICmd(SMIS_CLICMD& cmd)
{
    try {
        if (!isSendableCommand(std::string(cmd.command.c_str(), cmd.command.size()))) return CLI_ERR_PARAMETER;
        for (int send = 1;; ++send) {
            unsigned char rc = sendCommand(cmd.command);
            if (rc != CLI_OK) return rc;
            rc = recvCommand(cmd);
            if (rc != CLI_OK) return rc;
            bool busy = cmd.cmdStatus == SMIS_CLICMD::STATUS_BUSY && cmd.errMsgNum == SMIS_CLICMD::MSG_BUSY;
            if (!busy || send >= BUSY_SENDS) return CLI_OK;
            if (_busyWait) _busyWait(BUSY_WAIT_MS);
            else std::this_thread::sleep_for(std::chrono::milliseconds(BUSY_WAIT_MS));
        }
    } catch (const std::bad_alloc&) {
        CLI_LOG_SEVERE("Not enough memory.");
        return CLI_ERR_NO_MEMORY;
    } catch (...) {
        return CLI_ERR_RECV;
    }
}

}  // namespace cimple
