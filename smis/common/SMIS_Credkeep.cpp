#include "SMIS_Credkeep.h"

#include "ErrorText.h"
#include "InstallDir.h"
#include "NamedMutexLock.h"
#include "Rc4Cipher.h"
#include "SMIS_TraceLog.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace cimple {

namespace {

// Longest cipher text read from a record: two digits per byte of the
// 255-character password, one more character is ignored.
constexpr std::size_t MAX_CIPHER_HEX = 511;

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file)
            std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Removes the work file unless it has been renamed into place.
class WorkFileGuard {
public:
    explicit WorkFileGuard(std::string path) : _path(std::move(path)) {}
    ~WorkFileGuard()
    {
        if (!_kept)
            ::unlink(_path.c_str());
    }
    void keep() { _kept = true; }

private:
    std::string _path;
    bool _kept = false;
};

// The text of the most recent OpenSSL error, or of errno when there is none.
std::string cryptoErrorText()
{
    const unsigned long code = ERR_get_error();
    if (code == 0)
        return smis::platform::ErrorText::message(errno);
    char text[256] = {};
    ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return text;
}

std::string toStd(const String& text)
{
    return std::string(text.c_str(), text.size());
}

String fromStd(const std::string& text)
{
    return String(text.c_str(), text.size());
}

