#include "CredkeepTool.h"
#include "SMIS_Credkeep.h"

#include "BuildTree.h"

#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using cimple::SMIS_Credkeep;

namespace {

const std::string INVALID = "Invalid Parameter.\nUse '-h' to obtain command syntax.\n";
const std::string NOT_FOUND = "The specified storage IP is not a valid storage IP.\n";

const std::string USAGE =
    "Usage: credkeep -a storage IP -u username -w password\n"
    "               -m storage IP -w old password -n new password\n"
    "               -r storage IP\n"
    "               -l\n"
    "               -h\n"
    "Options :\n"
    "    -a         - Add a new CLI user. Specify a Storage IP address\n"
    "    -h         - Display this help message\n"
    "    -l         - List the names of CLI users\n"
    "    -m         - Modify a CLI user's password. Specify a Storage IP address\n"
    "    -n         - Specify a new password for the CLI user\n"
    "                 (The maximum length is 64 characters)\n"
    "    -r         - Remove the CLI user. Specify a Storage IP address\n"
    "    -u         - Specify a CLI user name\n"
    "                 (The maximum length is 32 characters)\n"
    "    -w         - Specify a password for the CLI user\n"
    "                 (The maximum length is 64 characters)\n";

struct Outcome {
    int code;
    std::string err;
    std::string out;
};

std::string describe(const std::vector<std::string>& args)
{
    std::string text;
    for (const std::string& arg : args)
        text += "[" + arg + "]";
    return text;
}

// A temporary install directory with 10.0.0.1 and 10.0.0.2 configured and a
// login (admin / old) stored for 10.0.0.2.
class CredkeepToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "the tool runs only for the superuser";
        reset();
    }

    void reset()
    {
        ::unlink(dir.file("credkeep.passwd").c_str());
        dir.writeEnv({"StorageIP=10.0.0.1", "StorageIP=10.0.0.2,1372,22"});
        SMIS_Credkeep keep;
        ASSERT_EQ(0, keep.setCredkeep(SMIS_Credkeep::CREDKEEP_ADD, "10.0.0.2", "admin", "old"));
    }

    // Runs the tool in this process.
    static Outcome run(const std::vector<std::string>& args)
    {
        std::vector<std::string> copy = args;
        std::vector<char*> argv{const_cast<char*>("credkeep")};
        for (std::string& arg : copy)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const int code = runCredkeep(static_cast<int>(argv.size() - 1), argv.data());
        std::string out = testing::internal::GetCapturedStdout();
        std::string err = testing::internal::GetCapturedStderr();
        return {code, err, out};
    }

    // The stored login of an address as "user/password", or the store's code.
    static std::string stored(const char* storage)
    {
        SMIS_Credkeep keep;
        cimple::String user;
        cimple::String password;
        const int rc = keep.getCredkeep(storage, user, password, true);
        return rc == 0 ? std::string(user.c_str()) + "/" + password.c_str() : "rc " + std::to_string(rc);
    }

    smis::test::TempInstallDir dir;
};

