// ssc-loadgen: load on a local ssc-server over the full cloud-function protocol.
//
//   ssc-loadgen --url http://127.0.0.1:PORT [--call newestdraw|newphase]
//               [--clients N] [--duration SECONDS] [--rate CALLS_PER_SECOND]
//               [--threads T] [--app-id N]
//
// Each client holds one keep-alive connection. A "newestdraw" call is the desktop
// program's whole exchange: the token request, then the enciphered newestdraw request,
// whose reply is deciphered and checked. A "newphase" call is the latest-period GET.
// Without --rate the load is a closed loop (every client starts its next call as soon as
// its last one returns); with --rate calls are started on a fixed timetable and each
// call's latency counts from its planned start, so time spent waiting for a free client
// is included. It stops by itself after --duration and talks to loopback only.

#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "server/protocol.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string host = "127.0.0.1";
    int port = 0;
    bool newestDraw = true;
    int clients = 200;
    double seconds = 10;
    double rate = 0;  // 0: closed loop
    int threads = 2;
    std::string appId = "1017";
};

struct Results {
    std::vector<std::uint32_t> latenciesUs;
    std::uint64_t failures = 0;
    std::uint64_t reconnects = 0;
    std::uint64_t missedStarts = 0;  // open loop: planned calls never started before the end
};