// Flushes a directory so that a rename inside it survives a crash; a failure
// only weakens that guarantee and is not reported.
void syncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes the whole buffer to a descriptor; false with errno set on failure.
bool writeAll(int fd, const char* data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

SMIS_Credkeep::SMIS_Credkeep()
{
    std::memset(_key, 0, sizeof _key);
}

SMIS_Credkeep::~SMIS_Credkeep()
{
    _termCrypt();
}

bool SMIS_Credkeep::isStorableField(const std::string& text, bool commaAllowed)
{
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            return false;
        if (c == ',' && !commaAllowed)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Lock

void* SMIS_Credkeep::lockCredkeep()
{
    // A null handle whenever the mutex is not held, so that no caller works
    // on the file while another process may be writing it.
    try {
        return new smis::platform::NamedMutexLock(MUTEX_NAME);
    } catch (const std::exception& e) {
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "wait mutex error(%s) - Failed(%s)",
                                     MUTEX_NAME, e.what());
        return nullptr;
    }
}

void SMIS_Credkeep::unlockCredkeep(void*& handle)
{
    if (!handle)
        return;
    delete static_cast<smis::platform::NamedMutexLock*>(handle);
    handle = nullptr;
}

// ---------------------------------------------------------------------------
// File format

std::string SMIS_Credkeep::_getCredkeepPath() const
{
    return smis::platform::InstallDir::file({FILE_NAME});
}

bool SMIS_Credkeep::_fgets(std::FILE* file, std::string& line)
{
    line.clear();
    int c;
    bool any = false;
    while ((c = std::getc(file)) != EOF) {
        any = true;
        if (c == '\n')
            return true;
        line.push_back(static_cast<char>(c));
    }
    return any;
}

std::vector<std::string> SMIS_Credkeep::_parseCSV(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

bool SMIS_Credkeep::_StorageEqual(const std::string& storage, const std::string& line,
                                  std::vector<std::string>& fields)
{
    if (!line.empty() && line[0] == '#')
        return false;
    fields = _parseCSV(line);
    if (fields.size() != 3)
        return false;
    return storage.empty() || fields[0] == storage;
}

void SMIS_Credkeep::_logFileError(unsigned line, const char* format, int errorNumber,
                                  const std::string& path)
{
    getLastErrorMsg(static_cast<unsigned long>(errorNumber));
    SMIS_TraceLog::peg_error_log(__FILE__, line, Logger::SEVERE, format, errorNumber, path.c_str());
}

// ---------------------------------------------------------------------------
// Cipher

int SMIS_Credkeep::_initCrypt(const std::string& storage, const std::string& user)
{
    _termCrypt();
    // The key is the MD5 digest of the address followed directly by the user name.
    const std::string keyText = storage + user;
    unsigned int length = 0;
    ERR_clear_error();
    if (EVP_Digest(keyText.data(), keyText.size(), _key, &length, EVP_md5(), nullptr) != 1 ||
        length != sizeof _key) {
        const std::string text = cryptoErrorText();
        getLastErrorMsg(EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "CryptHashData error(%s)",
                                     text.c_str());
        _termCrypt();
        return CREDKEEP_ERR_INIT;
    }
    _keyReady = true;
    return CREDKEEP_OK;
}

void SMIS_Credkeep::_termCrypt()
{
    OPENSSL_cleanse(_key, sizeof _key);
    _keyReady = false;
}

int SMIS_Credkeep::_toDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

int SMIS_Credkeep::_encryptPasswd(const std::string& password, std::string& cipherHex)
{
    std::uint8_t buffer[MAX_PASSWORD + 1] = {};
    const std::size_t length = std::min(password.size(), MAX_PASSWORD);
    std::memcpy(buffer, password.data(), length);

    Rc4Cipher cipher(_key, sizeof _key);
    if (!_keyReady || !cipher.apply(buffer, length)) {
        getLastErrorMsg(EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "CryptEncrypt error(%s)",
                                     lastErrorMsg());
        OPENSSL_cleanse(buffer, sizeof buffer);
        return CREDKEEP_ERR_ENCRYPT;
    }

    static const char digits[] = "0123456789ABCDEF";
    cipherHex.clear();
    cipherHex.reserve(length * 2);
    for (std::size_t n = 0; n < length; ++n) {
        cipherHex.push_back(digits[buffer[n] >> 4]);
        cipherHex.push_back(digits[buffer[n] & 0x0F]);
    }
    OPENSSL_cleanse(buffer, sizeof buffer);
    return CREDKEEP_OK;
}

int SMIS_Credkeep::_decryptPasswd(const std::string& cipherHex, std::string& password)
{
    // Pairs of hexadecimal digits (any other character counts as 0); an odd
    // last character is ignored. At most 255 bytes, so the buffer always
    // ends in a zero byte.
    std::uint8_t buffer[MAX_PASSWORD + 1] = {};
    const std::size_t length = std::min(cipherHex.size(), MAX_CIPHER_HEX) / 2;
    for (std::size_t n = 0; n < length; ++n)
        buffer[n] = static_cast<std::uint8_t>(_toDigit(cipherHex[2 * n]) * 16 + _toDigit(cipherHex[2 * n + 1]));

    Rc4Cipher cipher(_key, sizeof _key);
    if (!_keyReady || !cipher.apply(buffer, length)) {
        getLastErrorMsg(EINVAL);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "CryptDecrypt error(%s)",
                                     lastErrorMsg());
        OPENSSL_cleanse(buffer, sizeof buffer);
        return CREDKEEP_ERR_DECRYPT;
    }
    password.assign(reinterpret_cast<const char*>(buffer));
    OPENSSL_cleanse(buffer, sizeof buffer);
    return CREDKEEP_OK;
}

// ---------------------------------------------------------------------------
// Read

int SMIS_Credkeep::getCredkeep(const String& storage, String& user,
                               String& password, bool lock)
{
    void* handle = nullptr;
    if (lock) {
        handle = lockCredkeep();
        if (!handle)
            return CREDKEEP_ERR_LOCK;
    }
    int result;
    try {
        std::string foundUser;
        std::string foundPassword;
        result = _readRecord(toStd(storage), foundUser, foundPassword);
        if (result == CREDKEEP_OK) {
            user = fromStd(foundUser);
            password = fromStd(foundPassword);
        }
        OPENSSL_cleanse(foundPassword.data(), foundPassword.size());
    } catch (...) {
        getLastErrorMsg(ENOMEM);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "getCredkeep failed(%s)",
                                     lastErrorMsg());
        result = CREDKEEP_ERR_OPEN;
    }
    _termCrypt();
    unlockCredkeep(handle);
    return result;
}

