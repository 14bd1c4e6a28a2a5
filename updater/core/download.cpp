#include "updater/core/download.h"

#include <curl/curl.h>

#include <memory>

namespace sscplan {
namespace {

struct Transfer {
    std::string body;
    std::size_t maxBytes = 0;
    bool tooLarge = false;
    const DownloadProgress* progress = nullptr;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer.body.size() + bytes > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with CURLE_WRITE_ERROR
    }
    transfer.body.append(data, bytes);
    return bytes;
}

int reportProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(user);
    if (total > 0 && static_cast<std::uint64_t>(total) > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 1;  // ends the transfer with CURLE_ABORTED_BY_CALLBACK
    }
    if (*transfer.progress) {
        (*transfer.progress)(static_cast<std::uint64_t>(received),
                             static_cast<std::uint64_t>(total));
    }
    return 0;
}

DownloadStatus statusOf(CURLcode code, const Transfer& transfer) {
    if (transfer.tooLarge) return DownloadStatus::kTooLarge;
    switch (code) {
        case CURLE_OK:
            return DownloadStatus::kOk;
        case CURLE_COULDNT_CONNECT:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_GOT_NOTHING:
            return DownloadStatus::kNoAnswer;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
            return DownloadStatus::kTruncated;
        case CURLE_OPERATION_TIMEDOUT:
            return DownloadStatus::kTimedOut;
        default:
            return DownloadStatus::kFailed;
    }
}

}  // namespace

DownloadResult CurlDownloader::download(const std::string& url, const DownloadLimits& limits,
                                        const DownloadProgress& progress) {
    DownloadResult result;
    const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(),
                                                                   &curl_easy_cleanup);
    if (!curl) return result;
    Transfer transfer;
    transfer.maxBytes = limits.maxBytes;
    transfer.progress = &progress;
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(limits.total.count()));
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytesPerSecond);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                     static_cast<long>(limits.lowSpeedTime.count()));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &appendBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &reportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(handle);
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    result.status = statusOf(code, transfer);
    if (code == CURLE_FILESIZE_EXCEEDED) result.status = DownloadStatus::kTooLarge;
    if (result.status == DownloadStatus::kOk && result.httpStatus != 200) {
        result.status = DownloadStatus::kHttpStatus;
    }
    if (result.status == DownloadStatus::kOk) result.body = std::move(transfer.body);
    return result;
}

}  // namespace sscplan
