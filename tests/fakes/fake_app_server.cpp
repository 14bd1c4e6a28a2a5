#include "tests/fakes/fake_app_server.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "server/protocol.h"

namespace sscplan::testing {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kTokenPrefix = "DATA=GETRAND?";
constexpr std::string_view kCallPrefix = "DATA=";
constexpr std::size_t kKeptTokens = 256;
constexpr int kDefaultRows = 60;
// A held connection is released at the latest after this, so a forgotten fault cannot
// keep a test binary from ending.
constexpr auto kLongestHold = std::chrono::seconds(10);
// Every held connection keeps a worker: enough of them that held ones never delay others.
constexpr std::size_t kWorkers = 32;

std::string text(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string reply(const std::string& errcode, const std::string& msg, const std::string& data) {
    return text(Json{{"errcode", errcode}, {"msg", msg}, {"data", data}});
}

std::string periodText(int period) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%03d", period);
    return buffer;
}

std::string drawTimeOf(int period) {
    const int minutes = period * 10;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "2026-12-11 %02d:%02d:00", minutes / 60 % 24,
                  minutes % 60);
    return buffer;
}

std::string numbersOf(int period) {
    std::string digits;
    for (int k = 0; k < 5; ++k) digits += static_cast<char>('0' + (period * 7 + k * 3) % 10);
    return digits;
}

std::vector<std::string> defaultRows() {
    std::vector<std::string> rows;
    for (int period = kDefaultRows; period >= 1; --period) {
        rows.push_back("20261211|+|" + periodText(period) + "|+|" + drawTimeOf(period) + "|+|" +
                       numbersOf(period) + "|+|" + std::to_string(10000 + period * 37));
    }
    return rows;
}

std::string join(const std::vector<std::string>& pieces, std::size_t count,
                 const std::string& separator) {
    std::string joined;
    for (std::size_t i = 0; i < count && i < pieces.size(); ++i) {
        if (i > 0) joined += separator;
        joined += pieces[i];
    }
    return joined;
}

std::int64_t integerOf(const std::string& digits) {
    try {
        return std::stoll(digits);
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

FakeAppServer::FakeAppServer() : server_(std::make_unique<httplib::Server>()) {
    server_->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server_->Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
        handlePost(request, response);
    });
    server_->Get(kLatestPeriodPath, [this](const httplib::Request&, httplib::Response& response) {
        handleLatestPeriod(response);
    });
    // bind on this thread, listen on another: stop() before listening began would hang.
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("no loopback port for the fake server");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    initData_ = Json{
        {"userurl", url("/user")},
        {"drawurl", url(kDrawPath)},
        {"newphase", url(kLatestPeriodPath)},
        {"advert1", url("/advert.html")},
        {"advert2", ""},
        {"version", "1.41"},
        {"proupurl", url("/update.bin")},
        {"seo", "重庆时时彩"},
        {"token", kSessionToken},
    };
    drawRows_ = defaultRows();
    latestPeriodText_ = "20261211" + periodText(kDefaultRows);
}

FakeAppServer::~FakeAppServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_->stop();
    thread_.join();
}

std::string FakeAppServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void FakeAppServer::setFault(Stage stage, Fault fault) {
    std::lock_guard lock(mutex_);
    switch (stage) {
        case Stage::Token:
            tokenFault_ = fault;
            break;
        case Stage::Call:
            callFault_ = fault;
            break;
        case Stage::LatestPeriod:
            latestPeriodFault_ = fault;
            break;
    }
}

void FakeAppServer::setRefusal(const std::string& errcode, const std::string& msg) {
    std::lock_guard lock(mutex_);
    refusalCode_ = errcode;
    refusalMsg_ = msg;
}

nlohmann::ordered_json FakeAppServer::initData() const {
    std::lock_guard lock(mutex_);
    return initData_;
}

void FakeAppServer::setInitData(nlohmann::ordered_json data) {
    std::lock_guard lock(mutex_);
    initData_ = std::move(data);
}

