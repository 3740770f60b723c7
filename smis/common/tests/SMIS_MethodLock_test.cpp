#include "SMIS_MethodLock.h"

#include "TempInstallDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

using cimple::SMIS_MethodLock;
using cimple::SMIS_MethodLockBusy;
using namespace std::chrono_literals;

// The callers of one array are bounded: past the bound a caller is refused
// at once, while another array's caller, and the holder's own nested lock,
// are not; a refused or finished caller gives its place back.
TEST(SMIS_MethodLock, CallersPastTheirArraysBoundAreRefusedAtOnceAndOthersAreNot)
{
    smis::test::TempInstallDir dir;
    SMIS_MethodLock::setWaitLimit(3);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> held;
    std::promise<bool> nestedTaken;
    std::thread holder([&] {
        SMIS_MethodLock lock("10.0.0.7");
        held.set_value();
        std::this_thread::sleep_for(300ms); // the waiters have their places
        try {
            SMIS_MethodLock nested("10.0.0.7");
            nestedTaken.set_value(true);
        } catch (...) {
            nestedTaken.set_value(false);
        }
        released.wait();
    });
    held.get_future().wait();
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i)
        waiters.emplace_back([] { SMIS_MethodLock lock("10.0.0.7"); });
    std::this_thread::sleep_for(200ms);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(SMIS_MethodLock("10.0.0.7"), SMIS_MethodLockBusy);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_NO_THROW(SMIS_MethodLock("10.0.0.8")) << "another array's caller was refused";
    EXPECT_TRUE(nestedTaken.get_future().get()) << "the holder was refused its own nested lock";

    release.set_value();
    holder.join();
    for (auto& t : waiters)
        t.join();
    EXPECT_NO_THROW(SMIS_MethodLock("10.0.0.7")) << "places were not given back";
    SMIS_MethodLock::setWaitLimit(SMIS_MethodLock::WAIT_LIMIT);
}
