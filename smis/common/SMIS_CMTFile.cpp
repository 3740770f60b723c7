#include "SMIS_CMTFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "FileIO.h"
#include "InstallDir.h"
#include "SMIS_TraceLog.h"

namespace {

const char* codecText(SMIS_CMTCodec::Result r) {
    switch (r) {
        case SMIS_CMTCodec::Result::OK: return "ok";
        case SMIS_CMTCodec::Result::TRUNCATED: return "header or index beyond the data";
        case SMIS_CMTCodec::Result::BAD_OFFSET: return "table beyond the data";
        case SMIS_CMTCodec::Result::BAD_SUB_INDEX: return "sub-table beyond the data or bad sub-index size";
        case SMIS_CMTCodec::Result::NO_MEMORY: return "out of memory";
    }
    return "unknown";
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int close() {
        int rc = 0;
        if (fd_ >= 0) rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

}  // namespace

const char* SMIS_CMTFile::extension(int fileKind) {
    if (fileKind == KIND_CMF) return "cmf";
    if (fileKind == KIND_CPS) return "cps";
    return "ext";
}

std::string SMIS_CMTFile::defaultPath(const std::string& address, int fileKind) {
    std::string name = address + "." + extension(fileKind);
    std::string path = smis::platform::InstallDir::file({"data", name});
    if (path.size() > 259) path.resize(259);
    return path;
}

bool SMIS_CMTFile::makeDataDirectory() {
    std::error_code ec;
    std::filesystem::create_directories(smis::platform::InstallDir::file({"data"}), ec);
    if (!ec) return true;
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "Directory create error(%d)", ec.value());
    return false;
}

namespace {

int readFile(const std::string& path, SMIS_CMTPtr& out) {
    using S = SMIS_CMTFile;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "File is not exist");
            return S::OK;
        }
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File open error(%d)", errno);
        return S::OPEN_ERROR;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File seek error(%d)", errno);
        return S::SEEK_ERROR;
    }
    if (st.st_size < 0 || std::uint64_t(st.st_size) > S::MAX_FILE_SIZE) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File read error(%d)", EFBIG);
        return S::READ_ERROR;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        return S::NO_MEMORY;
    }
    int rc = smis::platform::FileIO::readAll(fd.get(), bytes.data(), bytes.size());
    if (rc != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File read error(%d)",
                               rc == smis::platform::FileIO::END_OF_FILE ? EIO : rc);
        return S::READ_ERROR;
    }
    SMIS_CMTPtr cmt;
    SMIS_CMTCodec::Result r = SMIS_CMTCodec::decode(bytes.data(), bytes.size(), true, cmt);
    if (r == SMIS_CMTCodec::Result::NO_MEMORY) return S::NO_MEMORY;
    if (r != SMIS_CMTCodec::Result::OK) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File read error(%d): %s: %s", EIO,
                               path.c_str(), codecText(r));
        return S::READ_ERROR;
    }
    out = std::move(cmt);
    return S::OK;
}

int writeFile(const std::string& path, SMIS_CMT& cmt) {
    using S = SMIS_CMTFile;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = SMIS_CMTCodec::encode(cmt);
    } catch (const std::bad_alloc&) {
        return S::NO_MEMORY;
    }
    const std::string tmp = path + ".tmp";
    Fd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File open error(%d)", errno);
        return S::OPEN_ERROR;
    }
    int rc = smis::platform::FileIO::writeAll(fd.get(), bytes.data(), bytes.size());
    if (rc == 0 && ::fsync(fd.get()) != 0) rc = errno;
    if (rc == 0 && fd.close() != 0) rc = errno;
    if (rc != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File write error(%d)", rc);
        fd.close();
        ::unlink(tmp.c_str());
        return S::WRITE_ERROR;
    }
    // rename replaces the old file in one step, so the old table stays in
    // place until the new one is complete.
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File rename error(%d)", errno);
        ::unlink(tmp.c_str());
        return S::RENAME_ERROR;
    }
    return S::OK;
}

}  // namespace

int SMIS_CMTFile::ReadCMTFilePath(const std::string& path, SMIS_CMTPtr& out) {
    out.reset();
    try {
        return readFile(path, out);
    } catch (const std::bad_alloc&) {
        out.reset();
        return NO_MEMORY;
    } catch (...) {
        out.reset();
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File read error(%d)", EIO);
        return READ_ERROR;
    }
}

int SMIS_CMTFile::WriteCMTFilePath(const std::string& path, SMIS_CMT& cmt) {
    try {
        return writeFile(path, cmt);
    } catch (const std::bad_alloc&) {
        return NO_MEMORY;
    } catch (...) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::WARNING, "File write error(%d)", EIO);
        return WRITE_ERROR;
    }
}

SMIS_CMTPtr SMIS_CMTFile::ConvertVPK2CMTFile(const std::uint8_t* reply, std::size_t length) try {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::INFORMATION, "SMIS_CMTAccess::ConvertVPK2CMTFile");
    SMIS_CMTPtr cmt;
    SMIS_CMTCodec::Result r = SMIS_CMTCodec::decode(reply, length, false, cmt);
    if (r != SMIS_CMTCodec::Result::OK) {
        SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE,
                               "Exception occurred in a setup of the index table.");
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "reply refused: %s", codecText(r));
        return nullptr;
    }
    SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "TableType=0x%x,TableCount=%d", cmt->TableType(),
                             cmt->TableCount());
    for (const SMIS_INDEX& e : cmt->index)
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4, "Id=0x%.2x,Count=%4d,Size=%5d,Offset=%8d",
                                 e.TableId, e.ElementCount, static_cast<int>(e.ElementSize),
                                 static_cast<int>(e.Offset));
    return cmt;
} catch (...) {
    SMIS_TraceLog::peg_log(__FILE__, __LINE__, Logger::SEVERE, "Exception occurred in a setup of the index table.");
    return nullptr;
}

const SMIS_INDEX* SMIS_CMTFile::GetIndexTable(const SMIS_CMT* cmt, unsigned tableId) {
    const SMIS_INDEX* e = cmt ? SMIS_CMTCodec::GetIndexTable(*cmt, tableId) : nullptr;
    if (!e)
        SMIS_TraceLog::peg_trace(__FILE__, __LINE__, Tracer::LEVEL4,
                                 "The table which matches TableID was not found.");
    return e;
}
