#pragma once
// The three cache files of an array (cmf, ext, cps) and the building of a
// container from the array's configuration table reply.
//
// Files are read whole and checked (see SMIS_CMTCodec::decode) before any
// table is used; they are written to "<path>.tmp" and renamed over the path,
// so a reader never sees a half-written file and a failed write leaves the
// old file as it was. The per-array file mutexes are taken by the callers
// (the configuration table cache) around these calls.

#include <cstddef>
#include <cstdint>
#include <string>

#include "SMIS_CMT.h"

class SMIS_CMTFile {
public:
    // Status codes of the file operations.
    enum Status : int {
        OK = 0,
        NO_MEMORY = 2,
        OPEN_ERROR = 3,
        READ_ERROR = 4,   // also: a file whose sizes, counts or offsets do not fit its length
        WRITE_ERROR = 5,
        SEEK_ERROR = 6,
        UNLINK_ERROR = 7,
        RENAME_ERROR = 8,
        MUTEX_ERROR = 9,
        NOT_CONFIGURED = 10,
    };

    // File kinds: 1 cmf (configuration table), 2 ext (status table), 3 cps
    // (copy sessions); any other kind is treated as 2.
    static constexpr int KIND_CMF = 1;
    static constexpr int KIND_EXT = 2;
    static constexpr int KIND_CPS = 3;
    static const char* extension(int fileKind);

    // "<install>/data/<address>.<ext>", cut to 259 characters.
    static std::string defaultPath(const std::string& address, int fileKind);
    // Creates "<install>/data" when missing; false when it cannot be created.
    static bool makeDataDirectory();

    // Reads one file into a new container. A missing file gives OK and no
    // container; out is set only on success.
    static int ReadCMTFilePath(const std::string& path, SMIS_CMTPtr& out);

    // Writes the container (offsets recomputed) through "<path>.tmp" and a
    // rename. The container stays the caller's.
    static int WriteCMTFilePath(const std::string& path, SMIS_CMT& cmt);

    // Builds a container from the reply data of command 0x4024 (offsets taken
    // as they come, sub-indexes not followed). nullptr when the reply's
    // sizes, counts or offsets do not fit its length, or memory runs out.
    static SMIS_CMTPtr ConvertVPK2CMTFile(const std::uint8_t* reply, std::size_t length);

    // The first entry of the given id (low byte compared), or nullptr with a trace.
    static const SMIS_INDEX* GetIndexTable(const SMIS_CMT* cmt, unsigned tableId);

    // Largest file accepted by ReadCMTFilePath.
    static constexpr std::uint64_t MAX_FILE_SIZE = 1ull << 30;
};
