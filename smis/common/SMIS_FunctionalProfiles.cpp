#include <SMIS_FunctionalProfiles.h>

#include <mutex>

namespace cimple {

namespace {

std::mutex published_mutex;
std::vector<std::uint16_t>& published_profiles()
{
    static std::vector<std::uint16_t> profiles;
    return profiles;
}

}  // namespace

void SMIS_FunctionalProfiles::publish(std::vector<std::uint16_t> profiles)
{
    std::lock_guard<std::mutex> lock(published_mutex);
    published_profiles() = std::move(profiles);
}

std::vector<std::uint16_t> SMIS_FunctionalProfiles::published()
{
    std::lock_guard<std::mutex> lock(published_mutex);
    return published_profiles();
}

std::string SMIS_FunctionalProfiles::name(std::uint16_t profile)
{
    static const char* const names[] = {"Unknown",
                                        "Other",
                                        "Basic Read",
                                        "Basic Write",
                                        "Schema Manipulation",
                                        "Instance Manipulation",
                                        "Association Traversal",
                                        "Query Execution",
                                        "Qualifier Declaration",
                                        "Indications"};
    return profile < sizeof names / sizeof names[0] ? names[profile] : "Unknown";
}

}  // namespace cimple