std::vector<std::string> FakeAppServer::drawRows() const {
    std::lock_guard lock(mutex_);
    return drawRows_;
}

void FakeAppServer::setDrawRows(std::vector<std::string> rows) {
    std::lock_guard lock(mutex_);
    drawRows_ = std::move(rows);
}

void FakeAppServer::setTableText(std::optional<std::string> text) {
    std::lock_guard lock(mutex_);
    tableText_ = std::move(text);
}

std::string FakeAppServer::newestDrawText() const {
    std::lock_guard lock(mutex_);
    return newestDrawTextLocked();
}

std::string FakeAppServer::newestDrawTextLocked() const {
    if (newestDrawText_) return *newestDrawText_;
    const std::string next =
        "20261211| |" + periodText(kDefaultRows + 1) + "| |" + drawTimeOf(kDefaultRows + 1);
    if (drawRows_.empty()) return next;
    std::string latest = drawRows_.front();
    for (std::size_t at = latest.find("|+|"); at != std::string::npos; at = latest.find("|+|")) {
        latest.replace(at, 3, "| |");
    }
    return latest + "| |" + next;
}

void FakeAppServer::setNewestDrawText(std::string text) {
    std::lock_guard lock(mutex_);
    newestDrawText_ = std::move(text);
}

void FakeAppServer::setGetInitText(std::string text) {
    std::lock_guard lock(mutex_);
    getInitText_ = std::move(text);
}

void FakeAppServer::setLatestPeriodText(std::string text) {
    std::lock_guard lock(mutex_);
    latestPeriodText_ = std::move(text);
}

int FakeAppServer::tokenRequests() const {
    std::lock_guard lock(mutex_);
    return tokenRequests_;
}

int FakeAppServer::latestPeriodRequests() const {
    std::lock_guard lock(mutex_);
    return latestPeriodRequests_;
}

std::vector<FakeAppServer::SeenCall> FakeAppServer::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeAppServer::handlePost(const httplib::Request& request, httplib::Response& response) {
    const std::string& body = request.body;
    if (body.starts_with(kTokenPrefix)) {
        Fault fault;
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            ++tokenRequests_;
            fault = tokenFault_;
            answer = answerToken();
        }
        send(response, answer, fault);
        return;
    }
    if (body.starts_with(kCallPrefix)) {
        const std::string payload = body.substr(kCallPrefix.size());
        Fault fault;
        std::string answer;
        {
            std::lock_guard lock(mutex_);
            fault = callFault_;
            answer = answerCall(request.path, payload, fault);
        }
        send(response, answer, fault);
        return;
    }
    response.set_content(reply("400", "请求无效", ""), "application/json");
}

void FakeAppServer::handleLatestPeriod(httplib::Response& response) {
    Fault fault;
    std::string answer;
    {
        std::lock_guard lock(mutex_);
        ++latestPeriodRequests_;
        fault = latestPeriodFault_;
        answer = latestPeriodText_;
    }
    send(response, answer, fault);
}

std::string FakeAppServer::answerToken() {
    const std::string token = "tk" + std::to_string(++tokenCounter_ * 7919 + 104729);
    issuedTokens_.push_back(token);
    if (issuedTokens_.size() > kKeptTokens) issuedTokens_.erase(issuedTokens_.begin());
    return reply("0", "", protocol::encodeToken(token));
}

