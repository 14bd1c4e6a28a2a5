#include "tests/updater/fake_http_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>

namespace sscplan::testing {

FakeHttpServer::FakeHttpServer() : server_(std::make_unique<httplib::Server>()) {
    server_->set_read_timeout(5, 0);
    server_->set_write_timeout(5, 0);
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        Route route;
        {
            const std::lock_guard lock(mutex_);
            const auto found = routes_.find(request.path);
            if (found == routes_.end()) {
                response.status = 404;
                return;
            }
            route = found->second;
        }
        const auto body = std::make_shared<std::string>(std::move(route.body));
        if (route.chunked) {
            response.set_chunked_content_provider(
                "application/octet-stream", [body](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= body->size()) {
                        sink.done();
                        return true;
                    }
                    const std::size_t length = std::min<std::size_t>(7, body->size() - offset);
                    return sink.write(body->data() + offset, length);
                });
            return;
        }
        const std::size_t sent = std::min(route.sentBytes, body->size());
        response.set_content_provider(
            body->size(), "application/octet-stream",
            [body, sent](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                if (offset >= sent) return false;  // breaks the connection off
                return sink.write(body->data() + offset, std::min(length, sent - offset));
            });
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) ADD_FAILURE() << "the fake HTTP server could not bind";
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() only reaches a server that runs; wait (bounded) until it does.
    for (int i = 0; i < 500 && !server_->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!server_->is_running()) ADD_FAILURE() << "the fake HTTP server did not start";
}

FakeHttpServer::~FakeHttpServer() { stop(); }

void FakeHttpServer::stop() {
    server_->stop();
    if (thread_.joinable()) thread_.join();
}

void FakeHttpServer::serve(const std::string& path, const std::string& body) {
    const std::lock_guard lock(mutex_);
    routes_[path] = {body, body.size(), false};
}

void FakeHttpServer::serveBrokenOff(const std::string& path, const std::string& body,
                                    std::size_t sentBytes) {
    const std::lock_guard lock(mutex_);
    routes_[path] = {body, sentBytes, false};
}

void FakeHttpServer::serveChunked(const std::string& path, const std::string& body) {
    const std::lock_guard lock(mutex_);
    routes_[path] = {body, body.size(), true};
}

std::string FakeHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace sscplan::testing
