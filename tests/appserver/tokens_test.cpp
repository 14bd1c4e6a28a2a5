#include "appserver/tokens.h"

#include <gtest/gtest.h>

#include "server/protocol.h"

namespace sscplan::appserver {
namespace {

TEST(CallTokens, FindsTheTokenAmongTheLastSixtySeconds) {
    CallTokens tokens("secret");
    const std::int64_t issuedAt = 1781157600;
    const std::string token = tokens.issue(issuedAt);
    const std::string payload = protocol::encodePayload("hello%20world", token);
    struct Row {
        std::int64_t age;
        bool found;
    };
    for (const Row row :
         {Row{0, true}, Row{1, true}, Row{60, true}, Row{61, false}, Row{-1, false}}) {
        std::string seen;
        const bool found = tokens.decipher(payload, issuedAt + row.age, [&](const std::string& r) {
            seen = r;
            return true;
        });
        EXPECT_EQ(found, row.found) << "age " << row.age;
        if (row.found) {
            EXPECT_EQ(seen, "hello%20world");
        }
    }
}

TEST(CallTokens, GoesOnWhenADecipheredCandidateIsRefused) {
    CallTokens tokens("secret");
    const std::string payload = protocol::encodePayload("x", tokens.issue(100));
    int offered = 0;
    EXPECT_FALSE(tokens.decipher(payload, 130, [&](const std::string&) {
        ++offered;
        return false;
    }));
    EXPECT_GE(offered, 1);
    EXPECT_LE(offered, static_cast<int>(CallTokens::kCandidates));
}

TEST(CallTokens, DependOnTheSecretAndTheSecond) {
    CallTokens a("secret"), b("other secret");
    EXPECT_NE(a.issue(100), a.issue(101));
    EXPECT_NE(a.issue(100), b.issue(100));
    EXPECT_EQ(a.issue(100), CallTokens("secret").issue(100)) << "a restart keeps the tokens";
}

TEST(SessionTokens, VerifiesOnlyItsOwnTokensForTheirApplication) {
    const SessionTokens sessions("secret");
    const std::string token = sessions.issue(1017, 1781157600);
    EXPECT_TRUE(sessions.verify(token, 1017));
    EXPECT_TRUE(SessionTokens("secret").verify(token, 1017)) << "valid across a restart";
    EXPECT_FALSE(SessionTokens("other").verify(token, 1017));
    EXPECT_FALSE(sessions.verify(token, 1018));
    EXPECT_NE(sessions.issue(1017, 1781157600), token) << "each init gets its own token";
    std::string tampered = token;
    tampered[3] = tampered[3] == '0' ? '1' : '0';
    EXPECT_FALSE(sessions.verify(tampered, 1017));
    EXPECT_FALSE(sessions.verify(token.substr(1), 1017));
    EXPECT_FALSE(sessions.verify("", 1017));
}

}  // namespace
}  // namespace sscplan::appserver
