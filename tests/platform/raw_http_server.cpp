#include "tests/platform/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

namespace sscplan::testing {
namespace {

constexpr int kPollMs = 20;
// No request of these tests takes longer than this to arrive.
constexpr auto kReadLimit = std::chrono::seconds(5);

int bindLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("bind");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

bool readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, kPollMs) > 0;
}

std::size_t contentLength(const std::string& head) {
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos) return 0;
    return std::stoul(lower.substr(at + 17));
}

}  // namespace

RawHttpServer::RawHttpServer(Responder responder) : responder_(std::move(responder)) {
    listener_ = bindLoopback(port_);
    ::listen(listener_, 8);
    thread_ = std::thread([this] { serve(); });
}

RawHttpServer::~RawHttpServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string RawHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> RawHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::string RawHttpServer::response(const std::string& status, const std::string& body,
                                    const std::string& extraHeaders) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
           extraHeaders + "Connection: close\r\n\r\n" + body;
}

void RawHttpServer::serve() {
    while (!stopping_) {
        if (!readable(listener_)) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        handle(connection);
        ::close(connection);
    }
}

void RawHttpServer::handle(int connection) {
    const auto deadline = std::chrono::steady_clock::now() + kReadLimit;
    std::string request;
    std::size_t wanted = std::string::npos;
    char buffer[4096];
    while (!stopping_ && std::chrono::steady_clock::now() < deadline &&
           (wanted == std::string::npos || request.size() < wanted)) {
        if (!readable(connection)) continue;
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) return;
        request.append(buffer, static_cast<std::size_t>(got));
        const auto headEnd = request.find("\r\n\r\n");
        if (wanted == std::string::npos && headEnd != std::string::npos) {
            wanted = headEnd + 4 + contentLength(request.substr(0, headEnd));
        }
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const std::optional<std::string> answer = responder_(request);
    if (!answer) {
        // Hold the connection silently until the client hangs up.
        while (!stopping_) {
            if (readable(connection) && ::recv(connection, buffer, sizeof buffer, 0) <= 0) return;
        }
        return;
    }
    std::size_t sent = 0;
    while (sent < answer->size()) {
        const ssize_t put =
            ::send(connection, answer->data() + sent, answer->size() - sent, MSG_NOSIGNAL);
        if (put <= 0) return;
        sent += static_cast<std::size_t>(put);
    }
    ::shutdown(connection, SHUT_WR);
}

int closedLoopbackPort() {
    int port = 0;
    ::close(bindLoopback(port));
    return port;
}

}  // namespace sscplan::testing
