#include "platform/http_curl.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/raw_http_server.h"

namespace sscplan {
namespace {

using testing::RawHttpServer;
using namespace std::chrono_literals;

constexpr HttpTimeouts kShort{200ms, 500ms};
constexpr const char* kUserAgent =
    "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)";

using Header = std::pair<std::string, std::string>;

struct ParsedRequest {
    std::string requestLine;
    std::vector<Header> headers;
    std::string body;
};

ParsedRequest parseRequest(const std::string& raw) {
    ParsedRequest parsed;
    const auto headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos) return parsed;
    parsed.body = raw.substr(headEnd + 4);
    std::size_t start = 0;
    bool first = true;
    while (start < headEnd) {
        auto end = raw.find("\r\n", start);
        if (end == std::string::npos || end > headEnd) end = headEnd;
        const std::string line = raw.substr(start, end - start);
        start = end + 2;
        if (first) {
            parsed.requestLine = line;
            first = false;
            continue;
        }
        const auto colon = line.find(':');
        std::string value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') value.erase(0, 1);
        parsed.headers.emplace_back(line.substr(0, colon), value);
    }
    return parsed;
}

std::vector<Header> protocolHeaders(bool withCacheControl) {
    std::vector<Header> headers = {
        {"Accept", "*/*"},
        {"Accept-Language", "zh-CN"},
        {"User-Agent", kUserAgent},
        {"Content-Type", "application/x-www-form-urlencoded"},
        {"Accept-Encoding", "deflate"},
        {"Connection", "Keep-Alive"},
    };
    if (withCacheControl) headers.emplace_back("Cache-Control", "no-cache");
    return headers;
}

RawHttpServer::Responder answerAlways(std::string response) {
    return [response = std::move(response)](const std::string&) { return response; };
}

std::string zlibDeflate(const std::string& plain) {
    uLongf size = compressBound(plain.size());
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(plain.data()), plain.size());
    packed.resize(size);
    return packed;
}

class CurlWireTest : public ::testing::Test {
  protected:
    RawHttpServer server_{answerAlways(RawHttpServer::response("200 OK", "ok"))};
    CurlTransport transport_{kShort};

    ParsedRequest onlyRequest() const {
        const auto seen = server_.requests();
        EXPECT_EQ(seen.size(), 1u);
        return seen.empty() ? ParsedRequest{} : parseRequest(seen.front());
    }
};

// Between curl's own Host (first) and Content-Length (last, POST only) exactly the
// protocol's headers go out, in the protocol's order.
TEST_F(CurlWireTest, PostSendsTheSevenHeadersInOrderBetweenHostAndContentLength) {
    const std::string body = "DATA=GETRAND?1700000000";
    EXPECT_EQ(transport_.post(server_.url("/appinit.php"), body), "ok");

    const ParsedRequest request = onlyRequest();
    EXPECT_EQ(request.requestLine, "POST /appinit.php HTTP/1.1");
    ASSERT_EQ(request.headers.size(), 9u);
    EXPECT_EQ(request.headers.front(),
              Header("Host", "127.0.0.1:" + std::to_string(server_.port())));
    EXPECT_EQ(request.headers.back(), Header("Content-Length", std::to_string(body.size())));
    const std::vector<Header> middle(request.headers.begin() + 1, request.headers.end() - 1);
    EXPECT_EQ(middle, protocolHeaders(true));
    EXPECT_EQ(request.body, body);
}

TEST_F(CurlWireTest, GetSendsTheSixHeadersAndNoBody) {
    EXPECT_EQ(transport_.get(server_.url("/page?x=1")), "ok");

    const ParsedRequest request = onlyRequest();
    EXPECT_EQ(request.requestLine, "GET /page?x=1 HTTP/1.1");
    ASSERT_EQ(request.headers.size(), 7u);
    EXPECT_EQ(request.headers.front().first, "Host");
    const std::vector<Header> rest(request.headers.begin() + 1, request.headers.end());
    EXPECT_EQ(rest, protocolHeaders(false));
    EXPECT_TRUE(request.body.empty());
}

TEST_F(CurlWireTest, PlainGetSendsNoneOfTheProtocolHeaders) {
    EXPECT_EQ(transport_.plainGet(server_.url("/newphase")), "ok");

    const ParsedRequest request = onlyRequest();
    EXPECT_EQ(request.requestLine, "GET /newphase HTTP/1.1");
    for (const auto& [name, value] : request.headers) {
        EXPECT_NE(name, "User-Agent");
        EXPECT_NE(name, "Accept-Language");
        EXPECT_NE(name, "Content-Type");
        EXPECT_NE(name, "Cache-Control");
        EXPECT_NE(name, "Connection");
    }
}

// A large body must still go out at once, without waiting for a "100 Continue".
TEST_F(CurlWireTest, LargePostBodyGoesOutWithoutExpect) {
    const std::string body = "DATA=" + std::string(200000, 'A');
    EXPECT_EQ(transport_.post(server_.url(), body), "ok");

    const ParsedRequest request = onlyRequest();
    EXPECT_EQ(request.headers.size(), 9u);
    for (const auto& header : request.headers) EXPECT_NE(header.first, "Expect");
    EXPECT_EQ(request.body, body);
}

