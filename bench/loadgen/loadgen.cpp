// ssc-loadgen: load on a local ssc-server over the full cloud-function protocol.
//
//   ssc-loadgen --url http://127.0.0.1:PORT [--call newestdraw|newphase]
//               [--clients N] [--duration SECONDS] [--rate CALLS_PER_SECOND]
//               [--threads T] [--app-id N] [--timeout SECONDS] [--report-every SECONDS]
//
// Each client holds one keep-alive connection. A "newestdraw" call is the desktop
// program's whole exchange: the token request, then the enciphered newestdraw request,
// whose reply is deciphered and checked. A "newphase" call is the latest-period GET.
// Without --rate the load is a closed loop (every client starts its next call as soon as
// its last one returns); with --rate calls are started on a fixed timetable and each
// call's latency counts from its planned start, so time spent waiting for a free client
// is included. It stops by itself after --duration and talks to loopback only.
//
// A request whose reply has not fully arrived --timeout seconds after it was sent (default
// the desktop program's bound on one request) is a time-out: its connection is dropped
// and opened again. Time-outs are counted apart from failures (error replies, replies that
// do not decipher, refused connections). With --report-every a line of the calls, failures,
// time-outs and latencies of each such span is printed while the run goes on.

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
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/loadgen/latency_histogram.h"
#include "platform/http.h"
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
    double timeoutSeconds = std::chrono::duration<double>(sscplan::HttpTimeouts{}.total).count();
    double reportEvery = 0;  // 0: only the summary at the end
};

// The ends of the calls that ended within the measured span.
struct Tally {
    LatencyHistogram latencies;  // calls that succeeded
    std::uint64_t failures = 0;
    std::uint64_t timeouts = 0;

    void merge(const Tally& other) {
        latencies.merge(other.latencies);
        failures += other.failures;
        timeouts += other.timeouts;
    }
};

struct Counts {
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
    const sscplan::HttpTimeouts timeouts;
    http.set_connection_timeout(std::chrono::duration_cast<std::chrono::seconds>(timeouts.connect));
    http.set_read_timeout(std::chrono::duration_cast<std::chrono::seconds>(timeouts.total));
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
    bool broken = false;  // no connection could be made: waits for the sweep, not idle
    int step = 0;         // 0 idle, 1 token request sent, 2 call sent
    std::string out;
    std::size_t sent = 0;
    std::string in;
    Clock::time_point started;  // planned start of the call
    Clock::time_point sentAt;   // when the request in `out` was first sent
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
          timeout_(std::chrono::duration_cast<Clock::duration>(
              std::chrono::duration<double>(options.timeoutSeconds))),
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
        for (Connection& c : connections_) idle_.push_back(&c);
        while (Clock::now() < begin_) std::this_thread::sleep_for(std::chrono::microseconds(100));
        epoll_event events[256];
        Clock::time_point lastSweep = begin_;
        for (;;) {
            const auto now = Clock::now();
            if (now >= end_) break;
            if (now - lastSweep >= kSweepEvery) {
                sweep(now);
                lastSweep = now;
            }
            if (rate_ > 0) {
                while (nextPlanned <= now) {
                    planned_.push_back(nextPlanned);
                    nextPlanned += interval;
                }
                while (!planned_.empty() && !idle_.empty()) {
                    Connection* c = idle_.front();
                    idle_.pop_front();
                    start(*c, planned_.front());
                    planned_.pop_front();
                }
            } else {
                while (!idle_.empty()) {
                    Connection* c = idle_.front();
                    idle_.pop_front();
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
                if (progress(*c)) idle_.push_back(c);
            }
        }
        counts_.missedStarts = planned_.size();
        for (Connection& c : connections_) {
            if (c.fd >= 0) ::close(c.fd);
        }
        ::close(epoll_);
    }

    // The calls that ended since the last take; safe while run() goes on.
    Tally takeTally() {
        const std::lock_guard lock(tallyMutex_);
        Tally taken = tally_;
        tally_.latencies.clear();
        tally_.failures = 0;
        tally_.timeouts = 0;
        return taken;
    }

    // After run() has returned.
    const Counts& counts() const { return counts_; }

  private:
    // How often requests are checked against the time-out and broken connections retried.
    static constexpr auto kSweepEvery = std::chrono::milliseconds(100);

