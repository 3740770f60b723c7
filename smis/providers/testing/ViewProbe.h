#pragma once
// Tells whether a provider call opened a table view: the call runs while
// another thread holds the views of the given arrays, so a call that opens
// one of them waits until they are released.

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "VELDARO_RefTable.h"

namespace smis::test {

// True when call returned within two seconds while the views were held.
inline bool answersWithoutView(const std::vector<std::string>& arrays, const std::function<void()>& call)
{
    std::promise<void> held, release;
    std::thread holder([&] {
        std::vector<std::unique_ptr<cimple::VELDARO_RefTable>> views;
        for (const std::string& a : arrays)
            views.push_back(std::make_unique<cimple::VELDARO_RefTable>(a.c_str()));
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    auto done = std::async(std::launch::async, call);
    const bool quick = done.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    release.set_value();
    holder.join();
    done.wait();
    return quick;
}

}  // namespace smis::test
