#pragma once
// One command exchange on the array's command line: the command text and the
// status record parsed from the array's reply (SMIS_CLICommon::execCLICmd).

#include <cimple/String.h>

namespace cimple {

struct SMIS_CLICMD {
    // cmdStatus values and the busy message number.
    static constexpr int STATUS_OK = 0;
    static constexpr int STATUS_ERROR_DETAIL = 1;  // errOption (and maybe errParameter) follow
    static constexpr int STATUS_BUSY = 2;          // with errMsgNum MSG_BUSY
    static constexpr int MSG_BUSY = 0x60;

    String command;            // command text, without line end
    int cmdStatus = 0;         // 0 success, 1 error with details, other values error
    int errMsgNum = 0;         // the array's message number
    String errOption;
    String errParameter;
};

}  // namespace cimple
