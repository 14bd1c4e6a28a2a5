#include "common/text.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sscplan {
namespace {

// Length of the UTF-8 sequence starting at `p`, or 0 when it is not a valid one.
std::size_t sequenceLength(std::string_view text, std::size_t p, char32_t* code) {
    const auto b0 = static_cast<unsigned char>(text[p]);
    if (b0 < 0x80) {
        *code = b0;
        return 1;
    }
    std::size_t len;
    char32_t value;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        value = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        value = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        value = b0 & 0x07;
    } else {
        return 0;
    }
    if (p + len > text.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(text[p + i]);
        if ((b & 0xC0) != 0x80) return 0;
        value = (value << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kMinimum[len] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *code = value;
    return len;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t skipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && isDigit(text[at])) ++at;
    return at;
}

std::size_t skipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' ||
                                text[at] == '\n' || text[at] == '\v' || text[at] == '\f')) {
        ++at;
    }
    return at;
}

}  // namespace

std::string fullWidthToAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t p = 0;
    while (p < text.size()) {
        char32_t c = 0;
        std::size_t len = sequenceLength(text, p, &c);
        if (len == 0) {
            out += text[p++];
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char>(c - 0xFF01 + 0x21);
        } else if (c == 0x3000) {
            out += ' ';
        } else {
            out.append(text.substr(p, len));
        }
        p += len;
    }
    return out;
}

std::int64_t textToInt64(std::string_view text) {
    const std::string ascii = fullWidthToAscii(text);
    std::size_t p = skipBlanks(ascii, 0);
    bool negative = false;
    if (p < ascii.size() && (ascii[p] == '+' || ascii[p] == '-')) {
        negative = ascii[p] == '-';
        ++p;
    }
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;  // |INT64_MIN|
    std::uint64_t magnitude = 0;
    for (; p < ascii.size() && isDigit(ascii[p]); ++p) {
        const auto digit = static_cast<std::uint64_t>(ascii[p] - '0');
        magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min()
                                   : -static_cast<std::int64_t>(magnitude);
    }
    return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max()
                               : static_cast<std::int64_t>(magnitude);
}

std::int32_t textToInt(std::string_view text) {
    const std::int64_t value = textToInt64(text);
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

float textToFloat(std::string_view text) {
    const std::string ascii = fullWidthToAscii(text);
    std::size_t at = skipBlanks(ascii, 0);
    bool negative = false;
    if (at < ascii.size() && (ascii[at] == '+' || ascii[at] == '-')) {
        negative = ascii[at] == '-';
        ++at;
    }
    const std::size_t start = at;
    const std::size_t integerEnd = skipDigits(ascii, at);
    bool hasDigits = integerEnd > at;
    at = integerEnd;
    if (at < ascii.size() && ascii[at] == '.') {
        const std::size_t fractionEnd = skipDigits(ascii, at + 1);
        const bool hasFraction = fractionEnd > at + 1;
        if (hasDigits || hasFraction) at = fractionEnd;
        hasDigits = hasDigits || hasFraction;
    }
    if (!hasDigits) return 0.0F;
    if (at < ascii.size() && (ascii[at] == 'e' || ascii[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < ascii.size() && (ascii[exponent] == '+' || ascii[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = skipDigits(ascii, exponent);
        if (exponentEnd > exponent) at = exponentEnd;
    }
    float value = 0.0F;
    const auto [end, error] = std::from_chars(ascii.data() + start, ascii.data() + at, value,
                                              std::chars_format::general);
    static_cast<void>(end);
    if (error != std::errc{}) return 0.0F;
    return negative ? -value : value;
}

std::string realToText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

std::int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    const double integral = std::trunc(value);
    if (integral >= -9.2e18 && integral <= 9.2e18) {
        return wrapToInt32(static_cast<std::int64_t>(integral));
    }
    const double wrapped = std::fmod(integral, 4294967296.0);
    return wrapToInt32(static_cast<std::int64_t>(wrapped));
}

std::int32_t wrapToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::optional<std::string> convertEncoding(std::string_view bytes, const char* from,
                                           const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[4096];
    bool ok = true;
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            ok = false;
            break;
        }
    }
    if (ok) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            ok = false;
        }
        out.append(buffer, sizeof buffer - outLeft);
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

std::optional<std::string> utf8ToGbk(std::string_view utf8) {
    return convertEncoding(utf8, "UTF-8", "GBK");
}

std::optional<std::string> gbkToUtf8(std::string_view gbk) {
    return convertEncoding(gbk, "GBK", "UTF-8");
}

std::vector<std::string> splitCharacters(std::string_view utf8) {
    std::vector<std::string> out;
    std::size_t p = 0;
    while (p < utf8.size()) {
        char32_t c = 0;
        std::size_t len = sequenceLength(utf8, p, &c);
        if (len == 0) len = 1;
        out.emplace_back(utf8.substr(p, len));
        p += len;
    }
    return out;
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    std::size_t p = 0;
    while (p < utf8.size()) {
        char32_t c = 0;
        std::size_t len = sequenceLength(utf8, p, &c);
        p += len == 0 ? 1 : len;
        ++count;
    }
    return count;
}

std::string characterSlice(std::string_view utf8, std::size_t first, std::size_t count) {
    std::string out;
    std::size_t index = 0;
    std::size_t p = 0;
    while (p < utf8.size() && (count == std::string::npos || index < first + count)) {
        char32_t c = 0;
        std::size_t len = sequenceLength(utf8, p, &c);
        if (len == 0) len = 1;
        if (index >= first) out.append(utf8.substr(p, len));
        p += len;
        ++index;
    }
    return out;
}

std::wstring utf8ToWide(std::string_view utf8) {
    std::wstring out;
    std::size_t p = 0;
    while (p < utf8.size()) {
        char32_t c = 0;
        std::size_t len = sequenceLength(utf8, p, &c);
        if (len == 0) {
            c = 0xFFFD;
            len = 1;
        }
        out += static_cast<wchar_t>(c);
        p += len;
    }
    return out;
}

std::string wideToUtf8(std::wstring_view wide) {
    std::string out;
    for (wchar_t w : wide) {
        auto c = static_cast<char32_t>(w);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t p = 0;
    while (true) {
        const std::size_t hit = text.find(from, p);
        if (from.empty() || hit == std::string_view::npos) break;
        out.append(text.substr(p, hit - p));
        out.append(to);
        p = hit + from.size();
    }
    out.append(text.substr(p));
    return out;
}

std::vector<std::string> splitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    std::size_t p = 0;
    while (true) {
        const std::size_t hit = separator.empty() ? std::string_view::npos : text.find(separator, p);
        if (hit == std::string_view::npos) {
            if (p < text.size()) pieces.emplace_back(text.substr(p));
            break;
        }
        pieces.emplace_back(text.substr(p, hit - p));
        p = hit + separator.size();
    }
    return pieces;
}

}  // namespace sscplan
