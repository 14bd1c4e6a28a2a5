#include "platform/http_curl.h"

#include <curl/curl.h>

#include <array>
#include <memory>
#include <new>

namespace sscplan {
namespace {

// The protocol's request headers, in the order they go out. "Expect:" (no value) is not
// sent: it stops curl from adding "Expect: 100-continue" to larger bodies.
constexpr std::array kPostHeaders = {
    "Accept: */*",
    "Accept-Language: zh-CN",
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
    "Content-Type: application/x-www-form-urlencoded",
    "Accept-Encoding: deflate",
    "Connection: Keep-Alive",
    "Cache-Control: no-cache",
    "Expect:",
};
constexpr std::size_t kCacheControlIndex = 6;

// Loopback stays direct even when the environment names a proxy.
constexpr const char* kNoProxyHosts = "localhost,127.0.0.1,::1";

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct BodySink {
    std::string bytes;
    std::size_t limit = 0;
};

// Returning less than was offered makes curl abort the transfer with a write error.
std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t length = size * count;
    if (length > sink->limit - sink->bytes.size()) return 0;
    try {
        sink->bytes.append(data, length);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return length;
}

curl_slist* buildHeaderList(bool withCacheControl) {
    curl_slist* list = nullptr;
    for (std::size_t i = 0; i < kPostHeaders.size(); ++i) {
        if (i == kCacheControlIndex && !withCacheControl) continue;
        curl_slist* extended = curl_slist_append(list, kPostHeaders[i]);
        if (extended == nullptr) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = extended;
    }
    return list;
}

}  // namespace

CurlGlobal::CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }

CurlGlobal::~CurlGlobal() { curl_global_cleanup(); }

CurlTransport::CurlTransport(HttpTimeouts timeouts, std::size_t maxBodyBytes)
    : timeouts_(timeouts), maxBodyBytes_(maxBodyBytes) {}

std::string CurlTransport::post(const std::string& url, const std::string& body) {
    return perform(Method::Post, url, &body);
}

std::string CurlTransport::get(const std::string& url) {
    return perform(Method::Get, url, nullptr);
}

std::string CurlTransport::plainGet(const std::string& url) {
    return perform(Method::PlainGet, url, nullptr);
}

std::string CurlTransport::perform(Method method, const std::string& url, const std::string* body) {
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) return {};
    CURL* h = easy.get();

    std::unique_ptr<curl_slist, SlistDeleter> headers;
    if (method != Method::PlainGet) {
        headers.reset(buildHeaderList(method == Method::Post));
        if (!headers) return {};
    }

    BodySink sink;
    sink.limit = maxBodyBytes_;

    bool configured =
        curl_easy_setopt(h, CURLOPT_URL, url.c_str()) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_NOPROXY, kNoProxyHosts) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1) == CURLE_OK &&
        // Time-outs must not rely on SIGALRM: the program has other threads.
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(timeouts_.connect.count())) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts_.total.count())) ==
            CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodyBytes_)) ==
            CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &appendBody) == CURLE_OK &&
        curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink) == CURLE_OK;

    if (configured && headers) {
        // The header list names Accept-Encoding itself (so it keeps its place); this
        // option is what makes curl decode a deflate-coded answer.
        configured = curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK &&
                     curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "deflate") == CURLE_OK;
    }
    if (configured && method == Method::Post) {
        // POSTFIELDS does not copy: `body` outlives the transfer.
        configured = curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE,
                                      static_cast<curl_off_t>(body->size())) == CURLE_OK &&
                     curl_easy_setopt(h, CURLOPT_POSTFIELDS, body->data()) == CURLE_OK;
    }
    if (!configured) return {};

    if (curl_easy_perform(h) != CURLE_OK) return {};
    return std::move(sink.bytes);
}

}  // namespace sscplan
