#pragma once
// A throw-away install directory for one test.
//
// The constructor makes a fresh directory under $TMPDIR (or /tmp) with the
// folders bin/, env/, data/, run/ and log/, and points SMIS_INSTALL_DIR at it;
// the destructor restores SMIS_INSTALL_DIR and removes the directory with
// everything in it.
//
//   smis::test::TempInstallDir dir;
//   dir.writeEnv({"MaxStorageIP=2", "StorageIP=10.0.0.1"});
//   ... code under test reads <dir.path()>/env/smis_env.inf

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace smis::test {

class TempInstallDir {
public:
    TempInstallDir();
    ~TempInstallDir();
    TempInstallDir(const TempInstallDir&) = delete;
    TempInstallDir& operator=(const TempInstallDir&) = delete;

    const std::string& path() const { return _path; }

    // path() + "/" + relative ("data/10.0.0.1.cmf").
    std::string file(std::string_view relative) const;

    // Writes env/smis_env.inf, one line each with "\n" after it, and forgets
    // the configuration this process has read so far, so that the next reader
    // sees the new file.
    void writeEnv(const std::vector<std::string>& lines) const;

    // Writes a file (folders below path() made as needed) with exactly these bytes.
    void writeFile(std::string_view relative, std::string_view content) const;

    // The whole content of a file; empty when it cannot be read.
    std::string readFile(std::string_view relative) const;

private:
    std::string _path;
    bool _hadPrevious = false;
    std::string _previous;
};

}  // namespace smis::test
