// Table views and image replacement: views nest on one thread, hold no
// other thread up, keep their image alive across a refresh, and stay
// consistent while another thread keeps installing new images; a pinned
// walk reads one image without excluding anyone.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SMIS_CMTAccess.h"
#include "TempInstallDir.h"
#include "VELDARO_RefTable.h"
#include "VELDARO_TablePin.h"

using cimple::SMIS_CMTAccess;
using cimple::VELDARO_RefTable;
using cimple::VELDARO_TablePin;

namespace {

constexpr const char* A = "10.0.0.1";

// An image whose update count and OLU 0 name both carry the generation.
void makeImage(std::uint32_t generation, std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM>& block,
               std::shared_ptr<const cnfg_config_mgmt_table>& image)
{
    auto b = std::make_shared<CMM_CMT_GLOBAL_VAL_ELEM>();
    b->setWord(CMM_CMT_GLOBAL_VAL_ELEM::OLU_MAX, 4);
    std::shared_ptr<cnfg_config_mgmt_table> img = cnfg_config_mgmt_table::create(*b);
    img->MgmtInfoW().TableUpdateCount(generation);
    img->OLUW(0).Name("G" + std::to_string(generation));
    block = b;
    image = img;
}

std::string olu0Name(const VELDARO_RefTable& t)
{
    char* text = t.getOLUName(0);
    std::string s = text ? text : "";
    VELDARO_RefTable::getMemFree(text);
    return s.substr(0, s.find(' '));
}

class RefTableLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SMIS_CMTAccess::destroy();
        dir.writeEnv({std::string("StorageIP=") + A, "StorageIP=10.0.0.2"});
        cache = SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache, nullptr);
        install(1);
    }
    void TearDown() override { SMIS_CMTAccess::destroy(); }

    void install(std::uint32_t generation)
    {
        std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
        std::shared_ptr<const cnfg_config_mgmt_table> image;
        makeImage(generation, block, image);
        ASSERT_EQ(cache->SetCurrentCMT(A, std::move(block), std::move(image)), 0);
    }

    smis::test::TempInstallDir dir;
    SMIS_CMTAccess* cache = nullptr;
};

TEST_F(RefTableLockTest, AViewKeepsItsImageWhenItsOwnThreadRefreshes)
{
    VELDARO_RefTable outer(A);
    ASSERT_TRUE(outer.isValidCMT());
    {
        VELDARO_RefTable inner(A);  // nests on this thread
        EXPECT_EQ(inner.getTableUpdateCount(), 1u);
    }
    install(2);  // the refresh takes the table mutex again on this thread
    EXPECT_EQ(outer.getTableUpdateCount(), 1u) << "the old image is still alive";
    EXPECT_EQ(olu0Name(outer), "G1");
    VELDARO_RefTable nested(A);
    EXPECT_EQ(nested.getTableUpdateCount(), 2u);
    outer.resetCMTAddr();
    EXPECT_EQ(outer.getTableUpdateCount(), 2u);
    EXPECT_EQ(olu0Name(outer), "G2");
}

// A view holds no lock while it reads: another thread opens a view and
// installs a newer image meanwhile, and the open view (and the views its
// thread nests in it) still read the image it bound.
TEST_F(RefTableLockTest, AnOpenViewHoldsNoOneUpAndKeepsReadingItsImage)
{
    VELDARO_RefTable first(A);
    std::atomic<bool> done{false};
    std::thread other([&] {
        {
            VELDARO_RefTable view(A);
        }
        install(2);
        done = VELDARO_RefTable(A).getTableUpdateCount() == 2u;
    });
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         !done && std::chrono::steady_clock::now() < end;)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    other.join();
    EXPECT_TRUE(done.load()) << "another thread waited for an open view";
    EXPECT_EQ(first.getTableUpdateCount(), 1u);
    EXPECT_EQ(olu0Name(first), "G1");
    EXPECT_EQ(VELDARO_RefTable(A).getTableUpdateCount(), 1u) << "a nested view reads the thread's image";
    VELDARO_RefTable otherArray("10.0.0.2");
    EXPECT_FALSE(otherArray.isValidCMT());
}

