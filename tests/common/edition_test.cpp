#include "common/edition.h"

#include <gtest/gtest.h>

namespace sscplan {
namespace {

TEST(Edition, DerivesTheBetRangeInCharacters) {
    EditionInfo edition = thisEdition();
    ASSERT_TRUE(deriveBetRange(edition));
    EXPECT_EQ(edition.planName, "后二单式");
    EXPECT_EQ(edition.minBets, 25);
    EXPECT_EQ(edition.maxBets, 70);
    EXPECT_EQ(defaultBetCountText(edition), "47.5");
    EXPECT_EQ(edition.title, "Zindra平刷后二直选单式");
    EXPECT_EQ(edition.fileStem, edition.title);
    EXPECT_EQ(edition.appId, 1017);
    EXPECT_EQ(edition.version, "1.41");
}

TEST(Edition, RangeCases) {
    struct Case {
        const char* spec;
        bool ok;
        const char* planName;
        int minBets;
        int maxBets;
    };
    const Case cases[] = {
        {"五星独胆", true, "", 0, 0},             // no 注: not searched
        {"单式25-70注", false, "", 0, 0},         // fewer than four characters before
        {"后二单式注", false, "", 0, 0},          // no digits-digits
        {"前三复式单式9-3注", true, "复式单式", 9, 3},  // no order check
        {"ab后二单式10-20注x", true, "后二单式", 10, 20},
    };
    for (const Case& c : cases) {
        EditionInfo edition;
        edition.planSpec = c.spec;
        EXPECT_EQ(deriveBetRange(edition), c.ok) << c.spec;
        EXPECT_EQ(edition.planName, c.planName) << c.spec;
        EXPECT_EQ(edition.minBets, c.minBets) << c.spec;
        EXPECT_EQ(edition.maxBets, c.maxBets) << c.spec;
    }
}

}  // namespace
}  // namespace sscplan
