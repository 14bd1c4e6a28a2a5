#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace sscplan::testing {

// An HTTP server on a free loopback port, for what a real server does not do on demand:
// break off a download, answer with an error status. Stopped by its destructor.
class FakeHttpServer {
  public:
    FakeHttpServer();
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    // GET `path` answers 200 with `body` and its length.
    void serve(const std::string& path, const std::string& body);
    // GET `path` announces the length of `body`, sends its first `sentBytes` bytes and
    // closes the connection, as a server that goes away mid-download.
    void serveBrokenOff(const std::string& path, const std::string& body, std::size_t sentBytes);
    // GET `path` answers `body` in chunks, without announcing a length.
    void serveChunked(const std::string& path, const std::string& body);

    // Stops answering; later connections are refused.
    void stop();

    std::string url(const std::string& path) const;

  private:
    struct Route {
        std::string body;
        std::size_t sentBytes;
        bool chunked;
    };

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, Route> routes_;
};

}  // namespace sscplan::testing
