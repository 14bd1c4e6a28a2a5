#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "draws/draw_record.h"

namespace sscplan {

// The draws file: UTF-8 text, one draw per line, newest first, five comma-separated fields
// date,periodNo,drawTime,numbers,seedValue. LF or CRLF line ends; blank lines and lines
// starting with # are skipped; blanks around a field are dropped. seedValue is read by the
// program's text-to-integer rule (a text without digits gives 0). A line whose first
// character other than a blank is # is a comment.
struct DrawsFileResult {
    bool ok = false;
    DrawHistory draws;   // complete when ok, empty otherwise
    std::vector<std::size_t> lines;  // the line (from 1) each draw came from
    std::string error;   // when not ok: "line N: what is wrong" (or why the file is unreadable)
};

DrawsFileResult parseDrawsText(std::string_view text);
DrawsFileResult readDrawsFile(const std::string& path);

// One draw as a line of the draws file, without the line break.
std::string drawsFileLine(const DrawRecord& draw);

}  // namespace sscplan
