#include "InstallerSignature.h"

#include <Ed25519.h>
#include <Resources.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <fstream>

#include "InstallerFormat.h"
#include "InstallerManifest.h"

namespace {

using Seal = InstallerSignature::Seal;

class InstallerSignatureTest : public testing::Test {
protected:
    void SetUp() override
    {
        fPath = brenvik::test::MakeTempFolder("signature") + "/resources";
        std::ofstream(fPath).flush();
        ASSERT_EQ(fResources.SetTo(fPath.c_str(), B_READ_WRITE, true), B_OK);
        ASSERT_EQ(fResources.AddResource(B_RAW_TYPE, 2100, "payload", 7, "Notes.app"), B_OK);
        ASSERT_EQ(InstallerManifest::Write(fResources), B_OK);
        ASSERT_EQ(BPrivate::Ed25519::NewSeed(&fSigner.seed), B_OK);
        fSigner.publisher = "Example Software Ltd";
    }

    Seal Check()
    {
        EXPECT_EQ(fResources.Sync(), B_OK);
        BResources reread;
        EXPECT_EQ(reread.SetTo(fPath.c_str(), B_READ_ONLY, false), B_OK);
        return InstallerSignature::Check(reread);
    }

    // Replaces the signature resource's text through `edit`.
    template <class Edit> void EditSignature(Edit edit)
    {
        size_t size = 0;
        const void* data = fResources.LoadResource(
            InstallerFormat::kSignatureType, InstallerFormat::kSignatureId, &size);
        ASSERT_NE(data, nullptr);
        std::string text(static_cast<const char*>(data), size);
        edit(text);
        ASSERT_EQ(
            fResources.AddResource(InstallerFormat::kSignatureType, InstallerFormat::kSignatureId,
                text.data(), text.size(), InstallerFormat::kSignatureName),
            B_OK);
    }

