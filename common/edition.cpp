#include "common/edition.h"

#include <regex>

#include "common/text.h"

namespace sscplan {

bool namesBetRange(const std::string& planSpec) {
    return planSpec.find("注") != std::string::npos;
}

std::optional<BetRange> findBetRange(const std::string& planSpec) {
    // Over UTF-32 so that each "." is one character, a Chinese character included.
    static const std::wregex range(L"(....)([\\d]+)-([\\d]+)");
    const std::wstring wide = utf8ToWide(planSpec);
    std::wsmatch match;
    if (!std::regex_search(wide, match, range)) return std::nullopt;
    BetRange result;
    result.planName = wideToUtf8(match.str(1));
    result.minBets = textToInt(wideToUtf8(match.str(2)));
    result.maxBets = textToInt(wideToUtf8(match.str(3)));
    return result;
}

EditionInfo thisEdition() {
    EditionInfo edition;
    edition.title = "Zindra平刷后二直选单式";
    edition.fileStem = edition.title;
    edition.appId = 1017;
    edition.planSpec = "后二单式25-70注";
    edition.version = "1.41";
    return edition;
}

bool deriveBetRange(EditionInfo& edition) {
    edition.planName.clear();
    edition.minBets = 0;
    edition.maxBets = 0;
    if (!namesBetRange(edition.planSpec)) return true;
    const auto range = findBetRange(edition.planSpec);
    if (!range) return false;
    edition.planName = range->planName;
    edition.minBets = range->minBets;
    edition.maxBets = range->maxBets;
    return true;
}

std::string defaultBetCountText(const EditionInfo& edition) {
    const double middle =
        edition.minBets + (static_cast<double>(edition.maxBets) - edition.minBets) / 2.0;
    return realToText(middle);
}

}  // namespace sscplan
