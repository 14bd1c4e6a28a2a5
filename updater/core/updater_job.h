#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/ports.h"
#include "update/update_signature.h"
#include "updater/core/download.h"

namespace sscplan {

// The updater's five arguments, in the order the update check passes them.
struct UpdaterRequest {
    std::string title;
    std::string version;          // the version being replaced
    std::string offeredVersion;   // the version the server offers; the signature names it
    std::string updateAddress;    // the update file; its signature is at this + ".sig"
    std::string programFileName;  // a plain file name in the updater's own directory
};

// nullopt unless there are exactly five arguments and the program file name is a plain
// name (not empty, no '/', not "." or "..").
std::optional<UpdaterRequest> parseUpdaterArguments(std::span<const std::string> arguments);

struct UpdaterOutcome {
    bool replaced = false;  // the program file holds the new version
    bool started = false;   // and the new version was started
    std::string message;    // for the user when not started; empty otherwise
};

inline constexpr const char* kUpdaterBadArguments = "更新失败：启动参数无效";
inline constexpr const char* kUpdaterEmptyFile = "更新失败：更新文件为空";
inline constexpr const char* kUpdaterMalformedSignature = "更新失败：签名格式无效";
inline constexpr const char* kUpdaterBadSignature = "更新失败：签名无效";
inline constexpr const char* kUpdaterNoPermission = "更新失败：没有写入程序文件的权限";
inline constexpr const char* kUpdaterNotStarted = "更新已完成，但新版本无法启动";

// Downloads the update and its signature, accepts the file only with a valid signature by
// `publicKey` over the offered version and the file's bytes, replaces the program file in
// `programDirectory` atomically and starts it (no arguments, this process's working
// directory). Whatever fails before the replacement leaves the program file as it was.
UpdaterOutcome runUpdater(const UpdaterRequest& request, const std::string& programDirectory,
                          const UpdatePublicKey& publicKey, Downloader& downloader,
                          ProcessStarter& processes, const DownloadProgress& progress);

}  // namespace sscplan
