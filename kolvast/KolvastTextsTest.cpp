#include "KolvastTexts.h"

#include <fstream>

#include <Resources.h>
#include <TypeConstants.h>

#include <LocalizedTextTable.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

namespace {

TEST(KolvastTextsTest, EveryTextIsThereInEveryLanguageAndEnglishForOthers)
{
    EXPECT_EQ(
        LocalizedTextTable::Ids(TextId::kFirstDeinstallerId, TextId::kLastDeinstallerId).size(),
        size_t(KolvastTexts::kCount));
    for (int32 column = 0; column < LocalizedTextTable::kLanguageCount; column++) {
        KolvastTexts texts(LocalizedTextTable::LanguageCode(column));
        for (int32 id = KolvastTexts::kFirstId; id <= KolvastTexts::kLastId; id++)
            EXPECT_GT(std::string(texts.Text(id)).size(), 1u) << texts.Language() << ":" << id;
    }
    EXPECT_STREQ(KolvastTexts("xx").Text(TextId::kDeinstallerRemove), "Remove");
    EXPECT_STREQ(KolvastTexts("sv").Text(TextId::kDeinstallerClose), "Stäng");
}

TEST(KolvastTextsTest, TextsInResourcesOverrideTheTable)
{
    std::string path = brenvik::test::MakeTempFolder("texts") + "/deinstaller";
    std::ofstream(path).close();
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 2, false), B_OK);
    const char* own = "Wegdoen";
    ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 9000, own, 8,
                  LocalizedTextTable::ResourceName("nl", TextId::kDeinstallerRemove).c_str()),
        B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    BResources reread;
    ASSERT_EQ(reread.SetTo(path.c_str(), 0, false), B_OK);
    KolvastTexts dutch("nl", &reread);
    EXPECT_STREQ(dutch.Text(TextId::kDeinstallerRemove), "Wegdoen");
    EXPECT_STREQ(dutch.Text(TextId::kDeinstallerClose), "Sluiten");
    EXPECT_STREQ(KolvastTexts("fr", &reread).Text(TextId::kDeinstallerCancel), "Annuler");
}

TEST(KolvastTextsTest, TheTableGoesIntoResourcesInTheInstallersForm)
{
    std::string path = brenvik::test::MakeTempFolder("texts") + "/deinstaller";
    std::ofstream(path).close();
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 2, false), B_OK);
    ASSERT_EQ(KolvastTexts::AddToResources(resources), B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    BResources reread;
    ASSERT_EQ(reread.SetTo(path.c_str(), 0, false), B_OK);
    size_t size = 0;
    const void* data = reread.LoadResource(B_STRING_TYPE,
        LocalizedTextTable::ResourceName("de", TextId::kDeinstallerRemove).c_str(), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(data), "Entfernen");
}

} // namespace
