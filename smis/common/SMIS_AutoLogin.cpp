#include "SMIS_AutoLogin.h"

#include "SMIS_CLICommon.h"

namespace cimple {

SMIS_AutoLogin::SMIS_AutoLogin(SMIS_CLICommon* session, const char* user, const char* password)
    : _session(session), _result(SMIS_CLICommon::CLI_ERR_PARAMETER), _loggedIn(false)
{
    if (_session) {
        _result = _session->login(user, password);
        _loggedIn = _result == SMIS_CLICommon::CLI_OK;
    }
}

SMIS_AutoLogin::~SMIS_AutoLogin()
{
    if (_loggedIn && _session) _session->logoff();
}

}  // namespace cimple
