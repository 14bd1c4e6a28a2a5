#pragma once

#include <nettle/hmac.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

// Tokens of the cloud-function protocol, all derived from one server secret with
// HMAC-SHA256, so that nothing per client is stored and a restart on the same secret
// keeps every token valid.
//
// A call token is issued by the token exchange and keys the outer layer of one request.
// The request names no token in the clear, so the server finds it by trying the tokens of
// the last kCallTokenLifetime seconds, newest first.
//
// A session token is issued by "init" and names the application id it was issued for;
// it does not expire.

namespace sscplan::appserver {

class TokenKey {
  public:
    explicit TokenKey(std::string_view secret);
    // The first `bytes` bytes of HMAC-SHA256(secret, message), in lower-case hex.
    std::string macHex(std::string_view message, std::size_t bytes) const;

  private:
    hmac_sha256_ctx keyed_;
};

class CallTokens {
  public:
    static constexpr std::int64_t kCallTokenLifetime = 60;
    static constexpr std::size_t kCandidates = kCallTokenLifetime + 1;

    explicit CallTokens(std::string_view secret) : key_(secret) {}

    // The token issued in second `now` (Unix seconds).
    std::string issue(std::int64_t now);

    // Deciphers a request payload under each token issued from `now` back to
    // `now` - kCallTokenLifetime, newest first, handing every deciphered request to
    // `accept` until it returns true. False when no candidate was accepted.
    bool decipher(std::string_view payloadHex, std::int64_t now,
                  const std::function<bool(const std::string& escapedRequest)>& accept);

  private:
    static constexpr std::size_t kTokenHexChars = 16;
    struct Entry {
        std::int64_t second = -1;
        std::array<char, kTokenHexChars> token{};
    };

    // Token of `second`, from the ring when it holds it. Caller holds mutex_.
    const Entry& entryFor(std::int64_t second);

    TokenKey key_;
    std::mutex mutex_;
    std::array<Entry, 64> ring_{};
};

class SessionTokens {
  public:
    explicit SessionTokens(std::string_view secret) : key_(secret) {}

    // A new session token for `appId`, issued at `now` (Unix seconds).
    std::string issue(std::int32_t appId, std::int64_t now) const;
    // Whether `token` was issued by this secret for `appId`.
    bool verify(std::string_view token, std::int32_t appId) const;

  private:
    std::string macOf(std::string_view body, std::int32_t appId) const;

    TokenKey key_;
};

}  // namespace sscplan::appserver
