#pragma once

#include <cstddef>
#include <string>

#include "platform/http.h"

namespace sscplan {

// libcurl's process-wide set-up. The composition root (and every test binary) keeps one
// instance alive for as long as any CurlTransport is used; create it before other threads
// start.
class CurlGlobal {
  public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
};

// HttpTransport on the libcurl easy interface: one easy handle per request, nothing kept
// between requests. Redirects are not followed, only http and https are spoken, loopback
// addresses never go through a proxy. A response sent with the deflate coding is returned
// decoded. Every failure, a time-out and a decoded body larger than `maxBodyBytes`
// included, gives the empty result.
class CurlTransport final : public HttpTransport {
  public:
    static constexpr std::size_t kDefaultMaxBodyBytes = 16u * 1024u * 1024u;

    explicit CurlTransport(HttpTimeouts timeouts = {},
                           std::size_t maxBodyBytes = kDefaultMaxBodyBytes);

    // Sends, in this order: Accept, Accept-Language, User-Agent, Content-Type,
    // Accept-Encoding, Connection, Cache-Control (curl adds Host before them and
    // Content-Length after them).
    std::string post(const std::string& url, const std::string& body) override;
    // The same headers without Cache-Control.
    std::string get(const std::string& url) override;
    // curl's own minimal GET (Host and Accept only).
    std::string plainGet(const std::string& url) override;

  private:
    enum class Method { Post, Get, PlainGet };
    std::string perform(Method method, const std::string& url, const std::string* body);

    HttpTimeouts timeouts_;
    std::size_t maxBodyBytes_;
};

}  // namespace sscplan