int SMIS_Credkeep::_readRecord(const std::string& storage, std::string& user, std::string& password)
{
    const std::string path = _getCredkeepPath();
    FilePtr file(std::fopen(path.c_str(), "rbe"));
    if (!file) {
        const int err = errno;
        if (err == ENOENT)
            return CREDKEEP_ERR_NOT_FOUND;
        _logFileError(__LINE__, "File Open Error(%d):%s", err, path);
        return CREDKEEP_ERR_OPEN;
    }

    std::string line;
    std::vector<std::string> fields;
    while (_fgets(file.get(), line)) {
        if (!_StorageEqual(storage, line, fields))
            continue;
        // The record's own address: the same text as storage, unless storage
        // is empty and so matched the first record of any address.
        int result = _initCrypt(fields[0], fields[1]);
        if (result == CREDKEEP_OK)
            result = _decryptPasswd(fields[2], password);
        _termCrypt();
        if (result == CREDKEEP_OK)
            user = fields[1];
        return result;
    }
    if (std::ferror(file.get())) {
        _logFileError(__LINE__, "File read error(%d):%s", errno, path);
        return CREDKEEP_ERR_OPEN;
    }
    return CREDKEEP_ERR_NOT_FOUND;
}

int SMIS_Credkeep::showCredkeep()
{
    try {
        const std::string path = _getCredkeepPath();
        FilePtr file(std::fopen(path.c_str(), "rbe"));
        if (!file) {
            const int err = errno;
            if (err == ENOENT)
                return CREDKEEP_OK;
            _logFileError(__LINE__, "File Open Error(%d):%s", err, path);
            return CREDKEEP_ERR_OPEN;
        }
        std::string line;
        std::vector<std::string> fields;
        while (_fgets(file.get(), line)) {
            if (_StorageEqual(std::string(), line, fields))
                std::printf("%s : %s\n", fields[0].c_str(), fields[1].c_str());
        }
        std::fflush(stdout);
        if (std::ferror(file.get())) {
            _logFileError(__LINE__, "File read error(%d):%s", errno, path);
            return CREDKEEP_ERR_OPEN;
        }
        return CREDKEEP_OK;
    } catch (...) {
        getLastErrorMsg(ENOMEM);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "showCredkeep failed(%s)",
                                     lastErrorMsg());
        return CREDKEEP_ERR_OPEN;
    }
}

// ---------------------------------------------------------------------------
// Write

int SMIS_Credkeep::setCredkeep(int type, const String& storage, const String& user,
                               const String& password)
{
    try {
        if (type != CREDKEEP_ADD && type != CREDKEEP_REPLACE && type != CREDKEEP_REMOVE) {
            getLastErrorMsg(EINVAL);
            SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                         "setCredkeep invalid type(%d)", type);
            return CREDKEEP_ERR_OPEN;
        }
        const std::string address = toStd(storage);
        const std::string userName = toStd(user);
        const std::string secret = toStd(password);
        std::string record;
        if (type != CREDKEEP_REMOVE) {
            // A field that would break the line apart, or an address that
            // would turn the record into a comment, is refused: the record
            // could not be found again.
            if (address.empty() || address[0] == '#' || !isStorableField(address, false) ||
                !isStorableField(userName, false) || !isStorableField(secret, true)) {
                getLastErrorMsg(EINVAL);
                SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE,
                                             "Invalid record field(%s)", lastErrorMsg());
                return CREDKEEP_ERR_ENCRYPT;
            }
            std::string cipherHex;
            int result = _initCrypt(address, userName);
            if (result == CREDKEEP_OK)
                result = _encryptPasswd(secret, cipherHex);
            _termCrypt();
            if (result != CREDKEEP_OK)
                return result;
            record = address + "," + userName + "," + cipherHex + "\n";
        }

        const std::string path = _getCredkeepPath();
        if (type == CREDKEEP_ADD)
            return _appendRecord(path, record);
        return _rewrite(type, path, address, record);
    } catch (...) {
        _termCrypt();
        getLastErrorMsg(ENOMEM);
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "setCredkeep failed(%s)",
                                     lastErrorMsg());
        return CREDKEEP_ERR_OPEN;
    }
}

