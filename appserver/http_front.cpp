#include "appserver/http_front.h"

#include <httplib.h>
#include <sys/socket.h>

#include <chrono>
#include <set>

#include "appserver/log_line.h"
#include "appserver/pages.h"
#include "appserver/schedule.h"

namespace sscplan::appserver {
namespace {

constexpr std::size_t kHistoryDraws = 120;
constexpr std::size_t kDrainBytes = 1024 * 1024;
constexpr int kListenBacklog = 1024;

// Hands every listener's connections to the shared pool. The pool outlives the
// listeners, so a listener's shutdown of its queue leaves the pool running.
class SharedQueue final : public httplib::TaskQueue {
  public:
    explicit SharedQueue(httplib::TaskQueue& pool) : pool_(pool) {}
    void enqueue(std::function<void()> fn) override { pool_.enqueue(std::move(fn)); }
    void shutdown() override {}

  private:
    httplib::TaskQueue& pool_;
};

// Microseconds since `start`.
long long elapsedUs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

void logRequest(const httplib::Request& req, const std::string& function, const char* result,
                std::chrono::steady_clock::time_point start) {
    logLine(function + " " + result + " " + std::to_string(elapsedUs(start)) + "us " + req.method +
            " " + req.path);
}

// Whether a Content-Length text is a number no larger than `limit`.
bool lengthAtMost(const std::string& text, std::size_t limit) {
    if (text.size() > 12) return false;
    std::size_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value <= limit;
}

// A Host header fit to be written into the addresses the server hands out.
bool plausibleHost(const std::string& host) {
    if (host.empty() || host.size() > 255) return false;
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok) return false;
    }
    return true;
}

