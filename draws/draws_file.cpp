#include "draws/draws_file.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "common/text.h"

namespace sscplan {
namespace {

constexpr std::size_t kMaxFileBytes = 64u << 20;

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool isValidUtf8(std::string_view text) {
    return wideToUtf8(utf8ToWide(text)) == text;
}

DrawsFileResult failure(std::size_t lineNo, const std::string& what) {
    DrawsFileResult result;
    result.error = "line " + std::to_string(lineNo) + ": " + what;
    return result;
}

}  // namespace

DrawsFileResult parseDrawsText(std::string_view text) {
    DrawsFileResult result;
    std::size_t lineNo = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!isValidUtf8(line)) return failure(lineNo, "not UTF-8 text");
        const std::string_view content = trimBlanks(line);
        // Indented comments too: a draw whose date began with # would come back as one.
        if (content.empty() || content.front() == '#') continue;
        std::vector<std::string_view> fields;
        for (std::size_t p = 0;;) {
            const std::size_t comma = line.find(',', p);
            fields.push_back(line.substr(p, comma == std::string_view::npos ? line.npos : comma - p));
            if (comma == std::string_view::npos) break;
            p = comma + 1;
        }
        if (fields.size() != 5) {
            return failure(lineNo, "expected 5 comma-separated fields "
                                   "(date,periodNo,drawTime,numbers,seedValue), found " +
                                       std::to_string(fields.size()));
        }
        DrawRecord draw;
        draw.date = trimBlanks(fields[0]);
        draw.periodNo = trimBlanks(fields[1]);
        draw.drawTime = trimBlanks(fields[2]);
        draw.numbers = trimBlanks(fields[3]);
        draw.seedValue = textToInt(trimBlanks(fields[4]));
        result.draws.push_back(std::move(draw));
        result.lines.push_back(lineNo);
    }
    result.ok = true;
    return result;
}

DrawsFileResult readDrawsFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    DrawsFileResult result;
    if (!in) {
        result.error = "cannot open " + path;
        return result;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        result.error = "cannot read " + path;
        return result;
    }
    const std::string text = content.str();
    if (text.size() > kMaxFileBytes) {
        result.error = path + " is larger than 64 MiB";
        return result;
    }
    result = parseDrawsText(text);
    if (!result.ok) result.error = path + ": " + result.error;
    return result;
}

std::string drawsFileLine(const DrawRecord& draw) {
    return draw.date + "," + draw.periodNo + "," + draw.drawTime + "," + draw.numbers + "," +
           std::to_string(draw.seedValue);
}

}  // namespace sscplan
