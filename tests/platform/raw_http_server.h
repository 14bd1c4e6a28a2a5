#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sscplan::testing {

// A loopback HTTP server that keeps each request's raw bytes exactly as they arrived (the
// header order included) and answers with bytes the test gives. One connection at a time;
// every connection is closed after its answer.
class RawHttpServer {
  public:
    // Gets the raw request, returns the raw response bytes; nullopt keeps the connection
    // open without answering until the client gives up (or the server stops).
    using Responder = std::function<std::optional<std::string>(const std::string& request)>;

    explicit RawHttpServer(Responder responder);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer&) = delete;
    RawHttpServer& operator=(const RawHttpServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path = "/") const;
    std::vector<std::string> requests() const;

    // A complete response with the given status line tail, extra header lines and body.
    static std::string response(const std::string& status, const std::string& body,
                                const std::string& extraHeaders = "");

  private:
    void serve();
    void handle(int connection);

    Responder responder_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A loopback port on which nothing listens (bound once, then released).
int closedLoopbackPort();

}  // namespace sscplan::testing
