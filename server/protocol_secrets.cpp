#include <string>

#include "server/protocol.h"

namespace sscplan::protocol {

// Eleven pieces, six number texts and five letter texts, joined only when needed so that
// the key never stands whole in the program image.
std::string fixedKey() {
    std::string key;
    key.reserve(15);
    key += std::to_string(3);
    key += "k";
    key += std::to_string(81);
    key += "vx";
    key += std::to_string(6);
    key += "q";
    key += std::to_string(90);
    key += "mz";
    key += std::to_string(4);
    key += "h";
    key += std::to_string(7);
    return key;
}

std::string responseKey(std::int64_t rand) {
    constexpr std::int64_t kResponseKeyFactor = 7919;
    return std::to_string(rand * kResponseKeyFactor);
}

}  // namespace sscplan::protocol
