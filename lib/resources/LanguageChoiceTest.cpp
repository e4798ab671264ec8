#include "LanguageChoice.h"

#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

class LanguageChoiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        fConfig = brenvik::test::MakeTempFolder("choice");
        fOldConfig = std::getenv("XDG_CONFIG_HOME");
        setenv("XDG_CONFIG_HOME", fConfig.c_str(), 1);
    }

    void TearDown() override
    {
        setenv("XDG_CONFIG_HOME", fOldConfig.c_str(), 1);
        LanguageChoice::SetKey("", "");
    }

    std::string FileText()
    {
        std::ifstream file(fConfig + "/brenvik/language");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::string fConfig;
    std::string fOldConfig;
};

TEST_F(LanguageChoiceTest, EachInstallerKeepsItsOwnLatestChoice)
{
    LanguageChoice::SetKey("application/x-vnd.Tarsel.Velk", "Tarsel Notes");
    EXPECT_FALSE(LanguageChoice::Read().has_value());
    ASSERT_TRUE(LanguageChoice::Write("de"));
    ASSERT_TRUE(LanguageChoice::Write("fr"));
    LanguageChoice::SetKey("application/x-vnd.Tarsel.Velk", "Tarsel Paint");
    ASSERT_TRUE(LanguageChoice::Write("nl"));

    EXPECT_EQ(LanguageChoice::Read().value_or(""), "nl");
    LanguageChoice::SetKey("application/x-vnd.Tarsel.Velk", "Tarsel Notes");
    EXPECT_EQ(LanguageChoice::Read().value_or(""), "fr");
    EXPECT_EQ(FileText(),
        "application/x-vnd.Tarsel.Velk\tTarsel Notes\tfr\n"
        "application/x-vnd.Tarsel.Velk\tTarsel Paint\tnl\n");

    LanguageChoice::Remove();
    EXPECT_FALSE(LanguageChoice::Read().has_value());
    EXPECT_EQ(FileText(), "application/x-vnd.Tarsel.Velk\tTarsel Paint\tnl\n");
}

TEST_F(LanguageChoiceTest, NamesCannotBreakTheLines)
{
    LanguageChoice::SetKey("application/x-vnd.Odd", "Two\tWords\nand a line");
    ASSERT_TRUE(LanguageChoice::Write("sv"));
    EXPECT_EQ(FileText(), "application/x-vnd.Odd\tTwo Words and a line\tsv\n");
    EXPECT_EQ(LanguageChoice::Read().value_or(""), "sv");
    // A product whose name is a prefix of another's is another product.
    LanguageChoice::SetKey("application/x-vnd.Odd", "Two");
    EXPECT_FALSE(LanguageChoice::Read().has_value());
}

TEST_F(LanguageChoiceTest, WithoutAKeyNothingIsReadOrWritten)
{
    LanguageChoice::SetKey("", "");
    EXPECT_FALSE(LanguageChoice::HasKey());
    EXPECT_FALSE(LanguageChoice::Write("de"));
    EXPECT_FALSE(LanguageChoice::Read().has_value());
    EXPECT_EQ(FileText(), "");
}

} // namespace
