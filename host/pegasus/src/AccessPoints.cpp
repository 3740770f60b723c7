#include <Pegasus/AccessPoints.h>

#include <Pegasus/Common/System.h>

#include <mutex>

namespace Pegasus {

namespace {

std::mutex published_mutex;
std::vector<AccessPoint>& published()
{
    static std::vector<AccessPoint> points;
    return points;
}

}  // namespace

AccessPoint AccessPoint::of(const std::string& scheme, const std::string& address, int port)
{
    std::string host = address;
    if (host.empty() || host == "0.0.0.0" || host == "::")
        host = System::getFullyQualifiedHostName().str();
    else if (host.find(':') != std::string::npos && host.front() != '[')
        host = "[" + host + "]";
    return {scheme, host, port};
}

std::string AccessPoint::authority() const
{
    return host + ":" + std::to_string(port);
}

std::string AccessPoint::url() const
{
    return scheme + "://" + authority();
}

void AccessPoints::publish(std::vector<AccessPoint> points)
{
    std::lock_guard<std::mutex> lock(published_mutex);
    published() = std::move(points);
}

std::vector<AccessPoint> AccessPoints::listening()
{
    std::lock_guard<std::mutex> lock(published_mutex);
    return published();
}

std::string AccessPoints::preferredAuthority()
{
    const std::vector<AccessPoint> points = listening();
    for (const AccessPoint& point : points)
        if (point.scheme == "https")
            return point.authority();
    return points.empty() ? std::string() : points.front().authority();
}

}  // namespace Pegasus
