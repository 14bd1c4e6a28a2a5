#include "server/protocol.h"

#include <nettle/arcfour.h>

#include <algorithm>

namespace sscplan::protocol {
namespace {

constexpr char kUpperHex[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string rc4(std::string_view data, std::string_view key) {
    std::string out(data);
    if (key.empty() || data.empty()) return out;
    arcfour_ctx ctx;
    const std::size_t keyLength = std::min<std::size_t>(key.size(), ARCFOUR_MAX_KEY_SIZE);
    arcfour_set_key(&ctx, keyLength, reinterpret_cast<const std::uint8_t*>(key.data()));
    auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
    arcfour_crypt(&ctx, out.size(), bytes, bytes);
    return out;
}

std::string bytesToHex(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kUpperHex[b >> 4];
        out += kUpperHex[b & 0x0F];
    }
    return out;
}

std::string hexToBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 2 + 1);
    for (std::size_t p = 0; p < text.size(); p += 2) {
        const std::int64_t value = parseInteger(text.substr(p, 2), 0);
        out += static_cast<char>(value & 0xFF);
    }
    return out;
}

bool isHexText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
}

std::int64_t parseInteger(std::string_view text, int baseSelector) {
    int base = 10;
    switch (baseSelector) {
        case 0: base = 16; break;
        case 2: base = 8; break;
        case 3: base = 2; break;
        default: base = 10; break;
    }
    std::uint64_t sum = 0;
    std::uint64_t weight = 1;
    for (std::size_t i = text.size(); i-- > 0;) {
        const int digit = hexValue(text[i]);
        if (digit >= 0 && digit < base) sum += static_cast<std::uint64_t>(digit) * weight;
        weight *= static_cast<std::uint64_t>(base);
    }
    return static_cast<std::int64_t>(sum);
}

std::string percentEncode(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
                                (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' ||
                                b == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kUpperHex[b >> 4];
            out += kUpperHex[b & 0x0F];
        }
    }
    return out;
}

bool percentDecode(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t p = 0; p < text.size(); ++p) {
        if (text[p] != '%') {
            out += text[p];
            continue;
        }
        const int high = p + 1 < text.size() ? hexValue(text[p + 1]) : -1;
        const int low = p + 2 < text.size() ? hexValue(text[p + 2]) : -1;
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        p += 2;
    }
    return true;
}

std::string encodePayload(std::string_view escapedRequest, std::string_view callToken) {
    return bytesToHex(rc4(bytesToHex(rc4(escapedRequest, fixedKey())), callToken));
}

std::string encodeReplyData(std::string_view plainUtf8, std::int64_t rand) {
    return bytesToHex(rc4(bytesToHex(rc4(plainUtf8, responseKey(rand))), fixedKey()));
}

std::string encodeToken(std::string_view callToken) {
    return bytesToHex(rc4(callToken, fixedKey()));
}

std::string decodeReplyData(std::string_view dataHex, std::int64_t rand) {
    const std::string inner = rc4(hexToBytes(dataHex), fixedKey());
    return rc4(hexToBytes(inner), responseKey(rand));
}

std::string decodeToken(std::string_view tokenHex) {
    return rc4(hexToBytes(tokenHex), fixedKey());
}

bool decodePayload(std::string_view payloadHex, std::string_view callToken,
                   std::string& escapedRequest) {
    escapedRequest.clear();
    if (payloadHex.size() % 2 != 0 || !isHexText(payloadHex) || callToken.empty()) {
        return false;
    }
    // Decipher the outer layer byte by byte so that a wrong candidate token is given up
    // at its first byte that is no hexadecimal digit.
    arcfour_ctx ctx;
    const std::size_t keyLength = std::min<std::size_t>(callToken.size(), ARCFOUR_MAX_KEY_SIZE);
    arcfour_set_key(&ctx, keyLength, reinterpret_cast<const std::uint8_t*>(callToken.data()));
    std::string innerHex;
    innerHex.reserve(payloadHex.size() / 2);
    for (std::size_t p = 0; p < payloadHex.size(); p += 2) {
        std::uint8_t b = static_cast<std::uint8_t>(hexValue(payloadHex[p]) * 16 +
                                                   hexValue(payloadHex[p + 1]));
        arcfour_crypt(&ctx, 1, &b, &b);
        if (hexValue(static_cast<char>(b)) < 0) return false;
        innerHex += static_cast<char>(b);
    }
    if (innerHex.size() % 2 != 0) return false;
    escapedRequest = rc4(hexToBytes(innerHex), fixedKey());
    return true;
}

}  // namespace sscplan::protocol
