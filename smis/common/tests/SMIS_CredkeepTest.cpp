#include "SMIS_Credkeep.h"

#include "LogCapture.h"
#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using cimple::SMIS_Credkeep;
using cimple::String;

namespace {

constexpr const char* FILE_NAME = "credkeep.passwd";

class CredkeepTest : public ::testing::Test {
protected:
    int add(const char* storage, const char* user, const std::string& password)
    {
        return keep.setCredkeep(SMIS_Credkeep::CREDKEEP_ADD, String(storage), String(user),
                                String(password.c_str(), password.size()));
    }
    int replace(const char* storage, const char* user, const std::string& password)
    {
        return keep.setCredkeep(SMIS_Credkeep::CREDKEEP_REPLACE, String(storage), String(user),
                                String(password.c_str(), password.size()));
    }
    int remove(const char* storage)
    {
        return keep.setCredkeep(SMIS_Credkeep::CREDKEEP_REMOVE, String(storage), String(), String());
    }
    // Reads the record of storage; "user/password" when found.
    std::pair<int, std::string> get(const char* storage)
    {
        String user("unset");
        String password("unset");
        const int rc = keep.getCredkeep(String(storage), user, password, true);
        return {rc, std::string(user.c_str()) + "/" + password.c_str()};
    }
    std::string content() const { return dir.readFile(FILE_NAME); }
    unsigned mode() const
    {
        struct stat st {};
        if (::stat(dir.file(FILE_NAME).c_str(), &st) != 0)
            return 0;
        return st.st_mode & 07777;
    }

    smis::test::TempInstallDir dir;
    SMIS_Credkeep keep;
};

// Expected cipher texts computed outside this code base with the OpenSSL
// command line: MD5 of address+user as the RC4 key, applied to "P@ssw0rd".
TEST_F(CredkeepTest, StoresTheKnownCipherTextAndReadsItBackInEitherCase)
{
    ASSERT_EQ(0, add("192.168.0.10", "admin", "P@ssw0rd"));
    ASSERT_EQ(0, add("192.168.0.11", "admin", "P@ssw0rd"));
    EXPECT_EQ(content(), "192.168.0.10,admin,2E64A5C68E985157\n"
                         "192.168.0.11,admin,FEF46CC579C56D16\n");
    EXPECT_EQ(get("192.168.0.10"), std::make_pair(0, std::string("admin/P@ssw0rd")));
    EXPECT_EQ(get("192.168.0.11"), std::make_pair(0, std::string("admin/P@ssw0rd")));

    // Another user on the same array gives another key; lower-case digits and
    // an odd trailing character are read as well.
    dir.writeFile(FILE_NAME, "192.168.0.10,root,2B9D8537A4A18DAB\n"
                             "192.168.0.11,admin,fef46cc579c56d16F\n");
    EXPECT_EQ(get("192.168.0.10"), std::make_pair(0, std::string("root/P@ssw0rd")));
    EXPECT_EQ(get("192.168.0.11"), std::make_pair(0, std::string("admin/P@ssw0rd")));
}

TEST_F(CredkeepTest, LongPasswordsRoundTripWholeAndAreCutAt255)
{
    std::string p255;
    for (int n = 0; n < 255; ++n)
        p255.push_back(static_cast<char>('!' + n % 90));
    const std::string p300 = p255 + std::string(45, 'x');

    ASSERT_EQ(0, add("10.0.0.1", "admin", p255));
    ASSERT_EQ(0, add("10.0.0.2", "operator", p300));
    ASSERT_EQ(0, add("10.0.0.3", "third", "short"));
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, "admin/" + p255));
    EXPECT_EQ(get("10.0.0.2"), std::make_pair(0, "operator/" + p255));

    // Replacing the first long record keeps every line whole: three records
    // of which the two long ones hold 510 digits each.
    ASSERT_EQ(0, replace("10.0.0.1", "admin", p300));
    std::istringstream lines(content());
    std::vector<std::string> records;
    for (std::string line; std::getline(lines, line);)
        records.push_back(line);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].size(), std::string("10.0.0.1,admin,").size() + 510);
    EXPECT_EQ(records[1].size(), std::string("10.0.0.2,operator,").size() + 510);
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, "admin/" + p255));
    EXPECT_EQ(get("10.0.0.3"), std::make_pair(0, std::string("third/short")));
}