TEST_F(CredkeepToolTest, ArgumentListsGiveTheirResultCodeAndMessages)
{
    const std::string u32(32, 'u');
    const std::string p64(64, 'p');
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string err;
        std::string out = "";
    };
    const std::vector<Case> cases = {
        // Command line shape.
        {{}, 1001, INVALID},
        {{"-h"}, 0, USAGE},
        {{"/H"}, 0, USAGE},
        {{"-h", "-l"}, 1001, INVALID},
        {{"-h", "value"}, 1001, INVALID},
        {{"-hx"}, 1001, INVALID},
        {{"-lx"}, 1001, INVALID},
        {{"-x"}, 1001, INVALID},
        {{"-"}, 1001, INVALID},
        {{"-a"}, 1001, INVALID},
        {{"10.0.0.1"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", "pw", "extra"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "-w", "pw"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", "-secret"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "admin"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", "pw", "-n", "x"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", ""}, 1001, INVALID},
        {{"-m", "10.0.0.2", "-u", "admin", "-w", "old", "-n", "new"}, 1001, INVALID},
        {{"-r", "10.0.0.2", "-w", "old"}, 1001, INVALID},
        {{"-l", "-u", "admin"}, 1001, INVALID},
        {{"-a", "10.0.0.1", "-r", "10.0.0.2"}, 1001, INVALID},
        // Values.
        {{"-m", "10.0.0.2", "-w", "same", "-n", "same"}, 1001, "Error, new and old passwords cannot be same.\n"},
        {{"-a", "10.0.0.1", "-u", u32 + "u", "-w", "pw"}, 1001,
         "username is not valid for option \"-u\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a", "10.0.0.1", "-u", "ad,min", "-w", "pw"}, 1001,
         "username is not valid for option \"-u\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a", "10.0.0.1", "-u", "ad\nmin", "-w", "pw"}, 1001,
         "username is not valid for option \"-u\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", p64 + "p"}, 1001,
         "password is not valid for option \"-w\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a", "10.0.0.1", "-u", "admin", "-w", "p\tw"}, 1001,
         "password is not valid for option \"-w\".\nUse '-h' to obtain command syntax.\n"},
        {{"-m", "10.0.0.2", "-w", "old", "-n", p64 + "p"}, 1001,
         "password is not valid for option \"-n\".\nUse '-h' to obtain command syntax.\n"},
        {{"-m", "10.0.0.2", "-w", "old", "-n", "n\x1bw"}, 1001,
         "password is not valid for option \"-n\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a", "10.0.0.1,1", "-u", "admin", "-w", "pw"}, 1001,
         "storage IP is not valid for option \"-a\".\nUse '-h' to obtain command syntax.\n"},
        {{"-a#10.0.0.1", "-u", "admin", "-w", "pw"}, 1001,
         "storage IP is not valid for option \"-a\".\nUse '-h' to obtain command syntax.\n"},
        // Modify and remove look such an address up and do not find it.
        {{"-r#10.0.0.2"}, 7, "Failed to remove user.\n" + NOT_FOUND},
        {{"-r", "10.0.0.2,admin"}, 7, "Failed to remove user.\n" + NOT_FOUND},
        {{"-m", "10.0.0.2,admin", "-w", "old", "-n", "new"}, 7, "Failed to change password.\n" + NOT_FOUND},
        {{"-m#10.0.0.2", "-w", "old", "-n", "new"}, 7, "Failed to change password.\n" + NOT_FOUND},
        // Modes.
        {{"-A10.0.0.1", "-Uadmin", "-Wpw"}, 0, "User added successfully.\n"},
        {{"-a", "10.0.0.9", "-a", "10.0.0.1", "-u", u32, "-w", p64}, 0, "User added successfully.\n"},
        {{"-a", "10.0.0.2", "-u", "root", "-w", "pw"}, 1003,
         "Failed to add user.\nThe specified storage IP is already exists.\n"},
        {{"-a", "10.0.0.3", "-u", "root", "-w", "pw"}, 1004,
         "Failed to add user.\nThe specified storage IP is not a valid IP address on the SMI-S Environment.\n"},
        {{"-m", "10.0.0.2", "-w", "old", "-n", "new"}, 0, "Password changed successfully.\n"},
        {{"/M10.0.0.2", "/wOLD", "/nnew"}, 1005,
         "Failed to change password.\nThe specified password does not match user's current password.\n"},
        {{"-m", "10.0.0.1", "-w", "old", "-n", "new"}, 7, "Failed to change password.\n" + NOT_FOUND},
        {{"-r", "10.0.0.2"}, 0, "User removed successfully.\n"},
        {{"-r", "10.0.0.1"}, 7, "Failed to remove user.\n" + NOT_FOUND},
        {{"/l"}, 0, "", "10.0.0.2 : admin\n"},
        {{"-l", "-L"}, 0, "", "10.0.0.2 : admin\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.args));
        reset();
        const Outcome outcome = run(c.args);
        EXPECT_EQ(outcome.code, c.code);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.out, c.out);
    }
}

