#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The cloud-function protocol's codec, shared by the client and the application server:
// RC4 under the fixed key and the per-call keys, hexadecimal text, percent encoding.
//
//   request payload = hex(RC4(hex(RC4(percent-encoded request JSON, fixed key)), call token))
//   reply data      = hex(RC4(hex(RC4(UTF-8 data text, response key)), fixed key))
//   token data      = hex(RC4(call token, fixed key))

namespace sscplan::protocol {

// The standard RC4 stream cipher; the same call enciphers and deciphers. Only the first
// 256 key bytes take part in the key schedule. An empty key leaves the data unchanged.
std::string rc4(std::string_view data, std::string_view key);

// Each byte as two upper-case hexadecimal digits.
std::string bytesToHex(std::string_view bytes);

// Two characters at a time from the start (a last single character on its own), each
// group read in base 16 (either case) and its low byte appended. A character that is no
// digit of the base counts as 0.
std::string hexToBytes(std::string_view text);

// Whether every character is a hexadecimal digit (either case).
bool isHexText(std::string_view text);

// Base selector: 0 = base 16, 1 = base 10, 2 = base 8, 3 = base 2. The text is
// lower-cased; the digits are summed from the right, each times the base to the power of
// its position. A character that is no digit of the base counts as 0; the sum wraps at
// 64 bits.
std::int64_t parseInteger(std::string_view text, int baseSelector = 1);

// RFC 3986 unreserved characters stay; every other byte of the UTF-8 text becomes %XX
// (upper-case), "%" included.
std::string percentEncode(std::string_view utf8);

// Undoes percentEncode (and any other %XX escaping); false when a "%" is not followed by
// two hexadecimal digits.
bool percentDecode(std::string_view text, std::string& out);

// The fixed key, assembled anew on every call.
std::string fixedKey();

// The response key of a call: the decimal text of its random number times the program's
// fixed factor.
std::string responseKey(std::int64_t rand);

std::string encodePayload(std::string_view escapedRequest, std::string_view callToken);
std::string encodeReplyData(std::string_view plainUtf8, std::int64_t rand);
std::string encodeToken(std::string_view callToken);

// The reverse directions. The request and reply layers give the deciphered bytes whether
// or not they make sense; the caller parses them.
std::string decodeReplyData(std::string_view dataHex, std::int64_t rand);
std::string decodeToken(std::string_view tokenHex);

// Deciphers a request payload under one candidate call token. Returns false as soon as
// the outer layer yields a byte that is not a hexadecimal digit (the candidate is wrong),
// without deciphering the rest.
bool decodePayload(std::string_view payloadHex, std::string_view callToken,
                   std::string& escapedRequest);

}  // namespace sscplan::protocol