bool isLoopback(const std::string& host) {
    in_addr v4{};
    return host == "localhost" || host == "::1" ||
           (inet_pton(AF_INET, host.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127);
}

// The value of a string member in a flat JSON reply, e.g. "data":"...": enough for the
// replies of the server, whose such values hold no escapes.
std::optional<std::string> member(const std::string& json, const std::string& key) {
    const std::string mark = "\"" + key + "\":\"";
    const std::size_t start = json.find(mark);
    if (start == std::string::npos) return std::nullopt;
    const std::size_t from = start + mark.size();
    const std::size_t end = json.find('"', from);
    if (end == std::string::npos) return std::nullopt;
    return json.substr(from, end - from);
}

std::string sessionToken(const Options& options) {
    httplib::Client http(options.host, options.port);
    http.set_connection_timeout(3);
    http.set_read_timeout(5);
    auto token = http.Post("/appinit.php", "DATA=GETRAND?" + std::to_string(std::time(nullptr)),
                           "application/x-www-form-urlencoded");
    if (!token) return {};
    const auto tokenHex = member(token->body, "data");
    if (!tokenHex) return {};
    nlohmann::ordered_json request;
    request["rand"] = "42";
    request["funname"] = "init";
    request["appid"] = options.appId;
    request["param"] = nlohmann::json::array();
    const std::string body =
        "DATA=" + sscplan::protocol::encodePayload(sscplan::protocol::percentEncode(request.dump()),
                                                   sscplan::protocol::decodeToken(*tokenHex));
    auto init = http.Post("/appinit.php", body, "application/x-www-form-urlencoded");
    if (!init) return {};
    const auto data = member(init->body, "data");
    if (!data) return {};
    const auto settings =
        nlohmann::json::parse(sscplan::protocol::decodeReplyData(*data, 42), nullptr, false);
    return settings.is_object() ? settings.value("token", std::string()) : std::string();
}

// One client: a keep-alive connection and the call it is in.
struct Connection {
    int fd = -1;
    int step = 0;  // 0 idle, 1 token request sent, 2 call sent
    std::string out;
    std::size_t sent = 0;
    std::string in;
    Clock::time_point started;  // planned start of the call
    std::int64_t rand = 0;
    bool closeAfter = false;
};

class Worker {
  public:
    Worker(const Options& options, const std::string& session, int clients, double rate)
        : options_(options),
          session_(session),
          connections_(static_cast<std::size_t>(clients)),
          rate_(rate),
          random_(std::random_device{}()) {}

    // The measured span; set before run.
    void setSpan(Clock::time_point begin, Clock::time_point end) {
        begin_ = begin;
        end_ = end;
    }

    bool connectAll() {
        epoll_ = epoll_create1(0);
        for (Connection& c : connections_) {
            if (!open(c)) return false;
        }
        return true;
    }

    void run() {
        Clock::time_point nextPlanned = begin_;
        const auto interval = rate_ > 0 ? std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(1.0 / rate_))
                                        : Clock::duration::zero();
        std::deque<Connection*> idle;
        for (Connection& c : connections_) idle.push_back(&c);
        while (Clock::now() < begin_) std::this_thread::sleep_for(std::chrono::microseconds(100));
        epoll_event events[256];
        for (;;) {
            const auto now = Clock::now();
            if (now >= end_) break;
            if (rate_ > 0) {
                while (nextPlanned <= now) {
                    planned_.push_back(nextPlanned);
                    nextPlanned += interval;
                }
                while (!planned_.empty() && !idle.empty()) {
                    Connection* c = idle.front();
                    idle.pop_front();
                    start(*c, planned_.front());
                    planned_.pop_front();
                }
            } else {
                while (!idle.empty()) {
                    Connection* c = idle.front();
                    idle.pop_front();
                    start(*c, now);
                }
            }
            int timeoutMs = 100;
            if (rate_ > 0) {
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                    nextPlanned - Clock::now());
                timeoutMs = static_cast<int>(std::clamp<long long>(wait.count(), 0, 100));
            }
            const int n = epoll_wait(epoll_, events, 256, timeoutMs);
            for (int i = 0; i < n; ++i) {
                auto* c = static_cast<Connection*>(events[i].data.ptr);
                if (progress(*c)) idle.push_back(c);
            }
        }
        results_.missedStarts = planned_.size();
        for (Connection& c : connections_) {
            if (c.fd >= 0) ::close(c.fd);
        }
        ::close(epoll_);
    }

    Results& results() { return results_; }

  private:
    bool open(Connection& c) {
        c.fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
        inet_pton(AF_INET, options_.host == "localhost" ? "127.0.0.1" : options_.host.c_str(),
                  &address.sin_addr);
        timeval timeout{3, 0};
        setsockopt(c.fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        if (connect(c.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            std::perror("connect");
            return false;
        }
        const int one = 1;
        setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        fcntl(c.fd, F_SETFL, fcntl(c.fd, F_GETFL) | O_NONBLOCK);
        epoll_event event{};
        event.events = EPOLLIN | EPOLLOUT | EPOLLET;
        event.data.ptr = &c;
        epoll_ctl(epoll_, EPOLL_CTL_ADD, c.fd, &event);
        c.in.clear();
        c.closeAfter = false;
        return true;
    }

    void reopen(Connection& c) {
        epoll_ctl(epoll_, EPOLL_CTL_DEL, c.fd, nullptr);
        ::close(c.fd);
        ++results_.reconnects;
        open(c);
    }

    std::string post(const std::string& body) const {
        return "POST /draw HTTP/1.1\r\nHost: " + options_.host + ":" +
               std::to_string(options_.port) +
               "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body;
    }

    void send(Connection& c, std::string request) {
        c.out = std::move(request);
        c.sent = 0;
        flush(c);
    }

    void flush(Connection& c) {
        while (c.sent < c.out.size()) {
            const ssize_t n =
                ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
            if (n <= 0) return;  // EAGAIN: EPOLLOUT resumes; an error shows up on read
            c.sent += static_cast<std::size_t>(n);
        }
    }

    void start(Connection& c, Clock::time_point planned) {
        c.started = planned;
        if (options_.newestDraw) {
            c.step = 1;
            send(c, post("DATA=GETRAND?" + std::to_string(std::time(nullptr))));
        } else {
            c.step = 2;
            send(c, "GET /newphase HTTP/1.1\r\nHost: " + options_.host + "\r\n\r\n");
        }
    }

    // A complete response at the front of c.in: its body, and c.in keeps what follows.
    std::optional<std::string> takeResponse(Connection& c) {
        const std::size_t headerEnd = c.in.find("\r\n\r\n");
        if (headerEnd == std::string::npos) return std::nullopt;
        std::string headers = c.in.substr(0, headerEnd);
        std::transform(headers.begin(), headers.end(), headers.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        const std::size_t lengthAt = headers.find("content-length:");
        const std::size_t length = lengthAt == std::string::npos
                                       ? 0
                                       : std::strtoul(headers.c_str() + lengthAt + 15, nullptr, 10);
        if (c.in.size() < headerEnd + 4 + length) return std::nullopt;
        c.closeAfter = headers.find("connection: close") != std::string::npos;
        std::string body = c.in.substr(headerEnd + 4, length);
        c.in.erase(0, headerEnd + 4 + length);
        if (headers.compare(0, 12, "http/1.1 200") != 0) body.clear();
        return body;
    }

    // Handles readiness of `c`; true when its call has ended and it is idle again.
    bool progress(Connection& c) {
        flush(c);
        char buffer[16384];
        bool closed = false;
        for (;;) {
            const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                c.in.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) closed = true;
            break;
        }
        if (c.step == 0) {
            if (closed) reopen(c);
            return false;
        }
        const auto body = takeResponse(c);
        if (!body) {
            if (!closed) return false;
            // The server closed an idle keep-alive connection as the request went out:
            // send it again on a new one.
            const std::string request = c.out;
            reopen(c);
            send(c, request);
            return false;
        }
        bool ok = !body->empty();
        bool done = true;
        if (ok && c.step == 1) {
            const auto tokenHex = member(*body, "data");
            ok = tokenHex && member(*body, "errcode") == "0";
            if (ok) {
                c.rand = std::uniform_int_distribution<int>(0, 9999)(random_);
                const std::string request = "{\"rand\":\"" + std::to_string(c.rand) +
                                            "\",\"funname\":\"newestdraw\",\"appid\":\"" +
                                            options_.appId + "\",\"param\":[\"" + session_ + "\"]}";
                const std::string payload =
                    sscplan::protocol::encodePayload(sscplan::protocol::percentEncode(request),
                                                     sscplan::protocol::decodeToken(*tokenHex));
                if (closed || c.closeAfter) reopen(c);
                c.step = 2;
                send(c, post("DATA=" + payload));
                done = false;
            }
        } else if (ok && options_.newestDraw) {
            const auto data = member(*body, "data");
            ok = data && member(*body, "errcode") == "0" &&
                 sscplan::protocol::decodeReplyData(*data, c.rand).starts_with("{\"data\":\"");
        }
        if (done) {
            const auto end = Clock::now();
            if (end <= end_) {
                if (ok) {
                    results_.latenciesUs.push_back(static_cast<std::uint32_t>(
                        std::chrono::duration_cast<std::chrono::microseconds>(end - c.started)
                            .count()));
                } else {
                    ++results_.failures;
                }
            }
            c.step = 0;
            if (closed || c.closeAfter) reopen(c);
        } else {
            return false;
        }
        return true;
    }

    const Options& options_;
    const std::string& session_;
    std::vector<Connection> connections_;
    double rate_;
    Clock::time_point begin_, end_;
    std::mt19937 random_;
    std::deque<Clock::time_point> planned_;
    int epoll_ = -1;
    Results results_;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            std::cerr << "ssc-loadgen: " << name << " needs a value\n";
            return false;
        }
        const std::string value = argv[++i];
        if (name == "--url") {
            const std::string prefix = "http://";
            const std::size_t colon = value.rfind(':');
            if (!value.starts_with(prefix) || colon < prefix.size()) return false;
            options.host = value.substr(prefix.size(), colon - prefix.size());
            options.port = std::atoi(value.c_str() + colon + 1);
        } else if (name == "--call") {
            if (value != "newestdraw" && value != "newphase") return false;
            options.newestDraw = value == "newestdraw";
        } else if (name == "--clients") {
            options.clients = std::atoi(value.c_str());
        } else if (name == "--duration") {
            options.seconds = std::atof(value.c_str());
        } else if (name == "--rate") {
            options.rate = std::atof(value.c_str());
        } else if (name == "--threads") {
            options.threads = std::atoi(value.c_str());
        } else if (name == "--app-id") {
            options.appId = value;
        } else {
            std::cerr << "ssc-loadgen: unknown option " << name << "\n";
            return false;
        }
    }
    if (options.port <= 0 || options.port > 65535 || options.clients < 1 ||
        options.clients > 10000 || options.seconds <= 0 || options.seconds > 3600 ||
        options.threads < 1 || options.threads > 64 || options.rate < 0) {
        std::cerr << "ssc-loadgen: bad options\n";
        return false;
    }
    if (!isLoopback(options.host)) {
        std::cerr << "ssc-loadgen: only loopback addresses are loaded, not " << options.host
                  << "\n";
        return false;
    }
    options.threads = std::min(options.threads, options.clients);
    return true;
}