TEST_F(CredkeepToolTest, EveryModeChangesTheFileAsAsked)
{
    ASSERT_EQ(run({"-a", "10.0.0.1", "-u", "root", "-w", "first"}).code, 0);
    EXPECT_EQ(stored("10.0.0.1"), "root/first");
    EXPECT_EQ(run({"-l"}).out, "10.0.0.2 : admin\n10.0.0.1 : root\n");

    // Modify keeps the user name and changes only the password.
    ASSERT_EQ(run({"-m", "10.0.0.1", "-w", "first", "-n", "second"}).code, 0);
    EXPECT_EQ(stored("10.0.0.1"), "root/second");
    EXPECT_EQ(stored("10.0.0.2"), "admin/old");

    // Refused changes leave the file as it was.
    const std::string before = dir.readFile("credkeep.passwd");
    EXPECT_EQ(run({"-m", "10.0.0.1", "-w", "second", "-n", "second"}).code, 1001);
    EXPECT_EQ(run({"-m", "10.0.0.1", "-w", "wrong", "-n", "third"}).code, 1005);
    EXPECT_EQ(run({"-a", "10.0.0.1", "-u", "other", "-w", "pw"}).code, 1003);
    EXPECT_EQ(dir.readFile("credkeep.passwd"), before);

    ASSERT_EQ(run({"-r", "10.0.0.2"}).code, 0);
    EXPECT_EQ(stored("10.0.0.2"), "rc 7");
    EXPECT_EQ(run({"-l"}).out, "10.0.0.1 : root\n");
}

TEST_F(CredkeepToolTest, AddStartsTheFileAndListWithoutOneIsEmpty)
{
    ::unlink(dir.file("credkeep.passwd").c_str());
    EXPECT_EQ(run({"-l"}).code, 0);
    EXPECT_EQ(run({"-l"}).out, "");
    const Outcome added = run({"-a", "10.0.0.1", "-u", "admin", "-w", "pw"});
    EXPECT_EQ(added.code, 0);
    EXPECT_EQ(added.err, "User added successfully.\n");
    EXPECT_EQ(stored("10.0.0.1"), "admin/pw");
}

// Runs the credkeep program; its exit status, standard output and error.
Outcome runProgram(const smis::test::TempInstallDir& dir, std::vector<std::string> args, bool asNobody = false,
                   const std::string& opensslConf = "")
{
    std::vector<std::string> command;
    if (asNobody)
        command = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    command.push_back(testsupport::BuildTree::program("credkeep"));
    command.insert(command.end(), args.begin(), args.end());

    const std::string outPath = dir.file("program.out");
    const std::string errPath = dir.file("program.err");
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (!opensslConf.empty())
            ::setenv("OPENSSL_CONF", opensslConf.c_str(), 1);
        std::vector<char*> argv;
        for (std::string& part : command)
            argv.push_back(part.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.readFile("program.err"),
            dir.readFile("program.out")};
}

TEST_F(CredkeepToolTest, TheProcessExitsWithTheLowEightBitsOfTheResult)
{
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
        std::string out = "";
    };
    const std::vector<Case> cases = {
        {{}, 233, INVALID},
        {{"-a", "10.0.0.2", "-u", "root", "-w", "pw"}, 235,
         "Failed to add user.\nThe specified storage IP is already exists.\n"},
        {{"-a", "10.0.0.3", "-u", "root", "-w", "pw"}, 236,
         "Failed to add user.\nThe specified storage IP is not a valid IP address on the SMI-S Environment.\n"},
        {{"-m", "10.0.0.2", "-w", "bad", "-n", "new"}, 237,
         "Failed to change password.\nThe specified password does not match user's current password.\n"},
        {{"-r", "10.0.0.1"}, 7, "Failed to remove user.\n" + NOT_FOUND},
        {{"-a", "10.0.0.1", "-u", "root", "-w", "pw"}, 0, "User added successfully.\n"},
        {{"-l"}, 0, "", "10.0.0.2 : admin\n10.0.0.1 : root\n"},
    };
    // Only the program's own log records are left to look at.
    ::unlink(dir.file("log/standard.log").c_str());
    ::unlink(dir.file("log/error.log").c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.args));
        const Outcome outcome = runProgram(dir, c.args);
        EXPECT_EQ(outcome.code, c.status);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.out, c.out);
    }
    // Every log record carries the CIM server's system id, the tool's too.
    const std::string logs = dir.readFile("log/standard.log") + dir.readFile("log/error.log");
    EXPECT_NE(logs.find(" cimserver: "), std::string::npos) << logs;
    EXPECT_EQ(logs.find(" credkeep: "), std::string::npos) << logs;
}