    std::string fPath;
    BResources fResources;
    InstallerSignature::Signer fSigner;
};

TEST_F(InstallerSignatureTest, ASignedTableOfContentsNamesItsPublisherAndKey)
{
    EXPECT_EQ(Check().what, Seal::kUnsigned);
    ASSERT_EQ(InstallerSignature::Sign(fResources, fSigner), B_OK);
    Seal seal = Check();
    EXPECT_EQ(seal.what, Seal::kSigned);
    EXPECT_EQ(seal.publisher, "Example Software Ltd");
    EXPECT_EQ(seal.publicKey, BPrivate::Ed25519::PublicKeyOf(fSigner.seed));

    // The signature is the one part the table of contents leaves out.
    BResources reread;
    ASSERT_EQ(reread.SetTo(fPath.c_str(), B_READ_ONLY, false), B_OK);
    EXPECT_EQ(InstallerManifest::Check(reread).what, InstallerManifest::Verdict::kWhole);

    // Signed again by another publisher: the other name, the other key.
    InstallerSignature::Signer other { "Someone Else", std::string() };
    ASSERT_EQ(BPrivate::Ed25519::NewSeed(&other.seed), B_OK);
    ASSERT_EQ(InstallerSignature::Sign(fResources, other), B_OK);
    EXPECT_EQ(Check().publisher, "Someone Else");
}

struct Forgery {
    const char* name;
    void (*edit)(std::string& text);
};

class InstallerSignatureForgeryTest : public InstallerSignatureTest,
                                      public testing::WithParamInterface<Forgery> { };

TEST_P(InstallerSignatureForgeryTest, DoesNotHold)
{
    ASSERT_EQ(InstallerSignature::Sign(fResources, fSigner), B_OK);
    EditSignature(GetParam().edit);
    EXPECT_EQ(Check().what, Seal::kBadSignature);
}

INSTANTIATE_TEST_SUITE_P(Edits, InstallerSignatureForgeryTest,
    testing::Values(
        // Another name under the same signature.
        Forgery { "Publisher",
            [](std::string& text) { text.replace(text.find("Example"), 7, "Exampel"); } },
        // The same digits in capitals: never read as the signature signed.
        Forgery { "CapitalDigits",
            [](std::string& text) {
                size_t at = text.find("\nsignature ") + 11;
                while (!std::isalpha(static_cast<unsigned char>(text[at])))
                    at++;
                text[at] = char(std::toupper(static_cast<unsigned char>(text[at])));
            } },
        Forgery { "SignatureDigit",
            [](std::string& text) {
                size_t at = text.find("\nsignature ") + 11;
                text[at] = text[at] == '0' ? '1' : '0';
            } },
        Forgery { "KeyDigit",
            [](std::string& text) {
                size_t at = text.find("\nkey ") + 5;
                text[at] = text[at] == '0' ? '1' : '0';
            } },
        Forgery { "Truncated", [](std::string& text) { text.resize(text.size() / 2); } },
        Forgery { "Empty", [](std::string& text) { text.clear(); } }),
    [](const testing::TestParamInfo<Forgery>& param) { return std::string(param.param.name); });

TEST_F(InstallerSignatureTest, AChangedTableOfContentsBreaksTheSignature)
{
    ASSERT_EQ(InstallerSignature::Sign(fResources, fSigner), B_OK);
    ASSERT_EQ(fResources.AddResource(B_RAW_TYPE, 2100, "altered", 7, "Notes.app"), B_OK);
    ASSERT_EQ(InstallerManifest::Write(fResources), B_OK);
    EXPECT_EQ(Check().what, Seal::kBadSignature);
}

TEST_F(InstallerSignatureTest, RefusesWhatCannotBeSigned)
{
    InstallerSignature::Signer unnamed { "", fSigner.seed };
    InstallerSignature::Signer twoLines { "Example\nSoftware", fSigner.seed };
    InstallerSignature::Signer keyless { "Example", "short" };
    for (const auto& signer : { unnamed, twoLines, keyless })
        EXPECT_EQ(InstallerSignature::Sign(fResources, signer), B_BAD_VALUE) << signer.publisher;

    BResources bare;
    std::string path = brenvik::test::MakeTempFolder("bare") + "/resources";
    std::ofstream(path).flush();
    ASSERT_EQ(bare.SetTo(path.c_str(), B_READ_WRITE, true), B_OK);
    EXPECT_EQ(InstallerSignature::Sign(bare, fSigner), B_NO_INIT);
}

TEST(InstallerFingerprintTest, NamesAKeyAsUsersWriteIt)
{
    std::string seed;
    ASSERT_EQ(BPrivate::Ed25519::NewSeed(&seed), B_OK);
    std::string key = BPrivate::Ed25519::PublicKeyOf(seed);
    std::string full = InstallerSignature::Fingerprint(key);
    ASSERT_EQ(full.size(), 64u);
    std::string shown = InstallerSignature::ShownFingerprint(key);
    EXPECT_EQ(shown.size(), 19u);
    EXPECT_EQ(shown.substr(0, 4) + shown.substr(5, 4), full.substr(0, 8));

    std::string colons;
    for (size_t i = 0; i < 32; i += 2)
        colons += (i > 0 ? ":" : "") + full.substr(i, 2);
    std::string lower = full;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& wanted : { full, full.substr(0, 16), shown, colons, lower })
        EXPECT_TRUE(InstallerSignature::FingerprintNames(wanted, key)) << wanted;

    std::string otherDigit = full.substr(0, 16);
    otherDigit[15] = otherDigit[15] == '0' ? '1' : '0';
    for (const std::string& wanted : { full.substr(0, 15), otherDigit, full.substr(1, 16),
             std::string("not hex at all!!!!"), std::string(), full + "0" })
        EXPECT_FALSE(InstallerSignature::FingerprintNames(wanted, key)) << wanted;
    EXPECT_FALSE(InstallerSignature::FingerprintNames(full, std::string()));
}

} // namespace
