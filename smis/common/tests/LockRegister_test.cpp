// The lock register catches an array exchange made while a lock that other
// requests need is held, and lets the allowed ones through: an open table
// view (it holds no mutex), the command mutex and the method lock.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "LockRegister.h"
#include "NamedEvent.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_MethodLock.h"
#include "SMIS_PollingService.h"
#include "SMIS_Vorpak.h"
#include "TempInstallDir.h"
#include "VELDARO_RefTable.h"

using cimple::SMIS_CMTAccess;
using smis::platform::LockRegister;

namespace {

constexpr const char* A = "127.0.0.1";

class LockRegisterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LockRegister::active()) << "this build does not check the lock rule (SMIS_LOCK_REGISTER off)";
        SMIS_CMTAccess::destroy();
        // Port 1 refuses, and the cancel event is set: the command gives up
        // at its first refusal, after the check.
        dir.writeEnv({std::string("StorageIP=") + A, "DefaultPortNumber=1"});
        cancel = smis::platform::NamedEvent::create(cimple::SMIS_PollingService::CANCEL_EVENT_NAME);
        ASSERT_NE(cancel, nullptr);
        cancel->set();
        cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        previous = LockRegister::onViolation([this](const std::string& report) { reports += report + "\n"; });
    }
    void TearDown() override
    {
        LockRegister::onViolation(previous);
        SMIS_CMTAccess::destroy();
    }

    // A binary command to the array from this thread.
    static void askTheArray()
    {
        cimple::SMIS_Vorpak vpk(A);
        CMM_RSP_RD_MODEL_INFO* raw = nullptr;
        vpk.getModelInformation(raw);
        std::free(raw);
    }

    smis::test::TempInstallDir dir;
    std::unique_ptr<smis::platform::NamedEvent> cancel;
    SMIS_CMTAccess* cache = nullptr;
    LockRegister::Handler previous;
    std::string reports;
};

TEST_F(LockRegisterTest, AnExchangeUnderAForbiddenLockIsReported)
{
    struct Case {
        const char* what;
        int kind;  // the array mutex held across the exchange
        const char* expected;  // in the report; NULL: no report
    } cases[] = {
        {"table mutex (what a view held for its life)", SMIS_CMTAccess::MUTEX_CMT, "SMIS_ConfigManagementTable_Mutex"},
        {"status table mutex", SMIS_CMTAccess::MUTEX_CMT_EX, "SMIS_ConfigManagementTableEx_Mutex"},
        {"copy-session table mutex", SMIS_CMTAccess::MUTEX_COPY_SESSION_TABLE, "SMIS_CopySessionTable_Mutex"},
        {"command mutex", SMIS_CMTAccess::MUTEX_TCPIP, nullptr},
        {"polling task lock", SMIS_CMTAccess::MUTEX_THREAD_PROCEDURE, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reports.clear();
        cimple::SMIS_MutexHandle held = cache->GetCMTMutex(A, c.kind);
        ASSERT_NE(held, nullptr);
        askTheArray();
        cache->RelaseCMTMutex(held);
        if (c.expected) {
            EXPECT_NE(reports.find("binary command to 127.0.0.1"), std::string::npos) << reports;
            EXPECT_NE(reports.find(c.expected), std::string::npos) << reports;
        } else {
            EXPECT_EQ(reports, "");
        }
        askTheArray();  // released: nothing more to report
        EXPECT_EQ(reports.find('\n'), c.expected ? reports.size() - 1 : std::string::npos) << reports;
    }
}

TEST_F(LockRegisterTest, AViewTheMethodLockAndAnyLockOfTheRegisterItself)
{
    {
        cimple::VELDARO_RefTable view(A);
        cimple::VELDARO_RefTable nested(A);
        const cimple::SMIS_MethodLock method(A);
        askTheArray();
    }
    EXPECT_EQ(reports, "");
    int token = 0;
    {
        LockRegister::Hold hold(&token, "provider object mutex");
        EXPECT_EQ(LockRegister::heldNames(), std::vector<std::string>{"provider object mutex"});
        LockRegister::exchange("command-line command");
    }
    EXPECT_EQ(reports, "lock register: command-line command while this thread holds [provider object mutex]\n");
    EXPECT_TRUE(LockRegister::heldNames().empty());
}

// With the default handler a violation ends the process, naming the lock
// and the exchange.
TEST(LockRegisterDeathTest, AViolationAbortsNamingTheLockAndTheExchange)
{
    ASSERT_TRUE(LockRegister::active());
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            int token = 0;
            LockRegister::Hold hold(&token, "frame mutex");
            LockRegister::exchange("copy-state poll");
        },
        "copy-state poll while this thread holds \\[frame mutex\\]");
}

}  // namespace