// A record whose password cannot be read is not removed: the tool reports
// the store's error and exits with its code, the file untouched. Without
// any crypto provider (an OpenSSL configuration that loads only the null
// provider) the store answers 1 for every record; listing needs no key.
TEST_F(CredkeepToolTest, ARecordThatCannotBeReadIsNotRemoved)
{
    const std::string conf = dir.file("null-provider.cnf");
    dir.writeFile("null-provider.cnf", "openssl_conf = openssl_init\n[openssl_init]\nproviders = provider_sect\n"
                                       "[provider_sect]\nnull = null_sect\n[null_sect]\nactivate = 1\n");
    const std::string before = dir.readFile("credkeep.passwd");
    const Outcome removed = runProgram(dir, {"-r", "10.0.0.2"}, false, conf);
    EXPECT_EQ(removed.code, SMIS_Credkeep::CREDKEEP_ERR_INIT);
    EXPECT_EQ(removed.err, "Failed to remove user.\nThe error occurred in initialization of encryption.\n");
    const Outcome changed = runProgram(dir, {"-m", "10.0.0.2", "-w", "old", "-n", "new"}, false, conf);
    EXPECT_EQ(changed.code, SMIS_Credkeep::CREDKEEP_ERR_INIT);
    EXPECT_EQ(changed.err, "Failed to change password.\nThe error occurred in initialization of encryption.\n");
    EXPECT_EQ(dir.readFile("credkeep.passwd"), before);
    const Outcome listed = runProgram(dir, {"-l"}, false, conf);
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "10.0.0.2 : admin\n");
}

// Without its lock the tool touches nothing: with the lock folder replaced by
// a plain file every mode exits 1002 (233 + 1 as a process status), help
// still works, and the credential file stays as it was.
TEST_F(CredkeepToolTest, AToolThatCannotLockExitsWithoutTouchingTheFile)
{
    const std::string before = dir.readFile("credkeep.passwd");
    std::filesystem::remove_all(dir.file("run"));
    dir.writeFile("run", "not a folder");
    const std::string refused = "The fatal error occurred.(cannot lock)\n";
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"-l"}, 1002 & 0xFF, refused},
        {{"-r", "10.0.0.2"}, 1002 & 0xFF, refused},
        {{"-m", "10.0.0.2", "-w", "old", "-n", "new"}, 1002 & 0xFF, refused},
        {{"-a", "10.0.0.1", "-u", "root", "-w", "pw"}, 1002 & 0xFF, refused},
        {{"-h"}, 0, USAGE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.args));
        const Outcome outcome = runProgram(dir, c.args);
        EXPECT_EQ(outcome.code, c.status);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(run({"-l"}).code, 1002);
    EXPECT_EQ(dir.readFile("credkeep.passwd"), before);
}

// The superuser runs the program as "nobody" for this; anyone else is refused as is.
TEST(CredkeepProgram, AnUnprivilegedCallerIsRefusedBeforeAnythingElse)
{
    const bool asNobody = ::geteuid() == 0;
    if (asNobody && ::access("/usr/bin/setpriv", X_OK) != 0)
        FAIL() << "/usr/bin/setpriv is not installed (util-linux)";
    smis::test::TempInstallDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-h"}, std::vector<std::string>{"-l"}, std::vector<std::string>{}}) {
        SCOPED_TRACE(describe(args));
        const Outcome outcome = runProgram(dir, args, asNobody);
        if (asNobody && (outcome.code == 126 || outcome.code == 127))
            GTEST_SKIP() << "the build tree cannot be run as nobody: " << outcome.err;
        EXPECT_EQ(outcome.code, 1007 & 0xFF);
        EXPECT_EQ(outcome.err, "You must have superuser privilege to run this command.\n");
        EXPECT_EQ(outcome.out, "");
    }
}

}  // namespace
