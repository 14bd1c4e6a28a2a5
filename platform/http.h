#pragma once

#include <chrono>
#include <string>

namespace sscplan {

// One synchronous HTTP request per call. The body bytes of any status are returned; every
// failure (no connection, time-out, broken transfer, no body) is the empty result.
class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    // POST with the protocol's seven request headers.
    virtual std::string post(const std::string& url, const std::string& body) = 0;
    // GET with the protocol's six request headers.
    virtual std::string get(const std::string& url) = 0;
    // GET without the protocol's headers (the latest-period address).
    virtual std::string plainGet(const std::string& url) = 0;
};

struct HttpTimeouts {
    std::chrono::milliseconds connect{3000};
    std::chrono::milliseconds total{8000};
};

}  // namespace sscplan
