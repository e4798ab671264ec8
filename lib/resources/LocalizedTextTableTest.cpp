#include "LocalizedTextTable.h"
#include <algorithm>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The printf conversions of a text, in order ("%s", "%d", ...); "%%" is not one.
std::vector<std::string> Conversions(const std::string& text)
{
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '%')
            continue;
        size_t end = text.find_first_of("diouxXeEfgGcspn%", i + 1);
        if (end == std::string::npos) {
            found.push_back(text.substr(i));
            break;
        }
        if (text[end] != '%')
            found.push_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

bool IsValidUtf8(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; k++) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2)
                return false;
        }
        i += length;
    }
    return true;
}

class LanguageTextsTest : public testing::TestWithParam<int32> {
protected:
    const char* Code() const { return LocalizedTextTable::LanguageCode(GetParam()); }
};

TEST_P(LanguageTextsTest, EveryIdHasATextWithTheEnglishConversionsInOrder)
{
    std::vector<int32> ids = LocalizedTextTable::Ids(0, INT32_MAX);
    // Then 5 of the installer window's status and destination lines, 6 of
    // stopping, reinstalling and step 2 for every user, 2 of the
    // de-installer's about an earlier installation in the trash, 1 more of
    // the replace dialog ("newer") and 13 of the folder panel.
    ASSERT_EQ(ids.size(), 46u + 3u + 15u + 35u + 7u + 25u + 7u + 5u + 7u + 2u + 13u);
    for (int32 id : ids) {
        const char* text = LocalizedTextTable::Text(Code(), id);
        ASSERT_NE(text, nullptr) << Code() << ":" << id;
        EXPECT_NE(text[0], '\0') << Code() << ":" << id << " is empty";
        EXPECT_TRUE(IsValidUtf8(text)) << Code() << ":" << id;
        EXPECT_EQ(Conversions(text), Conversions(LocalizedTextTable::Text("en", id)))
            << Code() << ":" << id << " \"" << text << "\"";
        EXPECT_TRUE(LocalizedTextTable::IsSafeFormat(id, text)) << Code() << ":" << id;
    }
}

TEST_P(LanguageTextsTest, KeepsTheLayoutThatCallersBuildOn)
{
    // The menu labels: ten lines, one per language.
    std::string labels = LocalizedTextTable::Text(Code(), 1000);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), '\n'), 9);
    // Texts appended to other texts start on a new line.
    EXPECT_EQ(std::string(LocalizedTextTable::Text(Code(), 1020)).substr(0, 1), "\n");
    EXPECT_EQ(std::string(LocalizedTextTable::Text(Code(), 1042)).substr(0, 2), "\n\n");
    EXPECT_NE(LocalizedTextTable::Text(Code(), 1042)[2], '\n');
    // The halves around a quoted name keep their quotes.
    EXPECT_EQ(std::string(LocalizedTextTable::Text(Code(), 1013)).back(), '\'');
    EXPECT_EQ(LocalizedTextTable::Text(Code(), 1014)[0], '\'');
    EXPECT_EQ(std::string(LocalizedTextTable::Text(Code(), 1034)).back(), '\'');
    EXPECT_EQ(LocalizedTextTable::Text(Code(), 1035)[0], '\'');
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, LanguageTextsTest,
    testing::Range(int32(0), LocalizedTextTable::kLanguageCount), [](const auto& testInfo) {
        return std::string(LocalizedTextTable::LanguageCode(testInfo.param));
    });

TEST(LocalizedTextTableTest, MapsMenuIndexesToCodesWithEnglishOutsideTheMenu)
{
    const char* codes[] = { "en", "fr", "es", "de", "it", "no", "sv", "da", "nl", "pt" };
    for (int32 index = 0; index < 10; index++) {
        EXPECT_STREQ(LocalizedTextTable::LanguageCode(index), codes[index]);
        EXPECT_EQ(LocalizedTextTable::LanguageIndex(codes[index]), index);
    }
    EXPECT_STREQ(LocalizedTextTable::LanguageCode(-1), "en");
    EXPECT_STREQ(LocalizedTextTable::LanguageCode(10), "en");
    EXPECT_EQ(LocalizedTextTable::LanguageIndex("xx"), -1);
    EXPECT_EQ(LocalizedTextTable::LanguageIndex(nullptr), -1);
}

TEST(LocalizedTextTableTest, AcceptsAsFormatOnlyTheEnglishConversionsOrFewer)
{
    EXPECT_TRUE(LocalizedTextTable::IsSafeFormat(1036, "Installing %d of %d (%s)"));
    EXPECT_TRUE(LocalizedTextTable::IsSafeFormat(1036, "%d/%d"));
    EXPECT_TRUE(LocalizedTextTable::IsSafeFormat(1041, "No folder, 100%% sure."));
    EXPECT_FALSE(LocalizedTextTable::IsSafeFormat(1036, "%s of %d"));
    EXPECT_FALSE(LocalizedTextTable::IsSafeFormat(1036, "%d %d %s %s"));
    EXPECT_FALSE(LocalizedTextTable::IsSafeFormat(1001, "License %n"));
    EXPECT_FALSE(LocalizedTextTable::IsSafeFormat(1039, "trailing %"));
    EXPECT_TRUE(LocalizedTextTable::IsSafeFormat(1001, "License"));
    EXPECT_FALSE(LocalizedTextTable::IsSafeFormat(999, ""));
}

TEST(LocalizedTextTableTest, HasNoTextOutsideTheIdRange)
{
    EXPECT_EQ(LocalizedTextTable::Text("en", 999), nullptr);
    EXPECT_EQ(LocalizedTextTable::Text("en", 1046), nullptr);
    EXPECT_EQ(LocalizedTextTable::Text("xx", 1001), nullptr);
}

TEST(LocalizedTextTableTest, GermanNamesTheInstallationPage)
{
    EXPECT_STREQ(LocalizedTextTable::Text("de", 1002), "Installation");
}

TEST(LocalizedTextTableTest, EnglishMenuLabelsAreTheTenLanguages)
{
    EXPECT_STREQ(LocalizedTextTable::Text("en", 1000),
        "English\nFrench\nSpanish\nGerman\nItalian\nNorwegian\nSwedish\nDanish\nDutch\nPortuguese");
    EXPECT_STREQ(LocalizedTextTable::Text("en", 1036), "Installing %d of %d (%s)");
}

} // namespace
