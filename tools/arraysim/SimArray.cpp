#include "SimArray.hpp"

#include <ctime>

namespace arraysim {

namespace {
std::string nowDate() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d%H%M%S", &tm);
    return buf;
}
}  // namespace

void SimArray::noteConfigurationChange() {
    Json& m = model_["management"];
    m["revision"] = (num(m, "revision") + 1) & 0xFFFF;
    m["validation_count"] = (num(m, "validation_count") + 1) & 0xFFFFFFFFu;
    m["table_update_count"] = (num(m, "table_update_count") + 1) & 0xFFFFFFFFu;
    std::string date = nowDate();
    // Two changes inside one second still give two different dates.
    if (date <= str(m, "config_date")) {
        date = str(m, "config_date");
        for (int i = 13; i >= 0; --i) {
            if (date[static_cast<std::size_t>(i)] < '9') {
                ++date[static_cast<std::size_t>(i)];
                break;
            }
            date[static_cast<std::size_t>(i)] = '0';
        }
    }
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
