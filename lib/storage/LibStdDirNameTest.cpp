#include "LibStdDirName.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

#include "LibString.h"

namespace {

struct NamedFolder {
    int32 which;
    const char* name;
};

// The table written out again by hand, with the platform's numeric values, so
// that a slip in either the names or the constants shows.
const NamedFolder kExpected[] = {
    { 0, "Desktop" },
    { 1, "Trash" },
    { 1000, "BeOS" },
    { 1001, "BeOS System" },
    { 1002, "BeOS Add-Ons" },
    { 1003, "BeOS Boot" },
    { 1004, "BeOS Fonts" },
    { 1005, "BeOS Libraries" },
    { 1006, "BeOS Servers" },
    { 1007, "BeOS Applications" },
    { 1008, "BeOS Bin" },
    { 1009, "BeOS Etc" },
    { 1010, "BeOS Documentation" },
    { 1011, "BeOS Preferences" },
    { 1012, "BeOS Translators" },
    { 1013, "BeOS Media Nodes" },
    { 1014, "BeOS Sounds" },
    { 2000, "Common" },
    { 2001, "Common System" },
    { 2002, "Common Add-Ons" },
    { 2003, "Common Boot" },
    { 2004, "Common Fonts" },
    { 2005, "Common Libraries" },
    { 2006, "Common Servers" },
    { 2007, "Common Bin" },
    { 2008, "Common Etc" },
    { 2009, "Common Documentation" },
    { 2010, "Common Settings" },
    { 2011, "Common Develop" },
    { 2012, "Common Log" },
    { 2013, "Common Spool" },
    { 2014, "Common Temporary" },
    { 2015, "Common Var" },
    { 2016, "Common Translators" },
    { 2017, "Common Media Nodes" },
    { 2018, "Common Sounds" },
    { 3000, "User" },
    { 3001, "User Configuration" },
    { 3002, "User Add-Ons" },
    { 3003, "User Boot" },
    { 3004, "User Fonts" },
    { 3005, "User Libraries" },
    { 3006, "User Settings" },
    { 3007, "User Deskbar" },
    { 3008, "User Printers" },
    { 3009, "User Translators" },
    { 3010, "User Media Nodes" },
    { 3011, "User Sounds" },
    { 4000, "Applications" },
    { 4001, "Preferences" },
    { 4002, "Utilities" },
};

class StdDirNameTest : public testing::TestWithParam<NamedFolder> { };

TEST_P(StdDirNameTest, NameGivesItsValue)
{
    directory_which which = directory_which(999);
    ASSERT_TRUE(LibGetStdDirName(GetParam().name, which));
    EXPECT_EQ(int32(which), GetParam().which);
    EXPECT_TRUE(LibStdDirNameExists(GetParam().name));
}

TEST_P(StdDirNameTest, ValueGivesItsName)
{
    LibString name;
    ASSERT_TRUE(LibGetStdDirName(directory_which(GetParam().which), name));
    EXPECT_STREQ(name, GetParam().name);
}

TEST_P(StdDirNameTest, OtherCaseOrTrailingSpaceIsNotFound)
{
    std::string lower = GetParam().name;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    std::string spaced = std::string(GetParam().name) + " ";
    directory_which which = directory_which(999);
    EXPECT_FALSE(LibGetStdDirName(lower.c_str(), which));
    EXPECT_FALSE(LibGetStdDirName(spaced.c_str(), which));
    EXPECT_EQ(int32(which), 999) << "the value is left alone on failure";
}

INSTANTIATE_TEST_SUITE_P(AllNames, StdDirNameTest, testing::ValuesIn(kExpected),
    [](const testing::TestParamInfo<NamedFolder>& param) {
        return "Value" + std::to_string(param.param.which);
    });

TEST(StdDirNameTable, HasExactlyTheFiftyOneRowsInOrder)
{
    ASSERT_EQ(LibCountStdDirNames(), 51);
    for (int32 i = 0; i < 51; i++) {
        EXPECT_EQ(lib_be_dir_names[i].which, kExpected[i].which);
        EXPECT_STREQ(lib_be_dir_names[i].name, kExpected[i].name);
    }
    EXPECT_EQ(lib_be_dir_names[51].name, nullptr);
}

TEST(StdDirNameTable, NamesAndValuesAreDistinct)
{
    std::set<std::string> names;
    std::set<int32> values;
    for (int32 i = 0; i < LibCountStdDirNames(); i++) {
        names.insert(lib_be_dir_names[i].name);
        values.insert(lib_be_dir_names[i].which);
    }
    EXPECT_EQ(names.size(), 51u);
    EXPECT_EQ(values.size(), 51u);
}

TEST(StdDirNameLookup, KnownExamples)
{
    directory_which which;
    ASSERT_TRUE(LibGetStdDirName("User Settings", which));
    EXPECT_EQ(which, B_USER_SETTINGS_DIRECTORY);
    ASSERT_TRUE(LibGetStdDirName("Trash", which));
    EXPECT_EQ(which, B_TRASH_DIRECTORY);
    ASSERT_TRUE(LibGetStdDirName("Common Temporary", which));
    EXPECT_EQ(which, B_COMMON_TEMP_DIRECTORY);
}

TEST(StdDirNameLookup, UnknownInputsFailAndLeaveOutputsAlone)
{
    directory_which which = B_APPS_DIRECTORY;
    EXPECT_FALSE(LibGetStdDirName("", which));
    EXPECT_FALSE(LibGetStdDirName(static_cast<const char*>(nullptr), which));
    EXPECT_FALSE(LibGetStdDirName("Current", which));
    EXPECT_EQ(which, B_APPS_DIRECTORY);
    EXPECT_FALSE(LibStdDirNameExists("User  Settings"));

    LibString name("kept");
    EXPECT_FALSE(LibGetStdDirName(directory_which(2019), name));
    EXPECT_FALSE(LibGetStdDirName(directory_which(4095), name));
    EXPECT_STREQ(name, "kept");
}

} // namespace
