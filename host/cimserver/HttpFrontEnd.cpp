#include "HttpFrontEnd.h"

#include <httplib.h>
#include <openssl/evp.h>

#include <cstring>
#include <vector>

namespace cimserver {

namespace {

constexpr const char* XML_TYPE = "application/xml; charset=\"utf-8\"";

bool decode_base64(const std::string& in, std::string& out)
{
    if (in.empty() || in.size() % 4 != 0 || in.size() > 4096)
        return false;
    std::vector<unsigned char> buf(in.size() / 4 * 3 + 1);
    int n = EVP_DecodeBlock(buf.data(), reinterpret_cast<const unsigned char*>(in.data()), static_cast<int>(in.size()));
    if (n < 0)
        return false;
    size_t pad = 0;
    if (in[in.size() - 1] == '=')
        pad++;
    if (in[in.size() - 2] == '=')
        pad++;
    out.assign(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(n) - pad);
    return true;
}

bool starts_with_nocase(const std::string& s, const char* prefix)
{
    size_t n = std::strlen(prefix);
    return s.size() >= n && strncasecmp(s.c_str(), prefix, n) == 0;
}

// Constant-time comparison of two texts of any lengths.
bool same_text(const std::string& a, const std::string& b)
{
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size(); i++)
        diff |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
    return diff == 0;
}

} // namespace

HttpFrontEnd::HttpFrontEnd(const CimOperations& operations, Credentials credentials, std::size_t max_request)
    : _operations(operations), _credentials(std::move(credentials)), _server(std::make_unique<httplib::Server>())
{
    httplib::Server& s = *_server;
    s.new_task_queue = [] { return new httplib::ThreadPool(16); };
    s.set_payload_max_length(max_request);
    s.set_keep_alive_max_count(1000);
    s.set_keep_alive_timeout(15);
    s.set_read_timeout(30, 0);
    s.set_write_timeout(30, 0);
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content("", "text/plain");
    });
    s.Post(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
        if (_credentials.required && !authorized(_credentials, req.get_header_value("Authorization"))) {
            res.status = 401;
            res.set_header("WWW-Authenticate", "Basic realm=\"cimserver\"");
            return;
        }
        auto bad = [&](int status, const char* cim_error) {
            res.status = status;
            res.set_header("CIMError", cim_error);
        };
        if (!req.has_header("CIMOperation") ||
            strcasecmp(req.get_header_value("CIMOperation").c_str(), "MethodCall") != 0)
            return bad(400, "unsupported-operation");
        if (req.has_header("CIMProtocolVersion") &&
            !starts_with_nocase(req.get_header_value("CIMProtocolVersion"), "1."))
            return bad(501, "unsupported-protocol-version");
        std::string type = req.get_header_value("Content-Type");
        if (!starts_with_nocase(type, "application/xml") && !starts_with_nocase(type, "text/xml"))
            return bad(400, "request-not-valid");
        if (!req.has_header("CIMMethod"))
            return bad(400, "header-mismatch");
        OperationReply reply = _operations.handle(req.body, req.get_header_value("CIMMethod"));
        if (reply.http_status != 200)
            return bad(reply.http_status, reply.cim_error.c_str());
        res.status = 200;
        res.set_header("CIMOperation", "MethodResponse");
        res.set_content(reply.body, XML_TYPE);
    });
}

HttpFrontEnd::~HttpFrontEnd() = default;

bool HttpFrontEnd::authorized(const Credentials& credentials, const std::string& authorization)
{
    if (!starts_with_nocase(authorization, "Basic "))
        return false;
    std::string encoded = authorization.substr(6);
    while (!encoded.empty() && encoded.front() == ' ')
        encoded.erase(0, 1);
    std::string decoded;
    if (!decode_base64(encoded, decoded))
        return false;
    size_t colon = decoded.find(':');
    if (colon == std::string::npos)
        return false;
    bool user_ok = same_text(decoded.substr(0, colon), credentials.user);
    bool password_ok = same_text(decoded.substr(colon + 1), credentials.password);
    return user_ok && password_ok;
}

int HttpFrontEnd::bind(const std::string& address, int port)
{
    if (port == 0)
        return _server->bind_to_any_port(address.c_str());
    return _server->bind_to_port(address.c_str(), port) ? port : -1;
}

bool HttpFrontEnd::serve()
{
    return _server->listen_after_bind();
}

void HttpFrontEnd::stop()
{
    _server->stop();
}

} // namespace cimserver
