#pragma once
// The configuration commands of one array's command line.
//
// Every method checks its arguments (34 before any login when one is
// refused), writes the command line, logs in for it unless the object is
// already logged in (SMIS_AutoLogin), runs it with busy retries, reads back
// the number the array assigned where there is one, and maps the array's
// error to a one-byte result: 0 success; a login or session failure result
// (SMIS_CLICommon); 65 and above from the array's message number. Names and
// identifiers must be single tokens: no blank, no control character, no '?'
// and no leading '-'.
//
//   SMIS_CLI cli(address);
//   SMIS_OLU_INFO volume = {};
//   volume.oluNumber = 5; volume.rluNumber = 1; volume.sizeMB = 1024;
//   unsigned char rc = cli.createLogicalVolume(&volume, 1);
//   if (SMIS_CLI::isFatalError(rc)) ...

#include "CMM_ISCSI_HOST_INFO.h"
#include "CMM_REG_RLU_INFO.h"
#include "CMM_WT_LUN_MAP_LUN_OLU.h"
#include "SMIS_CLICommon.h"
#include "SMIS_HOST_WWN_INFO.h"
#include "SMIS_OLU_INFO.h"
#include "SMIS_REG_TPP_INFO.h"
#include "affinity_info.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cimple {

// Kind of host identifier of the host WWN commands.
enum IDType : int { IDTYPE_WWN = 2, IDTYPE_SAS = 6 };
// 1 normal; any other value plus.
enum SnapTirnMode : int { SNAPTIRN_NORMAL = 1, SNAPTIRN_PLUS = 2 };
// 2 force, 3 stop tracking; other values send no mode option.
enum StopMode : int { STOP_DEFAULT = 1, STOP_FORCE = 2, STOP_TRACKING = 3 };
// 1 normal, 2 force, 3 concurrent; other values send no mode option.
enum SuspendMode : int { SUSPEND_NORMAL = 1, SUSPEND_FORCE = 2, SUSPEND_CONCURRENT = 3 };

class SMIS_CLI : public SMIS_CLICommon {
public:
    // Message-number mapping results shared by every command.
    static constexpr unsigned char CLI_ERR_ARRAY = 65;   // the array refused the command
    static constexpr unsigned char CLI_ERR_BUSY = 66;    // still busy after every retry
    static constexpr unsigned char CLI_ERR_OTHER = 67;   // not mapped (status other than 1)

    static constexpr unsigned MAX_NUMBERS = 128;   // RAID groups, volumes, pools per command
    static constexpr unsigned MAX_PAIRS = 512;     // LUN pairs per command
    static constexpr unsigned MAX_HOSTS = 256;     // host entries per call

    // LU types of createLogicalVolume / expandLogicalVolume.
    static constexpr unsigned char LU_TYPE_OPEN = 1;
    static constexpr unsigned char LU_TYPE_TPV = 9;

    explicit SMIS_CLI(const String& storageAddress) : SMIS_CLICommon(storageAddress) {}
    ~SMIS_CLI() override = default;

    // True for results 1 to 32 and 34 to 63.
    static bool isFatalError(unsigned char result);

    unsigned char addRLU(const CMM_REG_RLU_INFO* info);
    unsigned char deleteRLU(const unsigned short* numbers, unsigned count);

    unsigned char createLogicalVolume(const SMIS_OLU_INFO* info, unsigned char type);
    unsigned char deleteLogicalVolume(const unsigned short* numbers, unsigned count);
    unsigned char expandLogicalVolume(const SMIS_OLU_INFO* info, unsigned char type);
    unsigned char setLogicalVolume(const SMIS_OLU_INFO* info);

    // On success the new pool's number is written to info->poolNumber.
    unsigned char createThinproPool(SMIS_REG_TPP_INFO* info);
    unsigned char deleteThinproPool(const unsigned short* numbers, unsigned count);
    unsigned char expandThinproPool(const SMIS_REG_TPP_INFO* info);

    // name: up to 16 characters, or null for none.
    unsigned char createAffinityGroup(unsigned short group, const unsigned char* name,
                                      const CMM_WT_LUN_MAP_LUN_OLU* entries, unsigned count);
    unsigned char setAffinityGroup(unsigned short group, const unsigned char* name,
                                   const CMM_WT_LUN_MAP_LUN_OLU* entries, unsigned count);
    // count 0 deletes the whole group.
    unsigned char deleteAffinityGroup(unsigned short group, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                      unsigned count);

    // p and q: the CA module id and port number bytes that form the port text.
    unsigned char setLUNMapping(unsigned char p, unsigned char q, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                unsigned count);
    unsigned char deleteLUNMapping(unsigned char p, unsigned char q, const CMM_WT_LUN_MAP_LUN_OLU* entries,
                                   unsigned count);

    // One command per entry in one session; stops at the first failure.
    unsigned char createHostWWNList(const SMIS_HOST_WWN_INFO* entries, unsigned count, IDType type);
    unsigned char deleteHostWWNList(const SMIS_HOST_WWN_INFO* entries, unsigned count, IDType type);
    unsigned char createiSCSIHostList(const CMM_ISCSI_HOST_INFO* entries, unsigned count);
    unsigned char deleteiSCSIHostList(const CMM_ISCSI_HOST_INFO* entries, unsigned count);

    unsigned char setHostAffinity(unsigned char p, unsigned char q, const affinity_info* entries, unsigned count);
    unsigned char deleteHostAffinity(unsigned char p, unsigned char q, const affinity_info* entries,
                                     unsigned count);

    // On success the new session's id is written to session.
    unsigned char startCopyTirn(unsigned short source, unsigned short target, unsigned short& session);
    unsigned char startCopySnapTirn(unsigned short source, unsigned short target, SnapTirnMode mode,
                                    unsigned short& session);
    unsigned char startCopyMirrex(unsigned short source, unsigned short target, unsigned short& session);
    unsigned char startCopyXmirrex(unsigned short source, const char* sourceBox, unsigned short target,
                                   const char* targetBox, unsigned short& session);
    unsigned char stopCopySession(unsigned short session, StopMode mode);
    unsigned char changeCopyMirrex(unsigned short session);
    unsigned char changeCopyXmirrex(unsigned short session);
    unsigned char suspendCopyMirrex(unsigned short session);
    unsigned char suspendCopyXmirrex(unsigned short session, SuspendMode mode);
    unsigned char resumeCopyMirrex(unsigned short session);
    unsigned char resumeCopyXmirrex(unsigned short session);

    // The port text of port bytes p and q ("%03d").
    static std::string portText(unsigned char p, unsigned char q);

    // One message number and the result it gives.
    struct ErrorMap {
        int errMsgNum;
        unsigned char result;
    };
    struct Mapping {
        const ErrorMap* entries;
        std::size_t count;
    };

private:
    unsigned char _commonErrorMapping(int errMsgNum) const;
    unsigned char _ownErrorMapping(const SMIS_CLICMD& cmd, Mapping own) const;
    void _logCLIError(const SMIS_CLICMD& cmd, unsigned char result) const;

    // Logs in (unless already logged in), runs one command and logs off again.
    unsigned char _runCommand(const std::string& text, Mapping own, unsigned short* readBack);
    // Runs one command in the open session and maps its outcome.
    unsigned char _exchange(const std::string& text, Mapping own, unsigned short* readBack);
    unsigned char _invalidParameter() const;
    template <typename Build>
    unsigned char _guarded(Build build);
    unsigned char _startCopy(const std::string& text, unsigned short& session);
};

}  // namespace cimple