TEST(CurlTransport, BytesOutsideAsciiPassUnchangedBothWays) {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) bytes += static_cast<char>(b);
    bytes += "注册";
    RawHttpServer echo([](const std::string& raw) {
        return RawHttpServer::response("200 OK", parseRequest(raw).body);
    });
    CurlTransport transport(kShort);

    EXPECT_EQ(transport.post(echo.url(), bytes), bytes);
    ASSERT_EQ(echo.requests().size(), 1u);
    EXPECT_EQ(parseRequest(echo.requests().front()).body, bytes);
}

struct AnswerCase {
    const char* name;
    std::string response;
    std::string expected;
};

void PrintTo(const AnswerCase& value, std::ostream* out) { *out << value.name; }

class CurlAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(CurlAnswerTest, ReturnsTheBodyOfAnyStatusDecoded) {
    RawHttpServer server(answerAlways(GetParam().response));
    CurlTransport transport(kShort);
    EXPECT_EQ(transport.post(server.url(), "DATA=x"), GetParam().expected);
    EXPECT_EQ(transport.get(server.url()), GetParam().expected);
    EXPECT_EQ(server.requests().size(), 2u);
}

const std::string kErrorPage = "<html><body><h1>Not Found</h1></body></html>";
const std::string kReply = R"({"errcode":"0","msg":"成功","data":"ABCDEF"})";

INSTANTIATE_TEST_SUITE_P(
    Answers, CurlAnswerTest,
    ::testing::Values(
        AnswerCase{"EmptyBody", RawHttpServer::response("200 OK", ""), ""},
        AnswerCase{"NotFoundPage", RawHttpServer::response("404 Not Found", kErrorPage),
                   kErrorPage},
        AnswerCase{"ServerErrorPage",
                   RawHttpServer::response("500 Internal Server Error", kErrorPage), kErrorPage},
        AnswerCase{
            "DeflateCoded",
            RawHttpServer::response("200 OK", zlibDeflate(kReply), "Content-Encoding: deflate\r\n"),
            kReply},
        AnswerCase{"ChunkedBody",
                   "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                   "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
                   "abcde"},
        AnswerCase{"RedirectNotFollowed",
                   RawHttpServer::response("302 Found", "moved",
                                           "Location: http://127.0.0.1:1/elsewhere\r\n"),
                   "moved"},
        AnswerCase{"CutShortBody",
                   "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nabc", ""},
        AnswerCase{"ClosedWithoutAnswer", "", ""},
        AnswerCase{"NotHttp", "garbage without a status line\r\n\r\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CurlTransport, BodyBeyondTheLimitIsEmpty) {
    const std::string big(4096, 'x');
    RawHttpServer declared(answerAlways(RawHttpServer::response("200 OK", big)));
    RawHttpServer chunked(answerAlways(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n1000\r\n" + big +
        "\r\n0\r\n\r\n"));
    RawHttpServer packed(answerAlways(
        RawHttpServer::response("200 OK", zlibDeflate(big), "Content-Encoding: deflate\r\n")));

    CurlTransport limited(kShort, 4095);
    EXPECT_EQ(limited.post(declared.url(), "DATA=x"), "");
    EXPECT_EQ(limited.post(chunked.url(), "DATA=x"), "");
    EXPECT_EQ(limited.post(packed.url(), "DATA=x"), "");

    CurlTransport exact(kShort, 4096);
    EXPECT_EQ(exact.post(declared.url(), "DATA=x"), big);
    EXPECT_EQ(exact.post(chunked.url(), "DATA=x"), big);
    EXPECT_EQ(exact.post(packed.url(), "DATA=x"), big);
}

TEST(CurlTransport, SilentServerGivesEmptyResultAfterTheTimeOut) {
    RawHttpServer silent([](const std::string&) { return std::nullopt; });
    CurlTransport transport(kShort);
    EXPECT_EQ(transport.post(silent.url(), "DATA=x"), "");
    EXPECT_EQ(transport.plainGet(silent.url()), "");
    EXPECT_EQ(silent.requests().size(), 2u);
}

TEST(CurlTransport, UnreachableOrMalformedAddressGivesEmptyResult) {
    CurlTransport transport(kShort);
    const std::string refused = "http://127.0.0.1:" + std::to_string(testing::closedLoopbackPort());
    EXPECT_EQ(transport.post(refused, "DATA=x"), "");
    EXPECT_EQ(transport.get(refused), "");
    EXPECT_EQ(transport.plainGet(refused), "");
    EXPECT_EQ(transport.post("", "DATA=x"), "");
    EXPECT_EQ(transport.post("not a url", "DATA=x"), "");
    EXPECT_EQ(transport.plainGet("file:///etc/hostname"), "");
}

}  // namespace
}  // namespace sscplan
