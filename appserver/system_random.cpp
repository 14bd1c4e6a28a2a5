#include "appserver/system_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sscplan::appserver {

std::string systemRandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t got = getrandom(bytes.data() + filled, count - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "ssc-server: getrandom failed: %s\n", std::strerror(errno));
            std::abort();
        }
        filled += static_cast<std::size_t>(got);
    }
    return bytes;
}

std::string randomDrawNumbers() {
    std::string digits;
    while (digits.size() < 5) {
        // 250 is the largest multiple of 10 below 256: rejecting the rest keeps every
        // digit equally likely.
        for (char c : systemRandomBytes(8)) {
            const auto b = static_cast<unsigned char>(c);
            if (b < 250 && digits.size() < 5) digits += static_cast<char>('0' + b % 10);
        }
    }
    return digits;
}

std::int32_t randomSeedValue() {
    for (;;) {
        const std::string bytes = systemRandomBytes(4);
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data(), sizeof value);
        value &= 0x7FFFFFFFu;
        if (value != 0) return static_cast<std::int32_t>(value);
    }
}

}  // namespace sscplan::appserver
