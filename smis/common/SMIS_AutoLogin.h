#pragma once
// Scope guard that logs a command-line session in for one command and logs
// it off afterwards, but only when it performed the login itself: a session
// that was already open (login result 33) is used and left open.
//
//   SMIS_AutoLogin guard(&cli, nullptr, nullptr);
//   unsigned char rc = guard.getResult();
//   if (rc != 0 && rc != SMIS_CLICommon::CLI_ALREADY_LOGGED_IN) return rc;

namespace cimple {

class SMIS_CLICommon;

class SMIS_AutoLogin {
public:
    // Logs the session in with user and password (null: the stored login).
    SMIS_AutoLogin(SMIS_CLICommon* session, const char* user, const char* password);
    ~SMIS_AutoLogin();
    SMIS_AutoLogin(const SMIS_AutoLogin&) = delete;
    SMIS_AutoLogin& operator=(const SMIS_AutoLogin&) = delete;

    unsigned char getResult() const { return _result; }

private:
    SMIS_CLICommon* _session;
    unsigned char _result;
    bool _loggedIn;
};

}  // namespace cimple
