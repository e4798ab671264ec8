#include "InstallerManifest.h"

#include <Resources.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <fstream>

#include "InstallerFormat.h"

namespace {

class InstallerManifestTest : public testing::Test {
protected:
    void SetUp() override
    {
        fPath = brenvik::test::MakeTempFolder("manifest") + "/resources";
        std::ofstream(fPath).flush();
        ASSERT_EQ(fResources.SetTo(fPath.c_str(), B_READ_WRITE, true), B_OK);
        std::string big(3 << 20, 'x');
        big[big.size() - 1] = 'y';
        ASSERT_EQ(
            fResources.AddResource(B_RAW_TYPE, 2100, big.data(), big.size(), "Notes.app"), B_OK);
        ASSERT_EQ(fResources.AddResource(B_STRING_TYPE, 1, "Files", 6, "en:1004"), B_OK);
        ASSERT_EQ(InstallerManifest::Write(fResources), B_OK);
        ASSERT_EQ(fResources.Sync(), B_OK);
    }

    InstallerManifest::Verdict Check()
    {
        BResources reread;
        EXPECT_EQ(reread.SetTo(fPath.c_str(), B_READ_ONLY, false), B_OK);
        return InstallerManifest::Check(reread);
    }

    std::string fPath;
    BResources fResources;
};

TEST_F(InstallerManifestTest, AWholeFileChecksAndAChangeOrAnAdditionIsNamed)
{
    EXPECT_EQ(Check().what, InstallerManifest::Verdict::kWhole);

    // The last byte of a part larger than one piece of the reading.
    std::string big(3 << 20, 'x');
    ASSERT_EQ(fResources.AddResource(B_RAW_TYPE, 2100, big.data(), big.size(), "Notes.app"), B_OK);
    ASSERT_EQ(fResources.Sync(), B_OK);
    InstallerManifest::Verdict changed = Check();
    EXPECT_EQ(changed.what, InstallerManifest::Verdict::kDamaged);
    EXPECT_EQ(changed.part.id, 2100);
    EXPECT_EQ(changed.part.name, "Notes.app");

    ASSERT_EQ(InstallerManifest::Write(fResources), B_OK);
    ASSERT_EQ(fResources.AddResource(B_RAW_TYPE, 2101, "extra", 5, "Extra"), B_OK);
    ASSERT_EQ(fResources.Sync(), B_OK);
    EXPECT_EQ(Check().part.id, 2101);
}

TEST_F(InstallerManifestTest, APartThatIsGoneOrAListThatIsDamagedIsNamed)
{
    ASSERT_EQ(fResources.RemoveResource(B_STRING_TYPE, 1), B_OK);
    ASSERT_EQ(fResources.Sync(), B_OK);
    InstallerManifest::Verdict gone = Check();
    EXPECT_EQ(gone.what, InstallerManifest::Verdict::kDamaged);
    EXPECT_EQ(gone.part.name, "en:1004");

    size_t size = 0;
    const void* data = fResources.LoadResource(
        InstallerFormat::kManifestType, InstallerFormat::kManifestId, &size);
    ASSERT_NE(data, nullptr);
    std::string text(static_cast<const char*>(data), size);
    text[25] = text[25] == '0' ? '1' : '0';
    ASSERT_EQ(fResources.AddResource(InstallerFormat::kManifestType, InstallerFormat::kManifestId,
                  text.data(), text.size(), InstallerFormat::kManifestName),
        B_OK);
    ASSERT_EQ(fResources.Sync(), B_OK);
    EXPECT_EQ(Check().part.id, InstallerFormat::kManifestId);

    ASSERT_EQ(
        fResources.RemoveResource(InstallerFormat::kManifestType, InstallerFormat::kManifestId),
        B_OK);
    ASSERT_EQ(fResources.Sync(), B_OK);
    EXPECT_EQ(Check().what, InstallerManifest::Verdict::kNoManifest);
}

} // namespace