int SMIS_Credkeep::_appendRecord(const std::string& path, const std::string& record)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        _logFileError(__LINE__, "File Open Error(%d):%s", errno, path);
        return CREDKEEP_ERR_OPEN;
    }
    // The file holds passwords: readable by its owner only after every
    // write, whatever mode it had before (a file made by hand or by an
    // earlier version may be readable by all).
    ::fchmod(fd, 0600);

    // A last line without its line feed would run into the new record.
    std::string data = record;
    struct stat st {};
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 &&
        last != '\n')
        data.insert(data.begin(), '\n');

    if (!writeAll(fd, data.data(), data.size()) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        _logFileError(__LINE__, "File write error(%d):%s", err, path);
        return CREDKEEP_ERR_OPEN;
    }
    if (::close(fd) != 0) {
        _logFileError(__LINE__, "File write error(%d):%s", errno, path);
        return CREDKEEP_ERR_OPEN;
    }
    return CREDKEEP_OK;
}

int SMIS_Credkeep::_rewrite(int type, const std::string& path, const std::string& storage,
                            const std::string& record)
{
    FilePtr in(std::fopen(path.c_str(), "rbe"));
    if (!in) {
        _logFileError(__LINE__, "File Open Error(%d):%s", errno, path);
        return CREDKEEP_ERR_OPEN;
    }

    // The work file is made afresh (never one left behind, never through a
    // link) and readable by its owner only.
    const std::string workPath = path + ".tmp";
    ::unlink(workPath.c_str());
    const int fd = ::open(workPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        _logFileError(__LINE__, "File Open Error(%d):%s", errno, workPath);
        return CREDKEEP_ERR_TMP_OPEN;
    }
    WorkFileGuard guard(workPath);

    // Every line is copied as read plus a line feed, except the first record
    // of the address: replace puts the new record in its place, remove drops it.
    std::string out;
    std::string line;
    std::vector<std::string> fields;
    bool matched = false;
    while (_fgets(in.get(), line)) {
        if (!matched && _StorageEqual(storage, line, fields)) {
            matched = true;
            if (type == CREDKEEP_REPLACE)
                out += record;
            continue;
        }
        out += line;
        out += '\n';
    }
    if (std::ferror(in.get())) {
        const int err = errno;
        ::close(fd);
        _logFileError(__LINE__, "File read error(%d):%s", err, path);
        return CREDKEEP_ERR_OPEN;
    }
    in.reset();

    if (!writeAll(fd, out.data(), out.size()) || ::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        _logFileError(__LINE__, "File write error(%d):%s", err, workPath);
        return CREDKEEP_ERR_TMP_OPEN;
    }
    if (::close(fd) != 0) {
        _logFileError(__LINE__, "File write error(%d):%s", errno, workPath);
        return CREDKEEP_ERR_TMP_OPEN;
    }

    // One rename replaces the old file: at every moment the file holds either
    // all the old records or all the new ones.
    if (::rename(workPath.c_str(), path.c_str()) != 0) {
        const int err = errno;
        getLastErrorMsg(static_cast<unsigned long>(err));
        SMIS_TraceLog::peg_error_log(__FILE__, __LINE__, Logger::SEVERE, "File rename error(%d)", err);
        return CREDKEEP_ERR_RENAME;
    }
    guard.keep();
    syncDirectoryOf(path);
    return CREDKEEP_OK;
}

}  // namespace cimple
