#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text rules shared by every part of the program. Texts are UTF-8 inside the program;
// positions and lengths below count characters, not bytes.

namespace sscplan {

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space become their ASCII
// forms; every other character is kept.
std::string fullWidthToAscii(std::string_view text);

// Full-width forms first, then leading blanks, an optional sign and the decimal digits up
// to the first other character. No leading digits gives 0 ("25-70" gives 25, "47.5" gives
// 47). Values beyond the 32-bit range are held at its nearer end.
std::int32_t textToInt(std::string_view text);

// The same rule at 64 bits.
std::int64_t textToInt64(std::string_view text);

// Full-width forms first, then leading blanks and the leading decimal number (optional
// sign, digits, an optional fraction, an optional exponent) rounded to single precision,
// independent of the locale. Only decimal forms count ("inf", "nan" and hexadecimal forms
// give no number); no number, or one beyond the float range, gives 0.
float textToFloat(std::string_view text);

// A real number as text: at most 13 significant digits, no trailing zeros ("%.13g").
std::string realToText(double value);

// Truncation toward zero to 32 bits; out-of-range and NaN values wrap as two's complement
// of their integral part (NaN gives 0).
std::int32_t truncateToInt32(double value);

// Exact sum truncated to a 32-bit two's-complement integer.
std::int32_t wrapToInt32(std::int64_t value);

// Conversions through glibc iconv. Empty result on input that is not valid in `from`.
std::optional<std::string> convertEncoding(std::string_view bytes, const char* from,
                                           const char* to);
std::optional<std::string> utf8ToGbk(std::string_view utf8);
std::optional<std::string> gbkToUtf8(std::string_view gbk);

// UTF-8 split into characters, each a UTF-8 text of its own. Bytes that do not form a
// valid sequence count as one character each, so nothing is ever lost.
std::vector<std::string> splitCharacters(std::string_view utf8);
std::size_t characterCount(std::string_view utf8);

// The characters of `utf8` from 0-based character index `first`, at most `count` of them.
std::string characterSlice(std::string_view utf8, std::size_t first,
                           std::size_t count = std::string::npos);

// UTF-8 to UTF-32 in wchar_t (32 bits on this platform) and back, for character-counting
// regular expressions. Invalid bytes become U+FFFD.
std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);

// Pieces between separators, in order, empty pieces included, except that an empty last
// piece (a separator at the very end) is dropped; an empty text gives no pieces.
std::vector<std::string> splitText(std::string_view text, std::string_view separator);

}  // namespace sscplan
