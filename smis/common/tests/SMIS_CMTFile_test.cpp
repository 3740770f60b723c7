// Cache files: paths, missing files, byte-exact rewrite, corrupt and
// truncated files, and the temporary-file-and-rename write.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CMTBuilder.h"
#include "LogCapture.h"
#include "SMIS_CMTFile.h"
#include "TempInstallDir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

smis::test::CMTBuilder sampleTable() {
    smis::test::CMTBuilder b;
    b.cm(0x01001000).Status(1).ModuleId(0x10);
    b.olu(3).Status(0).OlbaCount(4096).Name("VOL3");
    b.host(7).ValidFlag(1).Name("host7");
    return b;
}

TEST(SMIS_CMTFile, PathsFollowTheInstallDirectoryAndTheKind) {
    smis::test::TempInstallDir dir;
    EXPECT_EQ(SMIS_CMTFile::defaultPath("10.0.0.1", 1), dir.path() + "/data/10.0.0.1.cmf");
    EXPECT_EQ(SMIS_CMTFile::defaultPath("10.0.0.1", 2), dir.path() + "/data/10.0.0.1.ext");
    EXPECT_EQ(SMIS_CMTFile::defaultPath("10.0.0.1", 3), dir.path() + "/data/10.0.0.1.cps");
    EXPECT_EQ(SMIS_CMTFile::defaultPath("10.0.0.1", 9), dir.path() + "/data/10.0.0.1.ext");
    EXPECT_EQ(SMIS_CMTFile::defaultPath(std::string(400, 'a'), 1).size(), 259u);
}

TEST(SMIS_CMTFile, MissingFileIsNoErrorAndNoContainer) {
    smis::test::TempInstallDir dir;
    SMIS_CMTPtr out = std::make_unique<SMIS_CMT>();
    EXPECT_EQ(SMIS_CMTFile::ReadCMTFilePath(dir.file("data/none.cmf"), out), SMIS_CMTFile::OK);
    EXPECT_EQ(out, nullptr);
}

TEST(SMIS_CMTFile, WrittenFileReadsBackAndRewritesToTheSameBytes) {
    smis::test::TempInstallDir dir;
    smis::test::CMTBuilder b = sampleTable();
    const std::string path = b.installCmf("10.0.0.1");
    const Bytes written = readBytes(path);
    EXPECT_EQ(written, b.bytes());
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    SMIS_CMTPtr cmt;
    ASSERT_EQ(SMIS_CMTFile::ReadCMTFilePath(path, cmt), SMIS_CMTFile::OK);
    ASSERT_NE(cmt, nullptr);
    const std::string again = dir.file("data/again.cmf");
    ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(again, *cmt), SMIS_CMTFile::OK);
    EXPECT_EQ(readBytes(again), written);
}

TEST(SMIS_CMTFile, CorruptOrTruncatedFilesAreRefused) {
    smis::test::TempInstallDir dir;
    const Bytes good = sampleTable().bytes();
    const std::string path = dir.file("data/bad.cmf");
    std::vector<std::pair<std::string, Bytes>> cases;
    for (std::size_t cut : {std::size_t(0), std::size_t(8), std::size_t(16), std::size_t(40), good.size() - 1})
        cases.emplace_back("cut at " + std::to_string(cut), Bytes(good.begin(), good.begin() + cut));
    Bytes bigCount = good;
    bigCount[1] = 0xFF;  // 255 tables announced
    cases.emplace_back("table count too large", bigCount);
    Bytes badOffset = good;
    badOffset[16 + 12 + 3] = 0x7F;  // first table's offset far beyond the file
    cases.emplace_back("offset beyond the file", badOffset);

    smis::test::LogCapture logs;
    for (const auto& [name, bytes] : cases) {
        writeBytes(path, bytes);
        SMIS_CMTPtr out;
        EXPECT_EQ(SMIS_CMTFile::ReadCMTFilePath(path, out), SMIS_CMTFile::READ_ERROR) << name;
        EXPECT_EQ(out, nullptr) << name;
    }
    EXPECT_TRUE(logs.hasLog("File read error"));
}

TEST(SMIS_CMTFile, WriteFailuresLeaveNoTemporaryFile) {
    smis::test::TempInstallDir dir;
    SMIS_CMT cmt = sampleTable().container();
    EXPECT_EQ(SMIS_CMTFile::WriteCMTFilePath(dir.file("nowhere/x.cmf"), cmt), SMIS_CMTFile::OPEN_ERROR);

    // A directory in place of the file: the rename fails, the temporary file
    // goes, and what was at the path stays.
    const std::string path = dir.file("data/dir.cmf");
    fs::create_directories(path + "/inside");
    EXPECT_EQ(SMIS_CMTFile::WriteCMTFilePath(path, cmt), SMIS_CMTFile::RENAME_ERROR);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_TRUE(fs::is_directory(path + "/inside"));
}

TEST(SMIS_CMTFile, ReplacingAFileKeepsTheOldOneUntilTheNewOneIsComplete) {
    smis::test::TempInstallDir dir;
    const std::string path = sampleTable().installCmf("10.0.0.2");
    smis::test::CMTBuilder other;
    other.cm(0x01001100).Status(1);
    SMIS_CMT cmt = other.container();
    ASSERT_EQ(SMIS_CMTFile::WriteCMTFilePath(path, cmt), SMIS_CMTFile::OK);
    EXPECT_EQ(readBytes(path), other.bytes());
}

TEST(SMIS_CMTFile, ReplyIsTakenWithItsOwnOffsetsOrRefused) {
    smis::test::CMTBuilder b = sampleTable();
    Bytes reply = b.bytes();
    SMIS_CMTPtr cmt = SMIS_CMTFile::ConvertVPK2CMTFile(reply.data(), reply.size());
    ASSERT_NE(cmt, nullptr);
    EXPECT_EQ(cmt->index.size(), b.container().index.size());
    EXPECT_NE(SMIS_CMTFile::GetIndexTable(cmt.get(), 0x0a), nullptr);
    EXPECT_EQ(SMIS_CMTFile::GetIndexTable(cmt.get(), 0x2e), nullptr);

    EXPECT_EQ(SMIS_CMTFile::ConvertVPK2CMTFile(reply.data(), reply.size() - 1), nullptr);
    EXPECT_EQ(SMIS_CMTFile::ConvertVPK2CMTFile(nullptr, 0), nullptr);
}

}  // namespace

namespace {

TEST(SMIS_CMTFile, DataDirectoryIsMadeWhenMissing) {
    smis::test::TempInstallDir dir;
    fs::remove_all(dir.file("data"));
    EXPECT_TRUE(SMIS_CMTFile::makeDataDirectory());
    EXPECT_TRUE(fs::is_directory(dir.file("data")));
    EXPECT_TRUE(SMIS_CMTFile::makeDataDirectory());
}

}  // namespace
