#include "server/protocol.h"

#include <gtest/gtest.h>

namespace sscplan::protocol {
namespace {

TEST(Protocol, Rc4MatchesThePublishedVectors) {
    EXPECT_EQ(bytesToHex(rc4("Plaintext", "Key")), "BBF316E8D940AF0AD3");
    EXPECT_EQ(bytesToHex(rc4("Attack at dawn", "Secret")), "45A01F645FC35B383552544B9BF5");
    EXPECT_EQ(rc4(rc4("abc", "k"), "k"), "abc");
    EXPECT_EQ(rc4("abc", ""), "abc");
}

TEST(Protocol, HexBothCasesOddLengthAndJunk) {
    EXPECT_EQ(bytesToHex(std::string("\x0a\xff", 2)), "0AFF");
    EXPECT_EQ(hexToBytes("0aff"), std::string("\x0a\xff", 2));
    EXPECT_EQ(hexToBytes("0AFF"), std::string("\x0a\xff", 2));
    EXPECT_EQ(hexToBytes("0AF"), std::string("\x0a\x0f", 2));
    EXPECT_EQ(hexToBytes("zz"), std::string(1, '\0'));
    EXPECT_EQ(parseInteger("0589"), 589);
    EXPECT_EQ(parseInteger("ff", 0), 255);
    EXPECT_EQ(parseInteger("17", 2), 15);
    EXPECT_EQ(parseInteger("101", 3), 5);
}

TEST(Protocol, PercentEncodingKeepsOnlyUnreservedCharacters) {
    EXPECT_EQ(percentEncode("a-b_c.d~e"), "a-b_c.d~e");
    EXPECT_EQ(percentEncode("{\"%\":\"注\"}"), "%7B%22%25%22%3A%22%E6%B3%A8%22%7D");
    std::string decoded;
    ASSERT_TRUE(percentDecode("%7B%22%25%22%3A%22%E6%B3%A8%22%7D", decoded));
    EXPECT_EQ(decoded, "{\"%\":\"注\"}");
    EXPECT_FALSE(percentDecode("%4", decoded));
    EXPECT_FALSE(percentDecode("%zz", decoded));
}

TEST(Protocol, SecretsHaveTheirShape) {
    const std::string key = fixedKey();
    ASSERT_EQ(key.size(), 15u);
    for (char c : key) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
    EXPECT_EQ(responseKey(589), std::to_string(589 * 7919));
}

TEST(Protocol, LayersRoundTripAndWrongTokensAreRefused) {
    const std::string request = percentEncode(R"({"rand":"589","funname":"init"})");
    const std::string payload = encodePayload(request, "token-123");
    std::string back;
    ASSERT_TRUE(decodePayload(payload, "token-123", back));
    EXPECT_EQ(back, request);
    EXPECT_FALSE(decodePayload(payload, "token-124", back));
    EXPECT_FALSE(decodePayload(payload.substr(1), "token-123", back));
    EXPECT_EQ(decodeReplyData(encodeReplyData("数据", 589), 589), "数据");
    EXPECT_NE(decodeReplyData(encodeReplyData("数据", 589), 590), "数据");
    EXPECT_EQ(decodeToken(encodeToken("abc")), "abc");
}

}  // namespace
}  // namespace sscplan::protocol
