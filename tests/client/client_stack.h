#pragma once

#include <chrono>
#include <cstdint>

#include "platform/clock.h"
#include "platform/http_curl.h"
#include "server/cloud_client.h"
#include "tests/fakes/recording_ports.h"

namespace sscplan::testing {

inline constexpr HttpTimeouts kShortTimeouts{std::chrono::milliseconds(200),
                                             std::chrono::milliseconds(500)};
inline constexpr std::int32_t kAppId = 1017;

// The real client over the real transport, with short time-outs, a clock that stands
// still and an event pump that counts.
struct ClientStack {
    explicit ClientStack(HttpTimeouts timeouts = kShortTimeouts,
                         std::size_t maxBodyBytes = CurlTransport::kDefaultMaxBodyBytes)
        : transport(timeouts, maxBodyBytes) {}

    CurlTransport transport;
    FixedClock clock{589, 1700000000};
    CountingEventPump events;
    CloudClient client{transport, clock, events};
};

}  // namespace sscplan::testing
