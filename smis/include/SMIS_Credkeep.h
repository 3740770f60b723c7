#pragma once
// The credential file <install>/credkeep.passwd: per array, the user name and
// password with which the command-line session logs in to the array.
//
// One record per line, "address,user,cipher\n". The cipher is the password
// encrypted with RC4 under the MD5 digest of the address followed by the user
// name, written as two upper-case hexadecimal digits per byte. A line that
// begins with '#' is a comment; a line that does not split into exactly three
// fields at ',' is ignored (and kept as it is when the file is rewritten).
//
// The machine-wide lock "Global\SMIS_CredkeepFile_Mutex" serialises the
// credential tool and the providers' process. Writers hold it around
// setCredkeep and showCredkeep themselves:
//
//   SMIS_Credkeep keep;
//   void* lock = keep.lockCredkeep();
//   if (lock) {
//       int rc = keep.setCredkeep(SMIS_Credkeep::CREDKEEP_ADD, address, user, password);
//       keep.unlockCredkeep(lock);
//   }
//
// Readers let getCredkeep take the lock: keep.getCredkeep(address, user, password, true).

#include "SMIS_AccessCom.h"

#include <cimple/String.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace cimple {

class SMIS_Credkeep : public SMIS_AccessCom {
public:
    // Results of every operation.
    enum Result : int {
        CREDKEEP_OK = 0,
        CREDKEEP_ERR_INIT = 1,         // key set-up failed
        CREDKEEP_ERR_ENCRYPT = 2,      // encryption failed, or a field cannot be stored
        CREDKEEP_ERR_DECRYPT = 3,      // decryption failed
        CREDKEEP_ERR_OPEN = 4,         // opening (or reading, or appending to) the file failed
        CREDKEEP_ERR_UNLINK = 5,       // deleting the old file failed (not produced: the
                                       // rewrite replaces the file with one rename)
        CREDKEEP_ERR_RENAME = 6,       // renaming the work file failed
        CREDKEEP_ERR_NOT_FOUND = 7,    // no record for the address, or no file
        CREDKEEP_ERR_TMP_OPEN = 8,     // creating or writing the work file failed
        CREDKEEP_ERR_LOCK = 9,         // the lock was not obtained
    };

    // The type argument of setCredkeep.
    enum Type : int {
        CREDKEEP_ADD = 1,
        CREDKEEP_REPLACE = 2,
        CREDKEEP_REMOVE = 3,
    };

    // Longest password stored; a longer one is cut to this many characters.
    static constexpr std::size_t MAX_PASSWORD = 255;

    static constexpr const char* MUTEX_NAME = "Global\\SMIS_CredkeepFile_Mutex";
    static constexpr const char* FILE_NAME = "credkeep.passwd";

    SMIS_Credkeep();
    ~SMIS_Credkeep();
    SMIS_Credkeep(const SMIS_Credkeep&) = delete;
    SMIS_Credkeep& operator=(const SMIS_Credkeep&) = delete;

    // Finds the first record of storage and sets user and the decrypted
    // password. With lock the call takes and gives back the file lock itself.
    // 0 found; 7 no record (or no file); 4 the file cannot be opened or read;
    // 1 or 3 the password cannot be decrypted; 9 the lock was not obtained.
    int getCredkeep(const String& storage, String& user,
                    String& password, bool lock);

    // type 1 appends a record, 2 replaces the first record of storage (the
    // file is rewritten unchanged when there is none), 3 removes the first
    // record of storage without decrypting it. The caller holds the lock.
    // 0 done; 1 or 2 the record cannot be made (2 also for a field that
    // holds ',' in the address or user name, a control character, or an
    // empty address or one beginning with '#'); 4 the file cannot be opened,
    // read or appended to; 8 the work file cannot be made or written; 6 the
    // work file cannot take the file's name. A failed rewrite leaves the
    // file as it was.
    int setCredkeep(int type, const String& storage, const String& user,
                    const String& password);

    // Writes "address : user\n" to standard output for every record, in file
    // order. 0 done (also without a file); 4 the file cannot be opened or read.
    int showCredkeep();

    // True when text can be stored in a record field: no control character
    // (below 0x20, or 0x7F) and, unless commaAllowed, no ','. The address and
    // the user name must not hold ','; the password is stored as hexadecimal
    // text and may.
    static bool isStorableField(const std::string& text, bool commaAllowed);

    // Takes the file lock, waiting without time limit; the handle, or NULL
    // when the lock cannot be made.
    void* lockCredkeep();
    // Gives the lock back and clears the handle; a NULL handle is ignored.
    void unlockCredkeep(void*& handle);

private:
    std::string _getCredkeepPath() const;

    int _initCrypt(const std::string& storage, const std::string& user);
    void _termCrypt();
    int _encryptPasswd(const std::string& password, std::string& cipherHex);
    int _decryptPasswd(const std::string& cipherHex, std::string& password);
    static int _toDigit(char c);

    // Reads one whole line, without its line feed; false at the end of the file.
    static bool _fgets(std::FILE* file, std::string& line);
    static std::vector<std::string> _parseCSV(const std::string& line);
    // True when line is a record (not a comment, exactly three fields) whose
    // address is storage; an empty storage matches every record.
    static bool _StorageEqual(const std::string& storage, const std::string& line,
                              std::vector<std::string>& fields);

    int _readRecord(const std::string& storage, std::string& user, std::string& password);
    int _appendRecord(const std::string& path, const std::string& record);
    int _rewrite(int type, const std::string& path, const std::string& storage,
                 const std::string& record);
    void _logFileError(unsigned line, const char* format, int errorNumber, const std::string& path);

    std::uint8_t _key[16];
    bool _keyReady = false;
};

}  // namespace cimple
