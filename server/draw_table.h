#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sscplan {

// Rows x columns of texts; every row has the same number of cells. One row per draw,
// newest first, cells in the field order of a draw record.
using DrawTable = std::vector<std::vector<std::string>>;

// The number of cells in each row; 0 for a table without rows.
std::size_t columnCount(const DrawTable& table);

// Builds a table from a table text: lines split at CR LF, cells at "|+|", all cells of all
// lines in one flat list; rows = lines, columns = cells / rows (truncated), filled row by
// row, cells left over dropped. A trailing line break adds no row. Returns false for the
// empty text, leaving `table` untouched. Fewer cells than lines gives rows of no cells.
bool buildDrawTable(std::string_view tableText, DrawTable& table);

// The newest-draw data text split at "| |" (an empty last piece dropped).
std::vector<std::string> splitNewestDraw(std::string_view text);

}  // namespace sscplan
