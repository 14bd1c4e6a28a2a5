#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace sscplan {

// Bounds of one download: a server that does not answer, stalls or sends too much ends it.
struct DownloadLimits {
    std::chrono::milliseconds connect{3000};
    // The transfer ends when it runs slower than this many bytes per second for
    // lowSpeedTime.
    long lowSpeedBytesPerSecond = 1024;
    std::chrono::seconds lowSpeedTime{15};
    std::chrono::seconds total{600};
    std::size_t maxBytes = 0;
};

enum class DownloadStatus {
    kOk,
    kNoAnswer,    // no connection, or the server closed it before any response
    kHttpStatus,  // the server answered with a status other than 200
    kTruncated,   // the body ended before the length the server announced
    kTooLarge,    // more than maxBytes announced or received
    kTimedOut,    // the total time ran out or the transfer stalled
    kFailed,      // anything else (bad address, ...)
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::kFailed;
    long httpStatus = 0;  // 0 when the server gave none
    std::string body;     // the whole body when status is kOk; undefined otherwise
};

// Bytes received so far and the total announced (0 when not announced).
using DownloadProgress = std::function<void(std::uint64_t received, std::uint64_t total)>;

// Fetches a whole file by GET.
class Downloader {
  public:
    virtual ~Downloader() = default;
    virtual DownloadResult download(const std::string& url, const DownloadLimits& limits,
                                    const DownloadProgress& progress) = 0;
};

// Downloader over libcurl; http and https addresses only, no redirects followed.
class CurlDownloader final : public Downloader {
  public:
    DownloadResult download(const std::string& url, const DownloadLimits& limits,
                            const DownloadProgress& progress) override;
};

}  // namespace sscplan
