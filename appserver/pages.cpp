#include "appserver/pages.h"

#include <algorithm>
#include <cstdio>

namespace sscplan::appserver {
namespace {

constexpr const char* kPositionNames[5] = {"万位", "千位", "百位", "十位", "个位"};
constexpr std::size_t kPanelDraws = 10;

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool isFiveDigits(const std::string& numbers) {
    return numbers.size() == 5 &&
           std::all_of(numbers.begin(), numbers.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string pageStart(const char* title, const char* extraStyle) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width\">";
    html += "<title>";
    html += title;
    html +=
        "</title><style>"
        "body{margin:0;padding:4px;font:12px/1.4 sans-serif;color:#222;background:#fff}"
        "h1,h2{font-size:13px;margin:6px 0 4px;color:#b00}"
        "table{border-collapse:collapse;width:100%}"
        "td,th{border-bottom:1px solid #eee;padding:2px 3px;text-align:left}"
        "th{background:#f6f6f6;font-weight:normal;color:#666}"
        ".n{font-family:monospace;font-size:13px;letter-spacing:2px;color:#b00}"
        "a{color:#06c}";
    html += extraStyle;
    html += "</style></head><body>\n";
    return html;
}

std::string drawRows(const DrawHistory& draws, std::size_t count, bool withTime) {
    std::string html;
    for (std::size_t i = 0; i < std::min(count, draws.size()); ++i) {
        const DrawRecord& draw = draws[i];
        html += "<tr><td>" + escapeHtml(displayPeriod(draw)) + "</td>";
        if (withTime) html += "<td>" + escapeHtml(draw.drawTime) + "</td>";
        html += "<td class=\"n\">" + escapeHtml(draw.numbers) + "</td></tr>\n";
    }
    return html;
}

// A heat map: one row per position, one column per digit, each cell shaded by how often
// the digit came up there and labelled with the count.
std::string digitChart(const DigitCounts& counts, std::size_t drawsCounted) {
    constexpr int kLabel = 34, kCell = 21, kRow = 20, kTop = 16;
    const int width = kLabel + 10 * kCell;
    const int height = kTop + 5 * kRow;
    int most = 1;
    for (const auto& row : counts) most = std::max(most, *std::max_element(row.begin(), row.end()));

    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                  "viewBox=\"0 0 %d %d\" role=\"img\" aria-label=\"近%zu期各位号码出现次数\" "
                  "font-size=\"11\" font-family=\"sans-serif\">",
                  width, height, width, height, drawsCounted);
    std::string svg = buffer;
    for (int digit = 0; digit < 10; ++digit) {
        std::snprintf(buffer, sizeof buffer,
                      "<text x=\"%d\" y=\"12\" text-anchor=\"middle\" fill=\"#666\">%d</text>",
                      kLabel + digit * kCell + kCell / 2, digit);
        svg += buffer;
    }
    for (int position = 0; position < 5; ++position) {
        const int y = kTop + position * kRow;
        std::snprintf(buffer, sizeof buffer, "<text x=\"0\" y=\"%d\" fill=\"#444\">%s</text>",
                      y + 14, kPositionNames[position]);
        svg += buffer;
        for (int digit = 0; digit < 10; ++digit) {
            const int count = counts[position][digit];
            // Lightness from 96% (never) down to 45% (the most frequent).
            const int lightness = 96 - (51 * count) / most;
            std::snprintf(buffer, sizeof buffer,
                          "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" "
                          "fill=\"hsl(0,75%%,%d%%)\"><title>%s %d：%d次</title></rect>"
                          "<text x=\"%d\" y=\"%d\" text-anchor=\"middle\" fill=\"%s\">%d</text>",
                          kLabel + digit * kCell, y, kCell - 1, kRow - 1, lightness,
                          kPositionNames[position], digit, count,
                          kLabel + digit * kCell + kCell / 2, y + 14,
                          lightness < 65 ? "#fff" : "#333", count);
            svg += buffer;
        }
    }
    svg += "</svg>";
    return svg;
}

}  // namespace

DigitCounts digitCounts(const DrawHistory& draws) {
    DigitCounts counts{};
    for (std::size_t i = 0; i < std::min(kChartDraws, draws.size()); ++i) {
        if (!isFiveDigits(draws[i].numbers)) continue;
        for (int position = 0; position < 5; ++position) {
            ++counts[position][draws[i].numbers[position] - '0'];
        }
    }
    return counts;
}

std::string panelPage(const DrawHistory& draws, const std::string& historyUrl) {
    std::string html = pageStart("开奖信息", "body{width:251px}");
    html += "<h1>最新开奖</h1>\n";
    if (draws.empty()) {
        html += "<p>暂无开奖数据</p>\n";
    } else {
        html += "<table><tr><th>期号</th><th>开奖号码</th></tr>\n";
        html += drawRows(draws, kPanelDraws, false);
        html += "</table>\n";
        const std::size_t counted = std::min(kChartDraws, draws.size());
        html += "<h2>近" + std::to_string(counted) + "期号码分布</h2>\n";
        html += digitChart(digitCounts(draws), counted);
        html += "\n";
    }
    html += "<p><a href=\"" + escapeHtml(historyUrl) + "\">更多开奖历史 »</a></p>\n";
    html += "</body></html>\n";
    return html;
}

std::string historyPage(const std::string& title, const DrawHistory& draws,
                        const std::vector<std::string>& days, const std::string& historyUrl) {
    std::string html = pageStart("开奖历史", "body{max-width:640px}");
    html += "<h1>" + escapeHtml(title) + "</h1>\n";
    if (draws.empty()) {
        html += "<p>暂无开奖数据</p>\n";
    } else {
        html += "<table><tr><th>期号</th><th>开奖时间</th><th>开奖号码</th></tr>\n";
        html += drawRows(draws, draws.size(), true);
        html += "</table>\n";
    }
    html += "<h2>按日期查看</h2>\n<p>";
    html += "<a href=\"" + escapeHtml(historyUrl) + "\">最新</a>";
    for (const std::string& day : days) {
        html += " · <a href=\"" + escapeHtml(historyUrl) + "?date=" + escapeHtml(day) + "\">" +
                escapeHtml(day) + "</a>";
    }
    html += "</p>\n</body></html>\n";
    return html;
}

}  // namespace sscplan::appserver
