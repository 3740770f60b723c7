#include "CliSessionFixture.h"

#include "SMIS_AutoLogin.h"

#include <cerrno>
#include <chrono>
#include <csignal>

namespace {

using namespace cimple;
using smis::test::okReply;

class SMIS_CLICommonTest : public smis::test::CliSessionFixture {
protected:
    // True once the client process of the log has ended and been reaped.
    bool clientGone() const
    {
        auto pids = records("PID");
        if (pids.empty()) return false;
        return ::kill(static_cast<pid_t>(std::stol(pids.back())), 0) != 0 && errno == ESRCH;
    }
};

TEST_F(SMIS_CLICommonTest, ClientGetsThePasswordOnlyThroughItsPasswordFile)
{
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    EXPECT_EQ(records("ARG"), (std::vector<std::string>{dir.file("bin/plink"), "-P", "2222", "-pwfile",
                                                        "/dev/fd/3", "admin@10.1.2.3"}));
    EXPECT_EQ(records("PASSWORD"), std::vector<std::string>{"ok"});
    ASSERT_EQ(records("CMDLINE").size(), 1u);
    EXPECT_EQ(records("CMDLINE")[0].find(PASSWORD), std::string::npos);
    cli->logoff();
    EXPECT_EQ(records("EXIT").size(), 1u);
    EXPECT_TRUE(clientGone());
}

TEST_F(SMIS_CLICommonTest, HostKeyQuestionIsAnsweredNoOnce)
{
    for (const char* style : {"hostkey", "hostkey-crlf"}) {
        SCOPED_TRACE(style);
        dir.writeFile("fake.log", "");
        script({"banner Using username \"admin\".", style, "banner Welcome", okReply()});
        auto cli = session();
        ASSERT_EQ(cli->login(nullptr, nullptr), 0);
        EXPECT_EQ(records("ANSWER"), std::vector<std::string>{"n"});
        SMIS_CLICMD cmd;
        cmd.command = "show volumes";
        EXPECT_EQ(cli->execCLICmd(cmd), 0);
        cli->logoff();
        EXPECT_EQ(records("CMD"), (std::vector<std::string>{"show volumes", "exit"}));
    }
}

TEST_F(SMIS_CLICommonTest, ErrorReplyFillsTheStatusRecord)
{
    script({"reply %E\\r\\n1\\r\\n120\\r\\n-volume-number\\r\\n1\\r\\n77\\r\\nCLI> ",
            "reply %E\\r\\n1\\r\\n5\\r\\n-name\\r\\n0\\r\\nCLI> ",
            "reply delete volume \\r\\n-volume-number 77\\r\\n0\\r\\nCLI> "});
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    SMIS_CLICMD cmd;
    cmd.command = "delete volume -volume-number 77";
    EXPECT_EQ(cli->execCLICmd(cmd), 0);
    EXPECT_EQ(cmd.cmdStatus, 1);
    EXPECT_EQ(cmd.errMsgNum, 0x120);
    EXPECT_EQ(cmd.errOption, "-volume-number");
    EXPECT_EQ(cmd.errParameter, "77");
    EXPECT_EQ(cli->execCLICmd(cmd), 0);
    EXPECT_EQ(cmd.errMsgNum, 5);
    EXPECT_EQ(cmd.errOption, "-name");
    EXPECT_EQ(cmd.errParameter, "");
    // An echo wrapped over two lines.
    EXPECT_EQ(cli->execCLICmd(cmd), 0);
    EXPECT_EQ(cmd.cmdStatus, 0);
    EXPECT_EQ(cmd.errMsgNum, 0);
    EXPECT_TRUE(cmd.errOption.empty());
}

TEST_F(SMIS_CLICommonTest, MalformedRepliesGiveUnexpectedAndKeepTheSession)
{
    const std::vector<std::string> replies = {
        "reply CLI> ",                          // prompt where the echo is expected
        "reply %E\\r\\nCLI> ",                  // prompt where the status is expected
        "reply %E\\r\\nzz\\r\\nCLI> ",          // garbled status
        "reply %E\\r\\n1\\r\\n12x\\r\\nCLI> ",  // garbled message number
        "reply %E\\r\\n1\\r\\n12\\r\\nopt\\r\\n?\\r\\nCLI> ",  // garbled parameter flag
        "reply banner\\r\\n%E\\r\\n0\\r\\nCLI> ",  // a line before the echo
        "reply show\\r\\nstatus\\r\\n0\\r\\nCLI> ",   // an echo that differs
        "reply CLI> more text\\r\\n",           // a line that begins with the prompt is the prompt
    };
    script(replies);
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const std::string& r : replies) {
        SCOPED_TRACE(r);
        SMIS_CLICMD cmd;
        cmd.command = "show status";
        EXPECT_EQ(cli->execCLICmd(cmd), SMIS_CLICommon::CLI_ERR_UNEXPECTED);
        EXPECT_TRUE(cli->isLoggedIn());
    }
    EXPECT_EQ(records("CMD").size(), replies.size());
}

