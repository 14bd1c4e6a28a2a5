#include "update/update_signature.h"

#include <gtest/gtest.h>

#include <functional>

namespace sscplan {
namespace {

constexpr std::string_view kFile = "#!/bin/sh\necho new\n";

class UpdateSignatureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto privateKey = generateUpdatePrivateKey();
        const auto otherKey = generateUpdatePrivateKey();
        ASSERT_TRUE(privateKey && otherKey);
        privateKey_ = *privateKey;
        publicKey_ = updatePublicKeyOf(privateKey_);
        otherPublicKey_ = updatePublicKeyOf(*otherKey);
        const auto signature = signUpdate(privateKey_, "1.5", kFile);
        ASSERT_TRUE(signature);
        signature_ = *signature;
    }

    UpdatePrivateKey privateKey_{};
    UpdatePublicKey publicKey_{};
    UpdatePublicKey otherPublicKey_{};
    UpdateSignature signature_{};
};

TEST_F(UpdateSignatureTest, AcceptsTheSignedVersionAndBytes) {
    EXPECT_TRUE(verifyUpdate(publicKey_, "1.5", kFile, signature_));
}

struct RefusalCase {
    const char* name;
    std::function<bool(const UpdatePublicKey& key, const UpdatePublicKey& otherKey,
                       UpdateSignature signature)>
        verify;
};

class SignatureRefusalTest : public UpdateSignatureTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SignatureRefusalTest, Refuses) {
    EXPECT_FALSE(GetParam().verify(publicKey_, otherPublicKey_, signature_));
}

std::string flippedByte() {
    std::string bytes(kFile);
    bytes[3] ^= 0x01;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignatureRefusalTest,
    ::testing::Values(
        RefusalCase{"WrongKey", [](auto&, auto& other,
                                   auto sig) { return verifyUpdate(other, "1.5", kFile, sig); }},
        RefusalCase{"OtherVersion", [](auto& key, auto&,
                                       auto sig) { return verifyUpdate(key, "1.6", kFile, sig); }},
        // The version and the bytes meet at a separator: moving text between them changes
        // the message.
        RefusalCase{"VersionBytesBoundary",
                    [](auto& key, auto&, auto sig) {
                        return verifyUpdate(key, "1.5#", kFile.substr(1), sig);
                    }},
        RefusalCase{"FlippedByte",
                    [](auto& key, auto&, auto sig) {
                        return verifyUpdate(key, "1.5", flippedByte(), sig);
                    }},
        RefusalCase{"TruncatedFile",
                    [](auto& key, auto&, auto sig) {
                        return verifyUpdate(key, "1.5", kFile.substr(0, kFile.size() - 1), sig);
                    }},
        RefusalCase{"FlippedSignature",
                    [](auto& key, auto&, auto sig) {
                        sig[10] ^= 0x80;
                        return verifyUpdate(key, "1.5", kFile, sig);
                    }},
        RefusalCase{"VersionWithNul",
                    [](auto& key, auto&, auto sig) {
                        return verifyUpdate(key, std::string_view("1.5\0", 4), kFile, sig);
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateMessageTest, NamesTheDomainVersionAndBytes) {
    EXPECT_EQ(signedUpdateMessage("1.5", "AB"), std::string("sscplan-update\0"
                                                            "1.5\0AB",
                                                            21));
    EXPECT_FALSE(signedUpdateMessage(std::string_view("1\0", 2), "AB"));
}

TEST(UpdateKeyTest, DerivesThePublicKeyOfTheStandardTestVector) {
    // RFC 8032, section 7.1, TEST 1.
    const auto privateKey =
        parseKeyText("9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60");
    ASSERT_TRUE(privateKey);
    EXPECT_EQ(keyText(updatePublicKeyOf(*privateKey)),
              "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a\n");
}

TEST_F(UpdateSignatureTest, SignatureTextRoundTrips) {
    const std::string text = signatureText(signature_);
    EXPECT_EQ(text.size(), 129u);
    EXPECT_EQ(parseSignatureText(text), signature_);
    EXPECT_EQ(parseSignatureText(text.substr(0, 128) + "\r\n"), signature_);
}

struct TextCase {
    const char* name;
    std::string text;
};

class MalformedSignatureTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(MalformedSignatureTextTest, IsRefused) {
    EXPECT_FALSE(parseSignatureText(GetParam().text)) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, MalformedSignatureTextTest,
                         ::testing::Values(TextCase{"Empty", ""},
                                           TextCase{"OneDigitShort", std::string(127, 'a')},
                                           TextCase{"OneDigitLong", std::string(129, 'a')},
                                           TextCase{"NotHex", std::string(127, 'a') + "g"},
                                           TextCase{"TwoLineEnds", std::string(128, 'a') + "\n\n"},
                                           TextCase{"LeadingBlank", " " + std::string(127, 'a')},
                                           TextCase{"Binary", std::string(64, '\x01')}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sscplan
