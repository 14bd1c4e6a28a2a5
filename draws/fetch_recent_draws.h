#pragma once

#include <cstdint>

#include "draws/draw_record.h"
#include "platform/ports.h"
#include "server/cloud_client.h"

namespace sscplan {

inline constexpr const char* kRecentDrawsFailed = "查询最近开奖数据失败！";

// Asks the server for the `count` most recent draws. On success `target` becomes exactly
// `count` records (none for a count below 1): the table's rows in order, newest first,
// rows beyond `count` left out, records without a row empty. On failure shows
// kRecentDrawsFailed + the client's lastError and leaves `target` as it was.
bool fetchRecentDraws(CloudClient& client, MessageBoxes& boxes, std::int32_t count,
                      DrawHistory& target);

}  // namespace sscplan
