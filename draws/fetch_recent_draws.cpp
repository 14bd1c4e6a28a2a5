#include "draws/fetch_recent_draws.h"

#include <algorithm>

#include "common/text.h"

namespace sscplan {

bool fetchRecentDraws(CloudClient& client, MessageBoxes& boxes, std::int32_t count,
                      DrawHistory& target) {
    DrawTable table;
    if (!client.selectDraw(count, table)) {
        boxes.inform(kRecentDrawsFailed + client.lastError());
        return false;
    }
    DrawHistory draws(static_cast<std::size_t>(std::max(count, 0)));
    const std::size_t filled = std::min(draws.size(), table.size());
    for (std::size_t r = 0; r < filled; ++r) {
        const std::vector<std::string>& row = table[r];
        // The client refuses tables narrower than a record; a shorter row stays empty.
        if (row.size() < CloudClient::kDrawFields) continue;
        DrawRecord& draw = draws[r];
        draw.date = row[0];
        draw.periodNo = row[1];
        draw.drawTime = row[2];
        draw.numbers = row[3];
        draw.seedValue = textToInt(row[4]);
    }
    target = std::move(draws);
    return true;
}

}  // namespace sscplan
