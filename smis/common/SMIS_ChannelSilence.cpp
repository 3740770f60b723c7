#include "SMIS_ChannelSilence.h"

#include <map>
#include <mutex>

namespace cimple {

namespace {

struct Record {
    SMIS_ChannelSilence::Clock::time_point silent{};
    SMIS_ChannelSilence::Clock::time_point answered{};
    bool everSilent = false;
};

std::mutex lock;
std::map<std::string, Record>& records()
{
    static std::map<std::string, Record> all;
    return all;
}

}  // namespace

void SMIS_ChannelSilence::noteSilent(const std::string& address)
{
    std::lock_guard<std::mutex> guard(lock);
    Record& r = records()[address];
    r.silent = Clock::now();
    r.everSilent = true;
}

void SMIS_ChannelSilence::noteAnswered(const std::string& address)
{
    std::lock_guard<std::mutex> guard(lock);
    records()[address].answered = Clock::now();
}

bool SMIS_ChannelSilence::silentSince(const std::string& address, Clock::time_point since)
{
    std::lock_guard<std::mutex> guard(lock);
    const auto it = records().find(address);
    if (it == records().end() || !it->second.everSilent)
        return false;
    return it->second.silent >= since && it->second.silent >= it->second.answered;
}

bool SMIS_ChannelSilence::answeredSince(const std::string& address, Clock::time_point since)
{
    std::lock_guard<std::mutex> guard(lock);
    const auto it = records().find(address);
    return it != records().end() && it->second.answered >= since;
}

}  // namespace cimple
