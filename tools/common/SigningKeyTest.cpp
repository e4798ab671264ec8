#include "SigningKey.h"

#include <Ed25519.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace {

class SigningKeyTest : public testing::Test {
protected:
    void SetUp() override { fKey = brenvik::test::MakeTempFolder("key") + "/publisher.key"; }

    static mode_t ModeOf(const std::string& path)
    {
        struct stat info { };
        EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 07777;
    }

    std::string fKey;
    std::string fError;
};

TEST_F(SigningKeyTest, ANewKeyIsPrivateReadsBackAndIsNeverOverwritten)
{
    // A umask that would leave the key open to everyone.
    mode_t old = umask(0);
    status_t made = brenvik::WriteNewSigningKey(fKey, "Example Software Ltd", &fError);
    umask(old);
    ASSERT_EQ(made, B_OK) << fError;
    EXPECT_EQ(ModeOf(fKey), 0600u);
    EXPECT_EQ(ModeOf(fKey + ".pub"), 0644u);

    InstallerSignature::Signer signer;
    ASSERT_EQ(brenvik::ReadSigningKey(fKey, &signer, &fError), B_OK) << fError;
    EXPECT_EQ(signer.publisher, "Example Software Ltd");
    std::string publicKey = BPrivate::Ed25519::PublicKeyOf(signer.seed);
    ASSERT_FALSE(publicKey.empty());
    std::ifstream shown(fKey + ".pub");
    std::string text((std::istreambuf_iterator<char>(shown)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(InstallerSignature::ShownFingerprint(publicKey, true)), std::string::npos)
        << text;
    // The public half never holds the private key.
    EXPECT_EQ(text.find("seed"), std::string::npos);

    EXPECT_EQ(brenvik::WriteNewSigningKey(fKey, "Someone Else", &fError), B_FILE_EXISTS);
    InstallerSignature::Signer again;
    ASSERT_EQ(brenvik::ReadSigningKey(fKey, &again, &fError), B_OK);
    EXPECT_EQ(again.seed, signer.seed);
}

TEST_F(SigningKeyTest, RefusesKeysOthersCanReadAndFilesThatAreNoKeys)
{
    ASSERT_EQ(brenvik::WriteNewSigningKey(fKey, "Example", &fError), B_OK) << fError;
    InstallerSignature::Signer signer;
    chmod(fKey.c_str(), 0640);
    EXPECT_EQ(brenvik::ReadSigningKey(fKey, &signer, &fError), B_NOT_ALLOWED);
    EXPECT_NE(fError.find("chmod 600"), std::string::npos) << fError;

    for (const std::string& text : { std::string("BRENVIK SIGNING KEY 1\npublisher X\nseed 12\n"),
             std::string("BRENVIK PUBLIC KEY 1\npublisher X\n"), std::string() }) {
        std::string path = fKey + ".bad";
        std::ofstream(path) << text;
        chmod(path.c_str(), 0600);
        EXPECT_EQ(brenvik::ReadSigningKey(path, &signer, &fError), B_BAD_VALUE) << text;
    }
    EXPECT_EQ(brenvik::ReadSigningKey(fKey + ".none", &signer, &fError), B_ERROR);
    // A name on two lines would show as something else at the licence.
    EXPECT_EQ(brenvik::WriteNewSigningKey(fKey + "2", "Example\nLtd", &fError), B_BAD_VALUE);
}

} // namespace
