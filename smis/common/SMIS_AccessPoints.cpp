#include <SMIS_AccessPoints.h>

#include <Pegasus/Common/System.h>

#include <mutex>

namespace cimple {

namespace {

std::mutex published_mutex;
std::vector<SMIS_AccessPoint>& published()
{
    static std::vector<SMIS_AccessPoint> points;
    return points;
}

}  // namespace

SMIS_AccessPoint SMIS_AccessPoint::of(const std::string& scheme, const std::string& address, int port)
{
    std::string host = address;
    if (host.empty() || host == "0.0.0.0" || host == "::")
        host = Pegasus::System::getFullyQualifiedHostName().getCString();
    else if (host.find(':') != std::string::npos && host.front() != '[')
        host = "[" + host + "]";
    return {scheme, host, port};
}

std::string SMIS_AccessPoint::authority() const
{
    return host + ":" + std::to_string(port);
}

std::string SMIS_AccessPoint::url() const
{
    return scheme + "://" + authority();
}

void SMIS_AccessPoints::publish(std::vector<SMIS_AccessPoint> points)
{
    std::lock_guard<std::mutex> lock(published_mutex);
    published() = std::move(points);
}

std::vector<SMIS_AccessPoint> SMIS_AccessPoints::listening()
{
    std::lock_guard<std::mutex> lock(published_mutex);
    return published();
}

std::string SMIS_AccessPoints::preferredAuthority()
{
    const std::vector<SMIS_AccessPoint> points = listening();
    for (const SMIS_AccessPoint& point : points)
        if (point.scheme == "https")
            return point.authority();
    return points.empty() ? std::string() : points.front().authority();
}

}  // namespace cimple