std::uint32_t percentile(const std::vector<std::uint32_t>& sorted, double p) {
    if (sorted.empty()) return 0;
    const auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1));
    return sorted[index];
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: ssc-loadgen --url http://127.0.0.1:PORT [--call newestdraw|newphase]"
                     " [--clients N] [--duration S] [--rate R] [--threads T] [--app-id N]\n";
        return 2;
    }
    std::string session;
    if (options.newestDraw) {
        session = sessionToken(options);
        if (session.empty()) {
            std::cerr << "ssc-loadgen: init on the server failed\n";
            return 1;
        }
    }
    // Every connection is open before the clock starts.
    std::vector<std::unique_ptr<Worker>> workers;
    for (int t = 0; t < options.threads; ++t) {
        const int clients =
            options.clients / options.threads + (t < options.clients % options.threads ? 1 : 0);
        workers.push_back(
            std::make_unique<Worker>(options, session, clients, options.rate / options.threads));
        if (!workers.back()->connectAll()) return 1;
    }
    const auto begin = Clock::now() + std::chrono::milliseconds(50);
    const auto end = begin + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(options.seconds));
    for (auto& worker : workers) worker->setSpan(begin, end);
    std::vector<std::thread> threads;
    for (auto& worker : workers) threads.emplace_back([&worker] { worker->run(); });
    for (auto& thread : threads) thread.join();

    Results all;
    for (auto& worker : workers) {
        Results& r = worker->results();
        all.latenciesUs.insert(all.latenciesUs.end(), r.latenciesUs.begin(), r.latenciesUs.end());
        all.failures += r.failures;
        all.reconnects += r.reconnects;
        all.missedStarts += r.missedStarts;
    }
    std::sort(all.latenciesUs.begin(), all.latenciesUs.end());
    const double seconds = options.seconds;
    std::printf(
        "call=%s mode=%s clients=%d threads=%d duration=%.1fs%s\n",
        options.newestDraw ? "newestdraw" : "newphase", options.rate > 0 ? "open" : "closed",
        options.clients, options.threads, seconds,
        options.rate > 0 ? (" offered=" + std::to_string(options.rate) + "/s").c_str() : "");
    std::printf("calls=%zu calls/s=%.0f failures=%llu reconnects=%llu not-started=%llu\n",
                all.latenciesUs.size(), static_cast<double>(all.latenciesUs.size()) / seconds,
                static_cast<unsigned long long>(all.failures),
                static_cast<unsigned long long>(all.reconnects),
                static_cast<unsigned long long>(all.missedStarts));
    std::printf("latency p50=%.2fms p90=%.2fms p99=%.2fms max=%.2fms\n",
                percentile(all.latenciesUs, 0.50) / 1000.0,
                percentile(all.latenciesUs, 0.90) / 1000.0,
                percentile(all.latenciesUs, 0.99) / 1000.0,
                (all.latenciesUs.empty() ? 0 : all.latenciesUs.back()) / 1000.0);
    return all.failures == 0 ? 0 : 1;
}
