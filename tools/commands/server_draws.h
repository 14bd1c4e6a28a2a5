#pragma once

#include <cstdint>
#include <string>

#include "draws/draw_record.h"

namespace sscplan::cli {

inline constexpr std::int32_t kDefaultAppId = 1017;

struct ServerDraws {
    bool ok = false;
    DrawHistory draws;  // when ok: the rows the server sent, newest first, at most `count`
    std::string error;  // when not ok: the client's last error text
};

// Initialises a client on `initUrl` as the desktop does (ten attempts) and fetches the
// `count` most recent draws. The empty records the desktop pads its history with when the
// server sends fewer rows are left out.
ServerDraws fetchServerDraws(const std::string& initUrl, std::int32_t count, std::int32_t appId);

}  // namespace sscplan::cli
