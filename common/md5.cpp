#include "common/md5.h"

#include <nettle/md5.h>

namespace sscplan {

std::string md5Hex(std::string_view bytes) {
    md5_ctx ctx;
    md5_init(&ctx);
    md5_update(&ctx, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    std::uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&ctx, sizeof digest, digest);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * MD5_DIGEST_SIZE);
    for (std::uint8_t b : digest) {
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

}  // namespace sscplan
