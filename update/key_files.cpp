#include "update/key_files.h"

#include <optional>
#include <system_error>

#include "platform/files.h"
#include "update/update_limits.h"
#include "update/update_signature.h"

namespace sscplan {
namespace {

constexpr mode_t kPublicMode = 0644;
constexpr std::size_t kMaxKeyFileBytes = 1024;

std::string writeError(const std::string& path, std::error_code error) {
    return "cannot write " + path + ": " + error.message();
}

}  // namespace

std::string writeUpdateKeyPair(const std::string& privateKeyPath,
                               const std::string& publicKeyPath) {
    if (pathExists(privateKeyPath)) {
        return privateKeyPath + " exists already; a private key is never overwritten";
    }
    const std::optional<UpdatePrivateKey> privateKey = generateUpdatePrivateKey();
    if (!privateKey) return "the system gave no random bytes";
    if (const auto error =
            writeFileAtomically(privateKeyPath, keyText(*privateKey), kPrivateMode)) {
        return writeError(privateKeyPath, error);
    }
    const std::string publicText = keyText(updatePublicKeyOf(*privateKey));
    if (const auto error = writeFileAtomically(publicKeyPath, publicText, kPublicMode)) {
        return writeError(publicKeyPath, error);
    }
    return {};
}

std::string signUpdateFile(const std::string& privateKeyPath, const std::string& version,
                           const std::string& filePath) {
    const std::optional<std::string> keyFile = readWholeFile(privateKeyPath, kMaxKeyFileBytes);
    if (!keyFile) return "cannot read the private key file " + privateKeyPath;
    const std::optional<UpdatePrivateKey> privateKey = parseKeyText(*keyFile);
    if (!privateKey) return privateKeyPath + " is no private key file (64 hexadecimal digits)";
    const std::optional<std::string> bytes = readWholeFile(filePath, kMaxUpdateFileBytes);
    if (!bytes) {
        return "cannot read " + filePath + " (or it is larger than " +
               std::to_string(kMaxUpdateFileBytes) + " bytes)";
    }
    const std::optional<UpdateSignature> signature = signUpdate(*privateKey, version, *bytes);
    if (!signature) return "a version text cannot hold a NUL character";
    const std::string signaturePath = filePath + ".sig";
    if (const auto error =
            writeFileAtomically(signaturePath, signatureText(*signature), kPublicMode)) {
        return writeError(signaturePath, error);
    }
    return {};
}

}  // namespace sscplan
