#include "update/update_signature.h"

#include <nettle/eddsa.h>
#include <sys/random.h>

#include <algorithm>
#include <cerrno>

#include "server/protocol.h"

namespace sscplan {
namespace {

constexpr std::string_view kMessageDomain = "sscplan-update";

const std::uint8_t* bytesOf(std::string_view text) {
    return reinterpret_cast<const std::uint8_t*>(text.data());
}

template <std::size_t N>
std::string toHexLine(const std::array<std::uint8_t, N>& bytes) {
    std::string text =
        protocol::bytesToHex(std::string_view(reinterpret_cast<const char*>(bytes.data()), N));
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return text + "\n";
}

template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> fromHexLine(std::string_view text) {
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.ends_with("\n")) {
        text.remove_suffix(1);
    }
    if (text.size() != 2 * N || !protocol::isHexText(text)) return std::nullopt;
    const std::string bytes = protocol::hexToBytes(text);
    std::array<std::uint8_t, N> result{};
    std::copy(bytes.begin(), bytes.end(), result.begin());
    return result;
}

}  // namespace

std::optional<std::string> signedUpdateMessage(std::string_view version,
                                               std::string_view fileBytes) {
    if (version.find('\0') != std::string_view::npos) return std::nullopt;
    std::string message;
    message.reserve(kMessageDomain.size() + version.size() + fileBytes.size() + 2);
    message += kMessageDomain;
    message += '\0';
    message += version;
    message += '\0';
    message += fileBytes;
    return message;
}

std::optional<UpdatePrivateKey> generateUpdatePrivateKey() {
    UpdatePrivateKey key{};
    std::size_t filled = 0;
    while (filled < key.size()) {
        const ssize_t n = ::getrandom(key.data() + filled, key.size() - filled, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(n);
    }
    return key;
}

UpdatePublicKey updatePublicKeyOf(const UpdatePrivateKey& privateKey) {
    UpdatePublicKey publicKey{};
    ed25519_sha512_public_key(publicKey.data(), privateKey.data());
    return publicKey;
}

std::optional<UpdateSignature> signUpdate(const UpdatePrivateKey& privateKey,
                                          std::string_view version, std::string_view fileBytes) {
    const std::optional<std::string> message = signedUpdateMessage(version, fileBytes);
    if (!message) return std::nullopt;
    const UpdatePublicKey publicKey = updatePublicKeyOf(privateKey);
    UpdateSignature signature{};
    ed25519_sha512_sign(publicKey.data(), privateKey.data(), message->size(), bytesOf(*message),
                        signature.data());
    return signature;
}

bool verifyUpdate(const UpdatePublicKey& publicKey, std::string_view version,
                  std::string_view fileBytes, const UpdateSignature& signature) {
    const std::optional<std::string> message = signedUpdateMessage(version, fileBytes);
    if (!message) return false;
    return ed25519_sha512_verify(publicKey.data(), message->size(), bytesOf(*message),
                                 signature.data()) == 1;
}

std::string keyText(const std::array<std::uint8_t, 32>& key) { return toHexLine(key); }

std::string signatureText(const UpdateSignature& signature) { return toHexLine(signature); }

std::optional<std::array<std::uint8_t, 32>> parseKeyText(std::string_view text) {
    return fromHexLine<32>(text);
}

std::optional<UpdateSignature> parseSignatureText(std::string_view text) {
    return fromHexLine<64>(text);
}

}  // namespace sscplan
