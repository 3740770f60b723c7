#include "SimArray.hpp"

#include <ctime>

namespace arraysim {

namespace {

std::string format(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
    return buf;
}

// Seconds of a "YYYYMMDDhhmmss" text; -1 when it is not one.
std::time_t parse(const std::string& s) {
    std::tm tm{};
    if (s.size() != 14 || !strptime(s.c_str(), "%Y%m%d%H%M%S", &tm)) return -1;
    return timegm(&tm);
}

}  // namespace

void SimArray::noteConfigurationChange() {
    Json& m = model_["management"];
    m["revision"] = (num(m, "revision") + 1) & 0xFFFF;
    m["validation_count"] = (num(m, "validation_count") + 1) & 0xFFFFFFFFu;
    m["table_update_count"] = (num(m, "table_update_count") + 1) & 0xFFFFFFFFu;
    // The date is the time of the change; two changes inside one second
    // still get two different dates.
    std::time_t t = std::time(nullptr);
    const std::time_t previous = parse(str(m, "config_date"));
    if (previous >= t) t = previous + 1;
    const std::string date = format(t);
    m["config_date"] = date;
}

std::uint64_t num(const Json& j, const char* key, std::uint64_t dflt) {
    if (!j.is_object()) return dflt;
    auto it = j.find(key);
    if (it == j.end()) return dflt;
    if (it->is_number_unsigned() || it->is_number_integer()) return it->get<std::uint64_t>();
    if (it->is_boolean()) return it->get<bool>() ? 1 : 0;
    if (it->is_string()) return std::stoull(it->get<std::string>(), nullptr, 0);
    return dflt;
}

std::string str(const Json& j, const char* key, const std::string& dflt) {
    if (!j.is_object()) return dflt;
    auto it = j.find(key);
    if (it == j.end() || !it->is_string()) return dflt;
    return it->get<std::string>();
}

const Json& list(const Json& j, const char* key) {
    static const Json empty = Json::array();
    if (!j.is_object()) return empty;
    auto it = j.find(key);
    if (it == j.end() || !it->is_array()) return empty;
    return *it;
}

}  // namespace arraysim