    enum class End { kOk, kFailed, kTimedOut };

    bool open(Connection& c) {
        c.fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(options_.port));
        inet_pton(AF_INET, options_.host == "localhost" ? "127.0.0.1" : options_.host.c_str(),
                  &address.sin_addr);
        // Bounds the blocking connect as the desktop program bounds its own.
        const auto connectUs =
            std::chrono::duration_cast<std::chrono::microseconds>(sscplan::HttpTimeouts{}.connect)
                .count();
        timeval timeout{static_cast<time_t>(connectUs / 1000000),
                        static_cast<suseconds_t>(connectUs % 1000000)};
        setsockopt(c.fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        if (connect(c.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            if (!c.broken) std::perror("connect");  // once, not on every retry
            ::close(c.fd);
            c.fd = -1;
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

    // False when the new connection could not be made: `c` is broken then.
    bool reopen(Connection& c) {
        if (c.fd >= 0) {
            epoll_ctl(epoll_, EPOLL_CTL_DEL, c.fd, nullptr);
            ::close(c.fd);
        }
        ++counts_.reconnects;
        return open(c);
    }

    // Ends the call of `c`. A call that ends after the measured span is not counted.
    void finish(Connection& c, End end) {
        const auto now = Clock::now();
        c.step = 0;
        if (now > end_) return;
        const std::lock_guard lock(tallyMutex_);
        switch (end) {
            case End::kOk:
                tally_.latencies.add(static_cast<std::uint32_t>(
                    std::chrono::duration_cast<std::chrono::microseconds>(now - c.started)
                        .count()));
                break;
            case End::kFailed:
                ++tally_.failures;
                break;
            case End::kTimedOut:
                ++tally_.timeouts;
                break;
        }
    }

    // Requests past the time-out end as time-outs; broken connections are tried again.
    void sweep(Clock::time_point now) {
        for (Connection& c : connections_) {
            if (c.broken) {
                c.broken = !reopen(c);
                if (!c.broken) idle_.push_back(&c);
            } else if (c.step != 0 && now - c.sentAt > timeout_) {
                finish(c, End::kTimedOut);
                c.broken = !reopen(c);
                if (!c.broken) idle_.push_back(&c);
            }
        }
    }

    // Sends the next request of the call of `c`, on a new connection when `renew`; a
    // connection that cannot be made fails the call and leaves `c` broken.
    bool sendStep(Connection& c, int step, std::string request, bool renew) {
        if ((renew || c.fd < 0) && !reopen(c)) {
            finish(c, End::kFailed);
            c.broken = true;
            return false;
        }
        c.step = step;
        c.sentAt = Clock::now();
        send(c, std::move(request));
        return true;
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
            sendStep(c, 1, post("DATA=GETRAND?" + std::to_string(std::time(nullptr))), false);
        } else {
            sendStep(c, 2, "GET /newphase HTTP/1.1\r\nHost: " + options_.host + "\r\n\r\n", false);
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
            // An idle connection the server closed; when it cannot be made again, the
            // next call on it fails.
            if (closed) reopen(c);
            return false;
        }
        const auto body = takeResponse(c);
        if (!body) {
            if (!closed) return false;
            // The server closed an idle keep-alive connection as the request went out:
            // send it again on a new one, within the time-out of the first sending.
            const std::string request = c.out;
            const auto sentAt = c.sentAt;
            if (sendStep(c, c.step, request, true)) c.sentAt = sentAt;
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
                sendStep(c, 2, post("DATA=" + payload), closed || c.closeAfter);
                done = false;
            }
        } else if (ok && options_.newestDraw) {
            const auto data = member(*body, "data");
            ok = data && member(*body, "errcode") == "0" &&
                 sscplan::protocol::decodeReplyData(*data, c.rand).starts_with("{\"data\":\"");
        }
        if (!done) return false;
        finish(c, ok ? End::kOk : End::kFailed);
        if (closed || c.closeAfter) reopen(c);
        return true;
    }

    const Options& options_;
    const std::string& session_;
    std::vector<Connection> connections_;
    double rate_;
    Clock::duration timeout_;
    Clock::time_point begin_, end_;
    std::mt19937 random_;
    std::deque<Connection*> idle_;  // open connections without a call
    std::deque<Clock::time_point> planned_;
    int epoll_ = -1;
    std::mutex tallyMutex_;
    Tally tally_;
    Counts counts_;
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
        } else if (name == "--timeout") {
            options.timeoutSeconds = std::atof(value.c_str());
        } else if (name == "--report-every") {
            options.reportEvery = std::atof(value.c_str());
        } else {
            std::cerr << "ssc-loadgen: unknown option " << name << "\n";
            return false;
        }
    }
    if (options.port <= 0 || options.port > 65535 || options.clients < 1 ||
        options.clients > 10000 || options.seconds <= 0 || options.seconds > 86400 ||
        options.threads < 1 || options.threads > 64 || options.rate < 0 ||
        !(options.timeoutSeconds > 0 && options.timeoutSeconds <= 600) ||
        !(options.reportEvery >= 0 && options.reportEvery <= 86400)) {
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

double milliseconds(std::uint32_t us) { return us / 1000.0; }

// One line for the calls that ended in the `seconds` up to `at` seconds into the run.
void printSpan(const Tally& span, double at, double seconds) {
    std::printf(
        "span at=%.0fs length=%.1fs calls=%llu calls/s=%.0f failures=%llu timeouts=%llu "
        "p50=%.2fms p99=%.2fms max=%.2fms\n",
        at, seconds, static_cast<unsigned long long>(span.latencies.count()),
        static_cast<double>(span.latencies.count()) / seconds,
        static_cast<unsigned long long>(span.failures),
        static_cast<unsigned long long>(span.timeouts),
        milliseconds(span.latencies.percentile(0.50)),
        milliseconds(span.latencies.percentile(0.99)), milliseconds(span.latencies.max()));
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::cerr << "usage: ssc-loadgen --url http://127.0.0.1:PORT [--call newestdraw|newphase]"
                     " [--clients N] [--duration S] [--rate R] [--threads T] [--app-id N]"
                     " [--timeout S] [--report-every S]\n";
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

    const auto takeAll = [&workers] {
        Tally span;
        for (auto& worker : workers) span.merge(worker->takeTally());
        return span;
    };
    const auto secondsSince = [begin](Clock::time_point at) {
        return std::chrono::duration<double>(at - begin).count();
    };
    Tally all;
    Clock::time_point spanStart = begin;
    if (options.reportEvery > 0) {
        const auto every = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(options.reportEvery));
        for (auto at = begin + every; at < end; at += every) {
            std::this_thread::sleep_until(at);
            const Tally span = takeAll();
            printSpan(span, secondsSince(at), secondsSince(at) - secondsSince(spanStart));
            all.merge(span);
            spanStart = at;
        }
    }
    for (auto& thread : threads) thread.join();
    const Tally last = takeAll();
    if (options.reportEvery > 0 && end > spanStart) {
        printSpan(last, secondsSince(end), secondsSince(end) - secondsSince(spanStart));
    }
    all.merge(last);

    Counts counts;
    for (auto& worker : workers) {
        counts.reconnects += worker->counts().reconnects;
        counts.missedStarts += worker->counts().missedStarts;
    }
    const double seconds = options.seconds;
    std::printf(
        "call=%s mode=%s clients=%d threads=%d duration=%.1fs%s\n",
        options.newestDraw ? "newestdraw" : "newphase", options.rate > 0 ? "open" : "closed",
        options.clients, options.threads, seconds,
        options.rate > 0 ? (" offered=" + std::to_string(options.rate) + "/s").c_str() : "");
    std::printf(
        "calls=%llu calls/s=%.0f failures=%llu timeouts=%llu reconnects=%llu not-started=%llu\n",
        static_cast<unsigned long long>(all.latencies.count()),
        static_cast<double>(all.latencies.count()) / seconds,
        static_cast<unsigned long long>(all.failures),
        static_cast<unsigned long long>(all.timeouts),
        static_cast<unsigned long long>(counts.reconnects),
        static_cast<unsigned long long>(counts.missedStarts));
    std::printf("latency p50=%.2fms p90=%.2fms p99=%.2fms max=%.2fms\n",
                milliseconds(all.latencies.percentile(0.50)),
                milliseconds(all.latencies.percentile(0.90)),
                milliseconds(all.latencies.percentile(0.99)), milliseconds(all.latencies.max()));
    return all.failures == 0 && all.timeouts == 0 ? 0 : 1;
}
