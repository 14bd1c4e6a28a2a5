#include "updater/core/updater_job.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/files.h"
#include "update/update_limits.h"

namespace sscplan {
namespace {

constexpr std::string_view kFailurePrefix = "更新失败：";

std::string reasonOf(const DownloadResult& result) {
    switch (result.status) {
        case DownloadStatus::kOk:
            return {};
        case DownloadStatus::kNoAnswer:
            return "服务器没有应答";
        case DownloadStatus::kHttpStatus:
            return "服务器拒绝下载（HTTP " + std::to_string(result.httpStatus) + "）";
        case DownloadStatus::kTruncated:
            return "下载不完整";
        case DownloadStatus::kTooLarge:
            return "文件过大";
        case DownloadStatus::kTimedOut:
            return "下载超时";
        case DownloadStatus::kFailed:
            break;
    }
    return "无法下载";
}

bool isPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

UpdaterOutcome failure(std::string message) { return {false, false, std::move(message)}; }

std::string replaceFailure(std::error_code error) {
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system) {
        return kUpdaterNoPermission;
    }
    return std::string(kFailurePrefix) + "无法写入程序文件（" + error.message() + "）";
}

}  // namespace

std::optional<UpdaterRequest> parseUpdaterArguments(std::span<const std::string> arguments) {
    if (arguments.size() != 5 || !isPlainFileName(arguments[4])) return std::nullopt;
    return UpdaterRequest{arguments[0], arguments[1], arguments[2], arguments[3], arguments[4]};
}

UpdaterOutcome runUpdater(const UpdaterRequest& request, const std::string& programDirectory,
                          const UpdatePublicKey& publicKey, Downloader& downloader,
                          ProcessStarter& processes, const DownloadProgress& progress) {
    DownloadLimits fileLimits;
    fileLimits.maxBytes = kMaxUpdateFileBytes;
    const DownloadResult file = downloader.download(request.updateAddress, fileLimits, progress);
    if (file.status != DownloadStatus::kOk) {
        return failure(std::string(kFailurePrefix) + reasonOf(file));
    }
    if (file.body.empty()) return failure(kUpdaterEmptyFile);

    DownloadLimits signatureLimits;
    signatureLimits.maxBytes = kMaxSignatureFileBytes;
    const DownloadResult signatureFile =
        downloader.download(request.updateAddress + ".sig", signatureLimits, {});
    if (signatureFile.status != DownloadStatus::kOk) {
        return failure(std::string(kFailurePrefix) + "无法下载签名，" + reasonOf(signatureFile));
    }
    const std::optional<UpdateSignature> signature = parseSignatureText(signatureFile.body);
    if (!signature) return failure(kUpdaterMalformedSignature);
    if (!verifyUpdate(publicKey, request.offeredVersion, file.body, *signature)) {
        return failure(kUpdaterBadSignature);
    }

    const std::string programPath = programDirectory + "/" + request.programFileName;
    // Keep the old file's permissions for group and others; the owner must be able to run it.
    const mode_t mode = filePermissions(programPath).value_or(kExecutableMode) | S_IRUSR | S_IXUSR;
    if (const std::error_code error = writeFileAtomically(programPath, file.body, mode)) {
        return failure(replaceFailure(error));
    }
    if (!processes.startDetached(programPath, {})) return {true, false, kUpdaterNotStarted};
    return {true, true, {}};
}

}  // namespace sscplan
