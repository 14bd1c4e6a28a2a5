#include "updater/core/download.h"

#include <gtest/gtest.h>

#include "tests/updater/fake_http_server.h"

namespace sscplan {
namespace {

using testing::FakeHttpServer;

const std::string kBody(5000, 'x');

DownloadLimits limitsOf(std::size_t maxBytes) {
    DownloadLimits limits;
    limits.maxBytes = maxBytes;
    limits.total = std::chrono::seconds(20);
    return limits;
}

class DownloadTest : public ::testing::Test {
  protected:
    DownloadResult fetch(const std::string& path, std::size_t maxBytes = 10000) {
        return downloader_.download(server_.url(path), limitsOf(maxBytes), {});
    }

    FakeHttpServer server_;
    CurlDownloader downloader_;
};

TEST_F(DownloadTest, AWholeFile) {
    server_.serve("/f", kBody);
    const DownloadResult result = fetch("/f");
    EXPECT_EQ(result.status, DownloadStatus::kOk);
    EXPECT_EQ(result.httpStatus, 200);
    EXPECT_EQ(result.body, kBody);
}

TEST_F(DownloadTest, AWholeFileWithoutAnnouncedLength) {
    server_.serveChunked("/f", kBody);
    const DownloadResult result = fetch("/f");
    EXPECT_EQ(result.status, DownloadStatus::kOk);
    EXPECT_EQ(result.body, kBody);
}

TEST_F(DownloadTest, ReportsProgressUpToTheAnnouncedTotal) {
    server_.serve("/f", kBody);
    std::uint64_t lastReceived = 0;
    std::uint64_t lastTotal = 0;
    const DownloadResult result = downloader_.download(
        server_.url("/f"), limitsOf(10000), [&](std::uint64_t received, std::uint64_t total) {
            lastReceived = received;
            lastTotal = total;
        });
    EXPECT_EQ(result.status, DownloadStatus::kOk);
    EXPECT_EQ(lastTotal, kBody.size());
    EXPECT_EQ(lastReceived, kBody.size());
}

struct LimitCase {
    const char* name;
    std::size_t maxBytes;
    bool chunked;
    DownloadStatus status;
};

class DownloadLimitTest : public DownloadTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(DownloadLimitTest, SizeCap) {
    const LimitCase& c = GetParam();
    if (c.chunked) {
        server_.serveChunked("/f", kBody);
    } else {
        server_.serve("/f", kBody);
    }
    const DownloadResult result = fetch("/f", c.maxBytes);
    EXPECT_EQ(result.status, c.status);
    if (c.status == DownloadStatus::kOk) {
        EXPECT_EQ(result.body, kBody);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, DownloadLimitTest,
    ::testing::Values(LimitCase{"OneBelow", 4999, false, DownloadStatus::kTooLarge},
                      LimitCase{"Exact", 5000, false, DownloadStatus::kOk},
                      LimitCase{"OneAbove", 5001, false, DownloadStatus::kOk},
                      LimitCase{"ChunkedOneBelow", 4999, true, DownloadStatus::kTooLarge},
                      LimitCase{"ChunkedExact", 5000, true, DownloadStatus::kOk}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadTest, ABrokenOffTransferIsTruncated) {
    server_.serveBrokenOff("/f", kBody, 1234);
    EXPECT_EQ(fetch("/f").status, DownloadStatus::kTruncated);
}

TEST_F(DownloadTest, AnErrorStatusIsNoFile) {
    const DownloadResult result = fetch("/missing");
    EXPECT_EQ(result.status, DownloadStatus::kHttpStatus);
    EXPECT_EQ(result.httpStatus, 404);
}

TEST_F(DownloadTest, NoServerIsNoAnswer) {
    const std::string url = server_.url("/f");
    server_.stop();
    EXPECT_EQ(downloader_.download(url, limitsOf(100), {}).status, DownloadStatus::kNoAnswer);
}

TEST_F(DownloadTest, OnlyHttpAddresses) {
    EXPECT_EQ(downloader_.download("file:///etc/passwd", limitsOf(100000), {}).status,
              DownloadStatus::kFailed);
}

}  // namespace
}  // namespace sscplan