// Under a pin every view of the thread reads the pinned image, and other
// threads' views and a refresh go on meanwhile; once the pin ends the
// thread's views take the mutex and the current image again.
TEST_F(RefTableLockTest, APinnedWalkReadsOneImageAndHoldsNoOneUp)
{
    std::thread other;
    std::atomic<bool> done{false};
    {
        VELDARO_TablePin pin(A);
        VELDARO_RefTable walk(A);
        EXPECT_EQ(walk.getTableUpdateCount(), 1u);
        other = std::thread([&] {
            {
                VELDARO_RefTable view(A);
            }
            install(2);
            VELDARO_RefTable after(A);
            done = after.getTableUpdateCount() == 2u;
        });
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
             !done && std::chrono::steady_clock::now() < end;)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(done.load()) << "another thread waited for the pinned walk";
        VELDARO_RefTable nested(A);
        EXPECT_EQ(nested.getTableUpdateCount(), 1u);
        EXPECT_EQ(olu0Name(nested), "G1");
        {
            VELDARO_TablePin inner(A); // nests: the same image
            EXPECT_EQ(VELDARO_RefTable(A).getTableUpdateCount(), 1u);
        }
        EXPECT_EQ(VELDARO_RefTable(A).getTableUpdateCount(), 1u);
    }
    other.join();
    VELDARO_RefTable now(A);
    EXPECT_EQ(now.getTableUpdateCount(), 2u);
}

TEST_F(RefTableLockTest, MutexesAreNamedByKindAndAddress)
{
    const char* const names[] = {
        "SMIS_ConfigManagementTable_Mutex", "SMIS_ConfigManagementTableEx_Mutex", "SMIS_ConfigManagementFile_Mutex",
        "SMIS_ConfigManagementFileEx_Mutex", "SMIS_TCPIPCommunication_Mutex", "SMIS_CheckSupportedModel_Mutex",
        "SMIS_ThreadProcedure_Mutex", "SMIS_CopySessionTable_Mutex", "SMIS_CopySessionFile_Mutex",
    };
    for (int k = 0; k < 9; ++k) {
        EXPECT_STREQ(SMIS_CMTAccess::MutexKindName[k], names[k]);
        cimple::SMIS_MutexHandle h = cache->GetCMTMutex(A, k);
        EXPECT_NE(h, nullptr) << k;
        cache->RelaseCMTMutex(h);
    }
    EXPECT_EQ(cache->GetCMTMutex(A, 9), nullptr);
    EXPECT_EQ(cache->GetCMTMutex(A, -1), nullptr);

    // Another holder of the same name (another process would use the same
    // lock file) keeps the views out.
    std::atomic<bool> entered{false};
    std::thread reader;
    {
        smis::platform::NamedMutexLock held(std::string("Global\\SMIS_ConfigManagementTable_Mutex_") + A);
        reader = std::thread([&] {
            VELDARO_RefTable view(A);
            entered = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_FALSE(entered.load());
    }
    reader.join();
    EXPECT_TRUE(entered.load());
}

TEST_F(RefTableLockTest, ReadersStayConsistentWhileImagesAreReplaced)
{
    std::atomic<bool> stop{false};
    std::atomic<long> reads{0};
    std::atomic<int> inconsistent{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                std::this_thread::sleep_for(std::chrono::microseconds(50));  // let the writer in now and then
                VELDARO_RefTable view(A);
                const std::uint32_t generation = view.getTableUpdateCount();
                if (olu0Name(view) != "G" + std::to_string(generation))
                    ++inconsistent;
                {
                    VELDARO_RefTable nested(A);
                    if (nested.getTableUpdateCount() != generation)
                        ++inconsistent;  // the lock let a refresh in
                }
                std::this_thread::yield();
                if (view.getTableUpdateCount() != generation)
                    ++inconsistent;
                ++reads;
            }
        });
    }
    // A status reader beside the views: copies stay whole while stores go on.
    readers.emplace_back([&] {
        while (!stop.load()) {
            long count = 0;
            void* data = cache->GetExTableInfo(A, 1, nullptr, count);
            if (data && count != 1)
                ++inconsistent;
            std::free(data);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    std::thread writer([&] {
        for (std::uint32_t g = 2; g <= 40; ++g) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            std::shared_ptr<const CMM_CMT_GLOBAL_VAL_ELEM> block;
            std::shared_ptr<const cnfg_config_mgmt_table> image;
            makeImage(g, block, image);  // built outside the lock
            cache->SetCurrentCMT(A, std::move(block), std::move(image));
        }
        // Status data is stored beside the views meanwhile.
        for (int k = 0; k < 50; ++k) {
            const std::uint8_t device[16] = {static_cast<std::uint8_t>(k)};
            cache->SetExTableInfo(A, 1, nullptr, device, 16, 1, 0);
        }
        stop = true;
    });
    writer.join();
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(inconsistent.load(), 0);
    EXPECT_GT(reads.load(), 40);
    VELDARO_RefTable last(A);
    EXPECT_EQ(last.getTableUpdateCount(), 40u);
}

}  // namespace
