#include "KolvastTexts.h"

#include <fstream>

#include <Resources.h>
#include <TypeConstants.h>

#include <LocalizedTextTable.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

namespace {

TEST(KolvastTextsTest, EveryTextExistsInEveryLanguage)
{
    for (int32 column = 0; column < LocalizedTextTable::kLanguageCount; column++) {
        const char* code = LocalizedTextTable::LanguageCode(column);
        for (int32 id = KolvastTexts::kFirstId; id <= KolvastTexts::kLastId; id++) {
            const char* text = KolvastTexts::BuiltIn(code, id);
            ASSERT_NE(text, nullptr) << code << ":" << id;
            EXPECT_GT(std::string(text).size(), 1u) << code << ":" << id;
        }
    }
    EXPECT_EQ(KolvastTexts::BuiltIn("xx", KolvastTexts::kRemove), nullptr);
    EXPECT_STREQ(KolvastTexts("xx").Text(KolvastTexts::kRemove), "Remove");
    EXPECT_STREQ(KolvastTexts("sv").Text(KolvastTexts::kClose), "Stäng");
}

TEST(KolvastTextsTest, TextsInResourcesOverrideTheTable)
{
    std::string path = brenvik::test::MakeTempFolder("texts") + "/deinstaller";
    std::ofstream(path).close();
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 2, false), B_OK);
    const char* own = "Wegdoen";
    ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 9000, own, 8,
                  LocalizedTextTable::ResourceName("nl", KolvastTexts::kRemove).c_str()),
        B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    BResources reread;
    ASSERT_EQ(reread.SetTo(path.c_str(), 0, false), B_OK);
    KolvastTexts dutch("nl", &reread);
    EXPECT_STREQ(dutch.Text(KolvastTexts::kRemove), "Wegdoen");
    EXPECT_STREQ(dutch.Text(KolvastTexts::kClose), "Sluiten");
    EXPECT_STREQ(KolvastTexts("fr", &reread).Text(KolvastTexts::kCancel), "Annuler");
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
        LocalizedTextTable::ResourceName("de", KolvastTexts::kRemove).c_str(), &size);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(data), "Entfernen");
}

} // namespace
