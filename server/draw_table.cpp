#include "server/draw_table.h"

#include "common/text.h"

namespace sscplan {

std::size_t columnCount(const DrawTable& table) { return table.empty() ? 0 : table.front().size(); }

bool buildDrawTable(std::string_view tableText, DrawTable& table) {
    if (tableText.empty()) return false;
    const std::vector<std::string> lines = splitText(tableText, "\r\n");
    std::vector<std::string> cells;
    for (const std::string& line : lines) {
        for (std::string& cell : splitText(line, "|+|")) cells.push_back(std::move(cell));
    }
    const std::size_t rows = lines.size();
    const std::size_t columns = rows == 0 ? 0 : cells.size() / rows;
    DrawTable built(rows);
    auto next = cells.begin();
    for (std::vector<std::string>& row : built) {
        row.assign(std::make_move_iterator(next), std::make_move_iterator(next + columns));
        next += columns;
    }
    table = std::move(built);
    return true;
}

std::vector<std::string> splitNewestDraw(std::string_view text) { return splitText(text, "| |"); }

}  // namespace sscplan
