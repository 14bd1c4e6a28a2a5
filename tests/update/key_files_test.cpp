#include "update/key_files.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/temp_dir.h"
#include "update/update_signature.h"

namespace sscplan {
namespace {

using testing::readTestFile;
using testing::TempDir;
using testing::writeTestFile;

class KeyFilesTest : public ::testing::Test {
  protected:
    TempDir dir_;
    std::string private_ = dir_.file("update.key");
    std::string public_ = dir_.file("update.pub");
    std::string file_ = dir_.file("program");
};

TEST_F(KeyFilesTest, KeygenWritesAMatchingPairWithAPrivateMode) {
    ASSERT_EQ(writeUpdateKeyPair(private_, public_), "");
    EXPECT_EQ(filePermissions(private_), 0600u);
    const auto privateKey = parseKeyText(readTestFile(private_));
    const auto publicKey = parseKeyText(readTestFile(public_));
    ASSERT_TRUE(privateKey && publicKey);
    EXPECT_EQ(updatePublicKeyOf(*privateKey), *publicKey);
}

TEST_F(KeyFilesTest, KeygenNeverOverwritesAPrivateKey) {
    writeTestFile(private_, "precious\n");
    EXPECT_NE(writeUpdateKeyPair(private_, public_), "");
    EXPECT_EQ(readTestFile(private_), "precious\n");
    EXPECT_FALSE(pathExists(public_));
}

TEST_F(KeyFilesTest, SignWritesASignatureOfTheVersionAndTheFile) {
    ASSERT_EQ(writeUpdateKeyPair(private_, public_), "");
    writeTestFile(file_, "#!/bin/sh\n");
    ASSERT_EQ(signUpdateFile(private_, "1.5", file_), "");
    const auto publicKey = parseKeyText(readTestFile(public_));
    const auto signature = parseSignatureText(readTestFile(file_ + ".sig"));
    ASSERT_TRUE(publicKey && signature);
    EXPECT_TRUE(verifyUpdate(*publicKey, "1.5", "#!/bin/sh\n", *signature));
    EXPECT_FALSE(verifyUpdate(*publicKey, "1.6", "#!/bin/sh\n", *signature));
}

TEST_F(KeyFilesTest, SignRefusesWhatItCannotUse) {
    writeTestFile(file_, "#!/bin/sh\n");
    EXPECT_NE(signUpdateFile(private_, "1.5", file_), "") << "missing key file";
    writeTestFile(private_, "not a key\n");
    EXPECT_NE(signUpdateFile(private_, "1.5", file_), "") << "malformed key file";
    ASSERT_EQ(writeUpdateKeyPair(dir_.file("good.key"), public_), "");
    EXPECT_NE(signUpdateFile(dir_.file("good.key"), "1.5", dir_.file("missing")), "");
    EXPECT_FALSE(pathExists(file_ + ".sig"));
    EXPECT_FALSE(pathExists(dir_.file("missing.sig")));
}

}  // namespace
}  // namespace sscplan
