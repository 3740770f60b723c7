#pragma once
// One running array simulator per test program, an install directory per
// test whose configuration names the simulator's first array, a fresh
// configuration table cache (array marked reachable) and the cancel event.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "ArraysimProcess.hpp"
#include "SMIS_AccessCom.h"
#include "SMIS_CMTAccess.h"
#include "SMIS_Vorpak.h"
#include "TempInstallDir.h"

namespace smis::test {

// A command object whose time-out and port a test may change.
class TunedVorpak : public cimple::SMIS_Vorpak {
public:
    using cimple::SMIS_Vorpak::SMIS_Vorpak;
    void setTimeout(std::uint32_t seconds) { _timeout = seconds; }
    void setPort(std::uint16_t port) { _portNo = port; }
};

// Sets the cancel event after a delay, from a thread of its own.
class DelayedCancel {
public:
    DelayedCancel(cimple::SMIS_EventHandle event, std::chrono::milliseconds delay)
        : _thread([event, delay] {
              std::this_thread::sleep_for(delay);
              event->set();
          })
    {
    }
    ~DelayedCancel() { _thread.join(); }

private:
    std::thread _thread;
};

class VorpakFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new testsupport::ArraysimProcess("coverage"); }
    static void TearDownTestSuite()
    {
        if (sim_) {
            EXPECT_EQ(sim_->stop(), 0) << sim_->output();
        }
        delete sim_;
        sim_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_NE(sim_, nullptr);
        sim_->reset();
        sim_->control({{"op", "clear_log"}});
        dir_ = std::make_unique<TempInstallDir>();
        address_ = sim_->address(0);
        dir_->writeEnv({"StorageIP=" + address_ + "," + std::to_string(sim_->port(0))});
        cimple::SMIS_CMTAccess::destroy();
        cache_ = cimple::SMIS_CMTAccess::getInstance();
        ASSERT_NE(cache_, nullptr);
        cache_->SetDeviceAvailable(address_.c_str(), 0);
        cancel_ = access_.createEvent(cimple::SMIS_CommandCom::CANCEL_EVENT_NAME);
        ASSERT_NE(cancel_, nullptr);
        cancel_->reset();
    }

    void TearDown() override
    {
        if (cancel_) {
            cancel_->reset();
            access_.closeEvent(cancel_);
        }
        cimple::SMIS_CMTAccess::destroy();
        dir_.reset();
    }

    // Requests the simulator logged for a command code since the log was
    // cleared; waits briefly for records of exchanges that are still closing.
    std::size_t requestCount(std::uint16_t command, std::size_t atLeast = 0) const
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (;;) {
            std::size_t n = 0;
            for (const auto& r : sim_->requests())
                if (r.value("command", 0) == command)
                    ++n;
            if (n >= atLeast || std::chrono::steady_clock::now() > end)
                return n;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    nlohmann::json model() const { return sim_->model(0); }

    static testsupport::ArraysimProcess* sim_;
    std::unique_ptr<TempInstallDir> dir_;
    std::string address_;
    cimple::SMIS_CMTAccess* cache_ = nullptr;
    cimple::SMIS_AccessCom access_;
    cimple::SMIS_EventHandle cancel_ = nullptr;
};

inline testsupport::ArraysimProcess* VorpakFixture::sim_ = nullptr;

}  // namespace smis::test