TEST_F(CredkeepTest, CommentsAndMalformedLinesNeverMatchAndSurviveRewrites)
{
    const std::string others = "# 10.0.0.1,admin,2E64A5C68E985157\n"
                               "not a record\n"
                               "10.0.0.1,too,many,fields\n"
                               "\n";
    dir.writeFile(FILE_NAME, others);
    EXPECT_EQ(get("10.0.0.1").first, SMIS_Credkeep::CREDKEEP_ERR_NOT_FOUND);
    EXPECT_EQ(get("# 10.0.0.1").first, SMIS_Credkeep::CREDKEEP_ERR_NOT_FOUND);

    ASSERT_EQ(0, add("10.0.0.1", "admin", "pw1"));
    ASSERT_EQ(0, add("10.0.0.2", "root", "pw2"));
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("admin/pw1")));

    testing::internal::CaptureStdout();
    EXPECT_EQ(0, keep.showCredkeep());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "10.0.0.1 : admin\n10.0.0.2 : root\n");

    ASSERT_EQ(0, remove("10.0.0.1"));
    ASSERT_EQ(0, replace("10.0.0.2", "root", "pw3"));
    EXPECT_EQ(content().substr(0, others.size()), others);
    EXPECT_EQ(get("10.0.0.2"), std::make_pair(0, std::string("root/pw3")));
    EXPECT_EQ(get("10.0.0.1").first, SMIS_Credkeep::CREDKEEP_ERR_NOT_FOUND);
}

TEST_F(CredkeepTest, TwoRecordsOfOneAddressAffectOnlyTheFirst)
{
    ASSERT_EQ(0, add("10.0.0.1", "first", "pw1"));
    ASSERT_EQ(0, add("10.0.0.2", "other", "pw2"));
    ASSERT_EQ(0, add("10.0.0.1", "second", "pw3"));
    const std::string before = content();
    const std::string secondLine = before.substr(before.rfind("10.0.0.1,second,"));

    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("first/pw1")));
    ASSERT_EQ(0, replace("10.0.0.1", "first", "new"));
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("first/new")));
    EXPECT_NE(content().find(secondLine), std::string::npos);

    ASSERT_EQ(0, remove("10.0.0.1"));
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("second/pw3")));
    EXPECT_EQ(get("10.0.0.2"), std::make_pair(0, std::string("other/pw2")));
}

TEST_F(CredkeepTest, ReplaceOrRemoveOfAMissingAddressRewritesTheFileUnchanged)
{
    // The last line has no line feed: a rewrite adds it, an add puts the new
    // record on a line of its own.
    dir.writeFile(FILE_NAME, "# logins\n10.0.0.1,admin,2E64");
    ASSERT_EQ(0, replace("10.9.9.9", "nobody", "pw"));
    ASSERT_EQ(0, remove("10.9.9.9"));
    EXPECT_EQ(content(), "# logins\n10.0.0.1,admin,2E64\n");

    dir.writeFile(FILE_NAME, "10.0.0.1,admin,2E64");
    ASSERT_EQ(0, add("10.0.0.2", "root", "pw"));
    EXPECT_EQ(get("10.0.0.2"), std::make_pair(0, std::string("root/pw")));
    EXPECT_EQ(content().substr(0, 20), "10.0.0.1,admin,2E64\n");
}

TEST_F(CredkeepTest, WithoutAFileReadAndListFindNothingAndRewritesFail)
{
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(int(SMIS_Credkeep::CREDKEEP_ERR_NOT_FOUND), std::string("unset/unset")));
    testing::internal::CaptureStdout();
    EXPECT_EQ(0, keep.showCredkeep());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    smis::test::LogCapture logs;
    EXPECT_EQ(replace("10.0.0.1", "admin", "pw"), SMIS_Credkeep::CREDKEEP_ERR_OPEN);
    EXPECT_EQ(remove("10.0.0.1"), SMIS_Credkeep::CREDKEEP_ERR_OPEN);
    EXPECT_TRUE(logs.hasLog(Pegasus::Logger::ERROR_LOG, "File Open Error(2):"));
    EXPECT_EQ(::access(dir.file(FILE_NAME).c_str(), F_OK), -1);
}

TEST_F(CredkeepTest, TheFileIsReadableByItsOwnerOnly)
{
    const mode_t old = ::umask(0);
    ASSERT_EQ(0, add("10.0.0.1", "admin", "pw"));
    EXPECT_EQ(mode(), 0600u);

    // A rewrite leaves a file of mode 0600 behind, also where the old one was wider.
    ::chmod(dir.file(FILE_NAME).c_str(), 0644);
    dir.writeFile("credkeep.passwd.tmp", "stale work file\n");
    ASSERT_EQ(0, replace("10.0.0.1", "admin", "pw2"));
    ::umask(old);
    EXPECT_EQ(mode(), 0600u);
    EXPECT_EQ(::access(dir.file("credkeep.passwd.tmp").c_str(), F_OK), -1);
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("admin/pw2")));

    // So does an append to a file that was wider.
    ::chmod(dir.file(FILE_NAME).c_str(), 0644);
    ASSERT_EQ(0, add("10.0.0.2", "admin", "pw"));
    EXPECT_EQ(mode(), 0600u);
}