// A route pattern that matches exactly `path`.
std::string literalPattern(const std::string& path) {
    std::string pattern;
    for (char c : path) {
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

std::string hostForUrl(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

}  // namespace

struct HttpFront::Listener {
    httplib::Server server;
    std::thread thread;
    int listenFd = -1;
};

HttpFront::HttpFront(const CloudService& service, const DrawBoard& board, DrawStore& store,
                     std::optional<OfferedFile> offered)
    : service_(service),
      board_(board),
      store_(store),
      offered_(std::move(offered)),
      pool_(std::make_unique<httplib::ThreadPool>(kWorkerThreads)) {}

HttpFront::~HttpFront() { stop(); }

bool HttpFront::listen(const std::string& host, int port, std::string& bound, std::string& error) {
    auto listener = std::make_unique<Listener>();
    httplib::Server& server = listener->server;
    httplib::TaskQueue& pool = *pool_;
    server.new_task_queue = [&pool] { return new SharedQueue(pool); };
    server.set_keep_alive_max_count(kKeepAliveRequests);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_read_timeout(kIoTimeoutSeconds);
    server.set_write_timeout(kIoTimeoutSeconds);
    server.set_tcp_nodelay(true);
    server.set_payload_max_length(kDrainBytes);
    // The library listens with a backlog of 5, which drops the connections of a burst of
    // clients (each then waits a second for its SYN to be sent again). Listening again on
    // the same socket raises the backlog; the callback runs for the listening socket only.
    int& listenFd = listener->listenFd;
    server.set_socket_options([&listenFd](int fd) {
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listenFd = fd;
    });

    // Binding on this thread: a failure is reported here, and stop() can never meet a
    // listener that has not started.
    int boundPort = port;
    if (port == 0) {
        boundPort = server.bind_to_any_port(host);
        if (boundPort <= 0) boundPort = -1;
    } else if (!server.bind_to_port(host, port)) {
        boundPort = -1;
    }
    if (boundPort < 0) {
        error = "cannot listen on " + hostForUrl(host) + ":" + std::to_string(port);
        return false;
    }
    if (listenFd >= 0) ::listen(listenFd, kListenBacklog);
    bound = hostForUrl(host) + ":" + std::to_string(boundPort);
    const bool wildcard = host == "0.0.0.0" || host == "::" || host.empty();
    route(server, "http://" + bound, wildcard);

    listener->thread = std::thread([&server] { server.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const bool running = server.is_running();
    listeners_.push_back(std::move(listener));
    if (!running) {
        error = "the listener on " + bound + " did not start";
        return false;
    }
    return true;
}

void HttpFront::stop() {
    for (auto& listener : listeners_) {
        if (listener->thread.joinable()) {
            listener->server.stop();
            listener->thread.join();
        }
    }
    if (pool_) {
        pool_->shutdown();
        pool_.reset();
    }
}

void HttpFront::route(httplib::Server& server, const std::string& boundBase, bool wildcard) {
    using httplib::ContentReader;
    using httplib::Request;
    using httplib::Response;
    using Clock = std::chrono::steady_clock;

    // The base of the addresses handed out: the bound one, or for a wildcard bind the
    // address the client used.
    auto baseOf = [boundBase, wildcard](const Request& req) {
        if (wildcard) {
            const std::string host = req.get_header_value("Host");
            if (plausibleHost(host)) return "http://" + host;
        }
        return boundBase;
    };

    server.Post(R"(/|/appinit\.php|/draw)",
                [this, baseOf](const Request& req, Response& res, const ContentReader& reader) {
                    const auto start = Clock::now();
                    ServiceReply reply;
                    // A body over the limit is read on and dropped up to kDrainBytes, so that the
                    // client, still sending, gets to read the refusal; a larger one is not read.
                    const std::string declared = req.get_header_value("Content-Length");
                    bool tooLarge = !declared.empty() && !lengthAtMost(declared, kDrainBytes);
                    std::string body;
                    if (!tooLarge) {
                        std::size_t received = 0;
                        const bool read = reader([&](const char* data, std::size_t length) {
                            received += length;
                            if (received > kMaxBodyBytes) {
                                tooLarge = true;
                                body.clear();
                            } else {
                                body.append(data, length);
                            }
                            return received <= kDrainBytes;
                        });
                        if (!read && !tooLarge) {
                            res.status = 400;
                            logRequest(req, "-", "unreadable-body", start);
                            return;
                        }
                    }
                    if (tooLarge) {
                        // Part of the body may be left unread, so the connection cannot carry
                        // another request.
                        reply = CloudService::bodyTooLarge();
                        res.set_header("Connection", "close");
                    } else {
                        reply = service_.handle(body, baseOf(req));
                    }
                    res.set_content(reply.body, "application/json; charset=utf-8");
                    logRequest(req, reply.function, reply.errcode, start);
                });

    server.Get(kLatestPeriodPath, [this](const Request& req, Response& res) {
        const auto start = Clock::now();
        const auto snapshot = board_.current();
        if (snapshot->latestPeriod.empty()) {
            res.status = 503;
        } else {
            res.status = 200;
            res.set_content(snapshot->latestPeriod, "text/plain; charset=utf-8");
        }
        logRequest(req, "newphase", std::to_string(res.status).c_str(), start);
    });

    server.Get(kPanelPath, [this, baseOf](const Request& req, Response& res) {
        const auto start = Clock::now();
        const auto snapshot = board_.current();
        res.set_content(panelPage(snapshot->recent, baseOf(req) + kHistoryPath),
                        "text/html; charset=utf-8");
        logRequest(req, "panel", "200", start);
    });

    server.Get(R"(/|/history)", [this, baseOf](const Request& req, Response& res) {
        const auto start = Clock::now();
        const auto snapshot = board_.current();
        std::vector<std::string> days;
        std::set<std::string> seen;
        for (const DrawRecord& draw : snapshot->recent) {
            if (seen.insert(draw.date).second) days.push_back(draw.date);
        }
        const std::string date = req.get_param_value("date");
        std::string page;
        if (parseDateText(date)) {
            page =
                historyPage(date + " 开奖", store_.ofDate(date), days, baseOf(req) + kHistoryPath);
        } else {
            DrawHistory latest(
                snapshot->recent.begin(),
                snapshot->recent.begin() +
                    static_cast<long>(std::min(kHistoryDraws, snapshot->recent.size())));
            page = historyPage("最新开奖", latest, days, baseOf(req) + kHistoryPath);
        }
        res.set_content(page, "text/html; charset=utf-8");
        logRequest(req, "history", "200", start);
    });

    if (offered_) {
        const std::string path = std::string(kUpdatePrefix) + offered_->name;
        server.Get(literalPattern(path), [this](const Request& req, Response& res) {
            const auto start = Clock::now();
            res.set_content(offered_->bytes, "application/octet-stream");
            logRequest(req, "update", "200", start);
        });
        server.Get(literalPattern(path + ".sig"), [this](const Request& req, Response& res) {
            const auto start = Clock::now();
            res.set_content(offered_->signature, "application/octet-stream");
            logRequest(req, "update-signature", "200", start);
        });
    }

    server.set_error_handler([](const Request& req, Response& res) {
        logLine("- " + std::to_string(res.status) + " " + req.method + " " + req.path);
    });
}

}  // namespace sscplan::appserver
