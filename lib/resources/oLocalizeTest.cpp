#include "oLocalize.h"

#include "LanguageChoice.h"
#include "LocalizedTextTable.h"

#include <Node.h>
#include <Resources.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class oLocalizeTest : public testing::Test {
protected:
    void SetUp() override
    {
        fPath = brenvik::test::MakeTempFolder("localize") + "/installer";
        std::ofstream(fPath).close();
        BResources resources;
        ASSERT_EQ(resources.SetTo(fPath.c_str(), 2, true), B_OK) << resources.ErrorText();
        ASSERT_EQ(LocalizedTextTable::AddToResources(resources), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
        BNode node(fPath.c_str());
        char probe = 'x';
        fHasAttributes = node.WriteAttr("probe", B_STRING_TYPE, 0, &probe, 1) == 1;
        node.RemoveAttr("probe");
    }

    std::string StoredLanguage()
    {
        BNode node(fPath.c_str());
        char buffer[64] = {};
        ssize_t length = node.ReadAttr("language", B_STRING_TYPE, 0, buffer, sizeof(buffer) - 1);
        return length < 0 ? "(none)" : std::string(buffer, size_t(length));
    }

    std::string fPath;
    bool fHasAttributes = false;
};

TEST_F(oLocalizeTest, AFreshInstallerStartsInEnglishAndRemembersIt)
{
    if (!fHasAttributes)
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    oLocalize localize(fPath.c_str());
    EXPECT_STREQ(localize.Language(), "en");
    EXPECT_EQ(StoredLanguage(), "en");
    BNode node(fPath.c_str());
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("language", &info), B_OK);
    EXPECT_EQ(info.type, uint32(B_STRING_TYPE));
    EXPECT_EQ(info.size, 2);
}

TEST_F(oLocalizeTest, AChosenLanguageHoldsForLaterObjects)
{
    if (!fHasAttributes)
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    {
        oLocalize localize(fPath.c_str());
        localize.SetLanguage(LocalizedTextTable::LanguageCode(3));
        EXPECT_STREQ(localize.GetString(1002), "Installation");
    }
    oLocalize later(fPath.c_str());
    EXPECT_STREQ(later.Language(), "de");
    EXPECT_STREQ(later.GetString(1007), "Installieren");
    EXPECT_EQ(StoredLanguage(), "de");
}

TEST_F(oLocalizeTest, LooksTextsUpInTheCurrentLanguage)
{
    oLocalize localize(fPath.c_str());
    EXPECT_STREQ(localize.GetString(1031), LocalizedTextTable::Text("en", 1031));
    EXPECT_EQ(static_cast<const char*>(localize.GetString(1020))[0], '\n');
    EXPECT_STREQ(localize.GetString(999), "");
    EXPECT_STREQ(localize.GetString(1046), "");
    localize.SetLanguage("fr");
    EXPECT_STREQ(localize.GetString(1017), "OK");
    EXPECT_STREQ(localize.GetString(1037), "Installation terminée");
}

TEST_F(oLocalizeTest, AFormatThatDoesNotFitTheArgumentsFallsBackToEnglish)
{
    {
        BResources resources;
        ASSERT_EQ(resources.SetTo(fPath.c_str(), 2, false), B_OK);
        int32 id = 0;
        ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, "nl:1036", &id, nullptr));
        resources.AddResource(B_STRING_TYPE, id, "%s van %s", 10, "nl:1036");
    }
    oLocalize localize(fPath.c_str());
    localize.SetLanguage("nl");
    EXPECT_STREQ(localize.GetString(1036), "%s van %s");
    EXPECT_STREQ(localize.GetFormat(1036), "Installing %d of %d (%s)");
    EXPECT_STREQ(localize.GetFormat(1039), "'%s' kon op dit moment niet worden gestart.");
}

TEST_F(oLocalizeTest, AStoredCodeOfNoKnownLanguageReadsAsEnglish)
{
    if (!fHasAttributes)
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    BNode node(fPath.c_str());
    ASSERT_EQ(node.WriteAttr("language", B_STRING_TYPE, 0, "klingon", 7), 7);
    oLocalize localize(fPath.c_str());
    EXPECT_STREQ(localize.Language(), "en");
    EXPECT_STREQ(localize.GetString(1001), "License");
    EXPECT_EQ(StoredLanguage(), "klingon");
}

TEST_F(oLocalizeTest, WithoutAnExecutableEveryTextIsEmpty)
{
    oLocalize missing((fPath + ".missing").c_str());
    EXPECT_STREQ(missing.Language(), "");
    EXPECT_STREQ(missing.GetString(1001), "");
    // What a message shows falls back to the English text.
    EXPECT_STREQ(missing.GetText(1040),
        "Failure to find selected installation folder. Unable to install files.");
    EXPECT_STREQ(missing.GetFormat(1036), "Installing %d of %d (%s)");
    EXPECT_STREQ(missing.GetText(1046), "");
    // A choice is still kept by the object itself.
    missing.SetLanguage("sv");
    EXPECT_STREQ(missing.Language(), "sv");
}

// A file that refuses attributes, even to root: immutable on file systems
// that have the flag. False when it cannot be made so.
bool MakeImmutable(const std::string& path, bool immutable)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

TEST_F(oLocalizeTest, AChoiceTheFileCannotKeepIsKeptInTheUsersSettings)
{
    if (!fHasAttributes)
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    {
        oLocalize first(fPath.c_str());
    }
    if (!MakeImmutable(fPath, true))
        GTEST_SKIP() << "the sandbox's file system cannot make a file refuse attributes";
    // Without a place in the settings, the choice holds for this run.
    oLocalize(fPath.c_str()).SetLanguage("fr");
    std::string thisRun = static_cast<const char*>(oLocalize(fPath.c_str()).Language());
    LanguageChoice::SetKey("application/x-vnd.Test-Installer", "Test Product");
    {
        oLocalize localize(fPath.c_str());
        localize.SetLanguage("sv");
    }
    std::string kept = LanguageChoice::Read().value_or("(none)");
    std::string later = static_cast<const char*>(oLocalize(fPath.c_str()).Language());
    std::string stored = StoredLanguage();
    MakeImmutable(fPath, false);
    EXPECT_EQ(thisRun, "fr");
    EXPECT_EQ(kept, "sv");
    EXPECT_EQ(later, "sv");
    EXPECT_EQ(stored, "en");

    // Once the file takes the choice again, the settings forget theirs.
    oLocalize(fPath.c_str()).SetLanguage("da");
    EXPECT_EQ(StoredLanguage(), "da");
    EXPECT_FALSE(LanguageChoice::Read().has_value());
    EXPECT_STREQ(oLocalize(fPath.c_str()).Language(), "da");
    LanguageChoice::SetKey("", "");
}

TEST(oLocalizeNoApplicationTest, WithoutAnApplicationTheLanguageStaysEmpty)
{
    oLocalize localize;
    EXPECT_STREQ(localize.Language(), "");
    EXPECT_STREQ(localize.GetString(1001), "");
}

} // namespace
