#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "appserver/cloud_service.h"
#include "appserver/draw_board.h"
#include "appserver/draw_store.h"

namespace httplib {
class Server;
class ThreadPool;
}  // namespace httplib

// HTTP listeners over the cloud service and the pages. All listeners share one pool of
// worker threads; each connection holds a worker while it is open (keep-alive included),
// so idle connections are closed after kKeepAliveSeconds.
//
//   POST /, /appinit.php, /draw       cloud functions (form body "DATA=...")
//   GET  /newphase                    the latest period identifier, e.g. 20261211-023
//   GET  /panel                       the desktop's web panel
//   GET  /, /history[?date=YYYYMMDD]  the draw history
//   GET  /update/NAME, NAME.sig       the offered update and its signature

namespace sscplan::appserver {

struct OfferedFile {
    std::string name;  // the file name the update is served under
    std::string bytes;
    std::string signature;  // the contents of FILE.sig
};

class HttpFront {
  public:
    static constexpr std::size_t kWorkerThreads = 256;
    static constexpr int kKeepAliveSeconds = 2;
    static constexpr int kKeepAliveRequests = 1000;
    static constexpr int kIoTimeoutSeconds = 5;

    // References must outlive the front.
    HttpFront(const CloudService& service, const DrawBoard& board, DrawStore& store,
              std::optional<OfferedFile> offered);
    ~HttpFront();
    HttpFront(const HttpFront&) = delete;
    HttpFront& operator=(const HttpFront&) = delete;

    // Binds `host`:`port` (port 0: a free one) and accepts connections once this returns
    // true; `bound` is then "HOST:PORT" with the port actually bound.
    bool listen(const std::string& host, int port, std::string& bound, std::string& error);

    // Stops accepting, lets the requests in flight finish and waits for them.
    void stop();

  private:
    struct Listener;
    void route(httplib::Server& server, const std::string& boundBase, bool wildcard);

    const CloudService& service_;
    const DrawBoard& board_;
    DrawStore& store_;
    const std::optional<OfferedFile> offered_;
    std::unique_ptr<httplib::ThreadPool> pool_;
    std::vector<std::unique_ptr<Listener>> listeners_;
};

}  // namespace sscplan::appserver