TEST_F(SMIS_CLICommonTest, CommandsWithControlCharactersOrQuestionMarkAreNeverSent)
{
    script({});
    auto cli = session();
    ASSERT_EQ(cli->login(nullptr, nullptr), 0);
    for (const char* text : {"", "delete volume -volume-number 1\r\nexit", "delete volume\n", "set\tvolume",
                             "show ?", "a\x7f", "a\x1b[0m"}) {
        SCOPED_TRACE(text);
        SMIS_CLICMD cmd;
        cmd.command = text;
        EXPECT_EQ(cli->execCLICmd(cmd), SMIS_CLICommon::CLI_ERR_PARAMETER);
    }
    cli->logoff();
    EXPECT_EQ(records("CMD"), std::vector<std::string>{"exit"});

    // Without a session nothing can be sent.
    SMIS_CLICMD cmd;
    cmd.command = "show status";
    EXPECT_EQ(cli->execCLICmd(cmd), SMIS_CLICommon::CLI_ERR_SEND);
}

TEST_F(SMIS_CLICommonTest, SilentClientIsEndedByTheReadTimeout)
{
    script({"silent"});
    auto cli = session();
    SMIS_CLICMD cmd;
    cmd.command = "show status";
    {
        // Log in with the configured time-out, so a loaded machine cannot fail
        // the login; only the command's reads get the short one.
        SMIS_AutoLogin guard(cli.get(), nullptr, nullptr);
        ASSERT_EQ(guard.getResult(), 0);
        cli->setReadTimeout(300);
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(cli->execCLICmd(cmd), SMIS_CLICommon::CLI_ERR_RECV);
        EXPECT_FALSE(cli->isLoggedIn());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    EXPECT_TRUE(clientGone());
    EXPECT_TRUE(records("EXIT").empty());
}

TEST_F(SMIS_CLICommonTest, LoginFailures)
{
    struct Case {
        const char* what;
        std::vector<std::string> script;
        const char* address;
        unsigned char result;
    };
    const std::vector<Case> cases = {
        {"no prompt before the time-out", {"silent-login"}, ADDRESS, SMIS_CLICommon::CLI_ERR_AUTH},
        {"lines but never a prompt", {"chatter-login"}, ADDRESS, SMIS_CLICommon::CLI_ERR_AUTH},
        {"client ends at once", {"password wrong"}, ADDRESS, SMIS_CLICommon::CLI_ERR_AUTH},
        {"no stored login", {}, "10.1.2.4", SMIS_CLICommon::CLI_ERR_NO_USER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.writeFile("fake.log", "");
        dir.writeFile("fake.script", "");
        if (!c.script.empty()) script(c.script);
        auto cli = session(c.address);
        cli->setReadTimeout(300);
        EXPECT_EQ(cli->login(nullptr, nullptr), c.result);
        EXPECT_FALSE(cli->isLoggedIn());
        if (!records("PID").empty()) {
            EXPECT_TRUE(clientGone());
        }
    }
}

TEST_F(SMIS_CLICommonTest, MissingClientIsAConnectionError)
{
    ASSERT_EQ(::unlink(dir.file("bin/plink").c_str()), 0);
    auto cli = session();
    EXPECT_EQ(cli->login(nullptr, nullptr), SMIS_CLICommon::CLI_ERR_CONNECT);
    EXPECT_FALSE(cli->isLoggedIn());
}

TEST_F(SMIS_CLICommonTest, LoginArgumentsThatCouldPassForOptionsAreRefused)
{
    auto cli = session();
    for (const char* user : {"-proxycmd", "ad min", "a\nb", "a@b"}) {
        SCOPED_TRACE(user);
        EXPECT_EQ(cli->login(user, "pw"), SMIS_CLICommon::CLI_ERR_PARAMETER);
    }
    EXPECT_EQ(cli->login(USER, "pw\nsecond"), SMIS_CLICommon::CLI_ERR_PARAMETER);
    EXPECT_TRUE(records("ARG").empty());
}

TEST_F(SMIS_CLICommonTest, OpenSessionIsKeptByTheGuardAndEndedByTheDestructor)
{
    script({okReply(), okReply()});
    {
        auto cli = session();
        ASSERT_EQ(cli->login(nullptr, nullptr), 0);
        EXPECT_EQ(cli->login(nullptr, nullptr), SMIS_CLICommon::CLI_ALREADY_LOGGED_IN);
        unsigned short numbers[] = {4};
        EXPECT_EQ(cli->deleteLogicalVolume(numbers, 1), 0);
        EXPECT_EQ(cli->deleteLogicalVolume(numbers, 1), 0);
        EXPECT_TRUE(cli->isLoggedIn());
        EXPECT_TRUE(records("EXIT").empty());
    }
    EXPECT_EQ(records("PID").size(), 1u);
    EXPECT_EQ(records("EXIT").size(), 1u);
    EXPECT_TRUE(clientGone());
}

TEST(SMIS_CLICommonStatic, LineHelpers)
{
    auto split = [](const char* line) {
        Array<String> fields;
        fields.append(String("stale"));
        SMIS_CLICommon::parseTSV(line, fields);
        std::vector<std::string> out;
        for (std::size_t i = 0; i < fields.size(); ++i) out.push_back(fields[i].c_str());
        return out;
    };
    EXPECT_EQ(split("a\t\tb\t"), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(split(""), std::vector<std::string>{""});

    long value = -1;
    EXPECT_EQ(SMIS_CLICommon::hexToDigit("5312", value), 0);
    EXPECT_EQ(value, 0x5312);
    EXPECT_EQ(SMIS_CLICommon::hexToDigit("fFfFfFfF", value), 0);
    EXPECT_EQ(value, 0xFFFFFFFFL);
    for (const char* bad : {"", "g", "12 ", "-1", "0x1", "123456789"}) {
        EXPECT_EQ(SMIS_CLICommon::hexToDigit(bad, value), 37) << bad;
    }
}

}  // namespace
