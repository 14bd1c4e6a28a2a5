#pragma once

#include <cstdint>
#include <optional>

namespace sscplan {

// Where the program reads the time. Tests and the command line fix it.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since system start, as a 32-bit count (it wraps after 49.7 days).
    virtual std::uint32_t uptimeMs() const = 0;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t unixSeconds() const = 0;
};

class SystemClock final : public Clock {
public:
    std::uint32_t uptimeMs() const override;
    std::int64_t unixSeconds() const override;
};

// A clock that stands still unless moved: every read gives what was set.
class FixedClock final : public Clock {
public:
    explicit FixedClock(std::uint32_t uptimeMs = 0, std::int64_t unixSeconds = 0)
        : uptime_(uptimeMs), unix_(unixSeconds) {}
    std::uint32_t uptimeMs() const override { return uptime_; }
    std::int64_t unixSeconds() const override { return unix_; }
    void setUptimeMs(std::uint32_t value) { uptime_ = value; }
    void setUnixSeconds(std::int64_t value) { unix_ = value; }

private:
    std::uint32_t uptime_;
    std::int64_t unix_;
};

// A local date-time of this machine's time zone as Unix seconds; nullopt when the fields
// name no date-time.
std::optional<std::int64_t> localToUnixSeconds(int year, int month, int day, int hour,
                                               int minute, int second);

}  // namespace sscplan