TEST_F(CredkeepTest, AFailedRewriteLeavesTheFileAsItWas)
{
    ASSERT_EQ(0, add("10.0.0.1", "admin", "pw"));
    const std::string before = content();

    // The work file's name is taken by a directory that cannot be removed.
    dir.writeFile("credkeep.passwd.tmp/keep", "x");
    smis::test::LogCapture logs;
    EXPECT_EQ(replace("10.0.0.1", "admin", "other"), SMIS_Credkeep::CREDKEEP_ERR_TMP_OPEN);
    EXPECT_EQ(remove("10.0.0.1"), SMIS_Credkeep::CREDKEEP_ERR_TMP_OPEN);
    EXPECT_TRUE(logs.hasLog(Pegasus::Logger::ERROR_LOG, "File Open Error("));
    EXPECT_EQ(content(), before);
}

TEST_F(CredkeepTest, RemoveDropsARecordWhosePasswordCannotBeDecoded)
{
    std::string garbage(700, 'Z');
    dir.writeFile(FILE_NAME, "10.0.0.1,admin," + garbage + "\n10.0.0.2,root,2E64\n");
    ASSERT_EQ(0, remove("10.0.0.1"));
    EXPECT_EQ(content(), "10.0.0.2,root,2E64\n");
}

TEST_F(CredkeepTest, FieldsThatWouldBreakTheRecordAreRefused)
{
    struct Case {
        const char* storage;
        const char* user;
        std::string password;
    };
    const Case cases[] = {
        {"10.0.0.1", "ad,min", "pw"},    {"10.0.0.1", "ad\nmin", "pw"}, {"10.0.0.1", "ad\rmin", "pw"},
        {"10.0.0.1", "admin", "p\nw"},   {"10.0.0.1", "admin", "p\tw"}, {"10.0.0.1", "admin", "p\x7fw"},
        {"10.0.0,1", "admin", "pw"},     {"#10.0.0.1", "admin", "pw"},  {"", "admin", "pw"},
    };
    ASSERT_EQ(0, add("10.0.0.9", "keep", "pw"));
    const std::string before = content();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.storage) + "|" + c.user + "|" + c.password);
        EXPECT_EQ(add(c.storage, c.user, c.password), SMIS_Credkeep::CREDKEEP_ERR_ENCRYPT);
        EXPECT_EQ(replace(c.storage, c.user, c.password), SMIS_Credkeep::CREDKEEP_ERR_ENCRYPT);
    }
    EXPECT_EQ(content(), before);

    // A ',' in the password is stored as digits like any other character.
    ASSERT_EQ(0, add("10.0.0.1", "admin", "p,w"));
    EXPECT_EQ(get("10.0.0.1"), std::make_pair(0, std::string("admin/p,w")));
}

// Appends one line to a log shared by processes.
void note(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600);
    const std::string line = text + "\n";
    if (fd >= 0) {
        (void)!::write(fd, line.data(), line.size());
        ::close(fd);
    }
}

TEST_F(CredkeepTest, TwoProcessesContendingForTheLockSerialise)
{
    const std::string log = dir.file("order.log");
    std::vector<pid_t> children;
    for (const char* name : {"A", "B"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SMIS_Credkeep child;
            void* lock = child.lockCredkeep();
            if (!lock)
                ::_exit(2);
            note(log, std::string("in ") + name);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            note(log, std::string("out ") + name);
            child.unlockCredkeep(lock);
            ::_exit(lock == nullptr ? 0 : 3);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const std::string order = dir.readFile("order.log");
    EXPECT_TRUE(order == "in A\nout A\nin B\nout B\n" || order == "in B\nout B\nin A\nout A\n") << order;
}

TEST_F(CredkeepTest, AReaderInAnotherProcessWaitsForTheWriter)
{
    ASSERT_EQ(0, add("10.0.0.1", "admin", "old"));
    void* lock = keep.lockCredkeep();
    ASSERT_NE(lock, nullptr);

    const std::string log = dir.file("reader.log");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        SMIS_Credkeep child;
        String user;
        String password;
        const int rc = child.getCredkeep(String("10.0.0.1"), user, password, true);
        note(log, std::to_string(rc) + " " + password.c_str());
        ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(dir.readFile("reader.log"), "");
    ASSERT_EQ(0, replace("10.0.0.1", "admin", "new"));
    keep.unlockCredkeep(lock);
    EXPECT_EQ(lock, nullptr);

    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(dir.readFile("reader.log"), "0 new\n");
}

}  // namespace
