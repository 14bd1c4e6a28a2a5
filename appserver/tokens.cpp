#include "appserver/tokens.h"

#include <algorithm>
#include <cstdio>

#include "appserver/system_random.h"
#include "server/protocol.h"

namespace sscplan::appserver {
namespace {

constexpr std::size_t kSessionBodyChars = 8 + 16;  // issue second + nonce, hex
constexpr std::size_t kSessionMacBytes = 16;

std::string lowerHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 0x0F];
    }
    return out;
}

// Compares without stopping at the first difference, so the time taken tells nothing of
// where a forged token goes wrong.
bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

}  // namespace

TokenKey::TokenKey(std::string_view secret) {
    hmac_sha256_set_key(&keyed_, secret.size(),
                        reinterpret_cast<const std::uint8_t*>(secret.data()));
}

std::string TokenKey::macHex(std::string_view message, std::size_t bytes) const {
    hmac_sha256_ctx ctx = keyed_;
    hmac_sha256_update(&ctx, message.size(), reinterpret_cast<const std::uint8_t*>(message.data()));
    std::uint8_t digest[SHA256_DIGEST_SIZE];
    hmac_sha256_digest(&ctx, sizeof digest, digest);
    return lowerHex(std::string_view(reinterpret_cast<const char*>(digest),
                                     std::min<std::size_t>(bytes, sizeof digest)));
}

const CallTokens::Entry& CallTokens::entryFor(std::int64_t second) {
    Entry& entry = ring_[static_cast<std::size_t>(second) % ring_.size()];
    if (entry.second != second) {
        const std::string mac = key_.macHex("call:" + std::to_string(second), kTokenHexChars / 2);
        entry.second = second;
        std::copy(mac.begin(), mac.end(), entry.token.begin());
    }
    return entry;
}

std::string CallTokens::issue(std::int64_t now) {
    std::lock_guard lock(mutex_);
    const Entry& entry = entryFor(now);
    return std::string(entry.token.data(), entry.token.size());
}

bool CallTokens::decipher(std::string_view payloadHex, std::int64_t now,
                          const std::function<bool(const std::string&)>& accept) {
    std::array<std::array<char, kTokenHexChars>, kCandidates> candidates;
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < kCandidates; ++i) {
            candidates[i] = entryFor(now - static_cast<std::int64_t>(i)).token;
        }
    }
    std::string escaped;
    for (const auto& token : candidates) {
        const std::string_view key(token.data(), token.size());
        if (protocol::decodePayload(payloadHex, key, escaped) && accept(escaped)) return true;
    }
    return false;
}

std::string SessionTokens::macOf(std::string_view body, std::int32_t appId) const {
    std::string message = "session:";
    message += std::to_string(appId);
    message += ':';
    message += body;
    return key_.macHex(message, kSessionMacBytes);
}

std::string SessionTokens::issue(std::int32_t appId, std::int64_t now) const {
    char issued[16];
    std::snprintf(issued, sizeof issued, "%08llx",
                  static_cast<unsigned long long>(now) & 0xFFFFFFFFull);
    const std::string body = issued + lowerHex(systemRandomBytes(8));
    return body + macOf(body, appId);
}

bool SessionTokens::verify(std::string_view token, std::int32_t appId) const {
    if (token.size() != kSessionBodyChars + 2 * kSessionMacBytes) return false;
    const std::string_view body = token.substr(0, kSessionBodyChars);
    return sameText(token.substr(kSessionBodyChars), macOf(body, appId));
}

}  // namespace sscplan::appserver