std::string FakeAppServer::answerCall(const std::string& path, const std::string& payload,
                                      Fault fault) {
    // The call token is the one issued token under which the payload deciphers into a
    // JSON request; it is used up by that.
    for (auto token = issuedTokens_.begin(); token != issuedTokens_.end(); ++token) {
        std::string escaped;
        std::string decoded;
        if (!protocol::decodePayload(payload, *token, escaped) ||
            !protocol::percentDecode(escaped, decoded)) {
            continue;
        }
        const Json request = Json::parse(decoded, nullptr, false);
        if (!request.is_object()) continue;
        issuedTokens_.erase(token);

        SeenCall call;
        call.path = path;
        call.funname = request.value("funname", "");
        call.appid = request.value("appid", "");
        call.rand = request.value("rand", "");
        if (request.contains("param") && request["param"].is_array()) {
            for (const Json& param : request["param"]) {
                call.params.push_back(param.is_string() ? param.get<std::string>() : text(param));
            }
        }
        calls_.push_back(call);
        return answerFunction(call, integerOf(call.rand), fault);
    }
    return reply(kBadTokenCode, kBadTokenMsg, "");
}

std::string FakeAppServer::answerFunction(const SeenCall& call, std::int64_t rand, Fault fault) {
    const std::string& name = call.funname;
    if (name == "init") return encipheredReply(text(initData_), rand, fault);

    const std::string session = initData_.value("token", "");
    const bool knownQuery = name == "select_draw" || name == "select_draw_date" ||
                            name == "newestdraw" || name == "getInit";
    if (!knownQuery) return reply("404", "未知函数", "");
    if (!session.empty() && (call.params.empty() || call.params.front() != session)) {
        return reply(kBadSessionCode, kBadSessionMsg, "");
    }

    if (name == "select_draw" || name == "select_draw_date") {
        std::size_t count = drawRows_.size();
        if (name == "select_draw") {
            const std::int64_t wanted = call.params.size() > 1 ? integerOf(call.params[1]) : 0;
            count = wanted > 0 ? static_cast<std::size_t>(wanted) : 0;
        }
        const std::string table = tableText_ ? *tableText_ : join(drawRows_, count, "\r\n");
        // The rows travel as the last member of a serialised object inside the last member
        // of the reply, so their line breaks arrive escaped twice.
        return reply("0", "成功", reply("0", "", table));
    }
    if (name == "newestdraw") {
        return encipheredReply(text(Json{{"data", newestDrawTextLocked()}}), rand, fault);
    }
    return encipheredReply(text(Json{{"data", getInitText_}}), rand, fault);
}

std::string FakeAppServer::encipheredReply(const std::string& plain, std::int64_t rand,
                                           Fault fault) const {
    switch (fault) {
        case Fault::WrongDataKey:
            return reply("0", "", protocol::encodeReplyData(plain, rand + 1));
        case Fault::NonHexData:
            return reply("0", "", "zz-not-hex-" + plain.substr(0, 8));
        case Fault::NonUtf8Data:
            return reply("0", "", protocol::encodeReplyData("\xff\xfe{\"data\":\"\xc3\"}", rand));
        default:
            return reply("0", "", protocol::encodeReplyData(plain, rand));
    }
}

void FakeAppServer::send(httplib::Response& response, const std::string& body, Fault fault) {
    switch (fault) {
        case Fault::NoAnswer: {
            std::unique_lock lock(mutex_);
            stopped_.wait_for(lock, kLongestHold, [this] { return stopping_; });
            return;
        }
        case Fault::ClosedMidAnswer:
            response.set_content_provider(
                body.size() + 100, "application/json",
                [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
            return;
        case Fault::EmptyBody:
            response.set_content("", "application/json");
            return;
        case Fault::NotJson:
            response.status = 502;
            response.set_content("<html><body>502 Bad Gateway</body></html>", "text/html");
            return;
        case Fault::TruncatedJson:
            response.set_content(body.substr(0, body.size() / 2), "application/json");
            return;
        case Fault::HugeBody:
            response.set_content(std::string(kHugeBodyBytes, 'x'), "text/plain");
            return;
        case Fault::Refuse: {
            std::lock_guard lock(mutex_);
            response.set_content(reply(refusalCode_, refusalMsg_, ""), "application/json");
            return;
        }
        default:
            response.set_content(body, "application/json; charset=utf-8");
            return;
    }
}

}  // namespace sscplan::testing
