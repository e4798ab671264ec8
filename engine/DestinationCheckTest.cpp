#include "DestinationCheck.h"

#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>

#include <OrdinaryUser.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "InstallerFormat.h"

using namespace brenvik::test;
namespace Field = InstallerFormat::Field;

namespace {

// A folder that exists, one still to be made below it, and what stands in
// the way of either: the folder named is the one that exists.
TEST(DestinationCheckTest, NamesTheFolderThatStopsTheInstallationAndWhy)
{
    std::string root = MakeTempFolder("destination");
    std::string blocking;
    EXPECT_EQ(DestinationCheck::Problem(root, &blocking), "");
    EXPECT_EQ(blocking, root);
    EXPECT_EQ(DestinationCheck::Problem(root + "/opt/Tarsel", &blocking), "");
    EXPECT_EQ(blocking, root);

    std::ofstream(root + "/file") << "in the way\n";
    EXPECT_EQ(DestinationCheck::Problem(root + "/file/Tarsel", &blocking), std::strerror(ENOTDIR));
    EXPECT_EQ(blocking, root + "/file");

    // Root may write in any folder; a user may not.
    std::string locked = root + "/locked";
    bool ran = RunAsOrdinaryUser([&] {
        ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
        std::string where;
        EXPECT_EQ(DestinationCheck::Problem(locked + "/opt/Tarsel", &where), std::strerror(EACCES));
        EXPECT_EQ(where, locked);
        chmod(locked.c_str(), 0755);
    });
    if (!ran)
        GTEST_SKIP() << "the sandbox is out of an ordinary user's reach";
}

BMessage Item(const char* destination, const char* link)
{
    BMessage meta;
    meta.AddString(Field::kDestination, destination);
    meta.AddString(Field::kLink, link);
    BMessage item;
    item.AddMessage(Field::kInstallMeta, &meta);
    return item;
}

// Only ticked items count; the installation folder ("User Selected") and
// "None" are no other folder; a folder named twice is listed once.
TEST(DestinationCheckTest, ListsTheOtherFoldersOfTheTickedItemsOnce)
{
    BMessage instructions;
    BMessage items[] = { Item("User Selected", "None"), Item("User Settings", "None"),
        Item("User Settings", "User Settings"), Item("User Fonts", "None") };
    for (const BMessage& item : items)
        instructions.AddMessage(Field::kInstallFile, &item);
    BMessage configuration;
    configuration.AddMessage(Field::kInstallInstructions, &instructions);

    BPath settings;
    ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings, false), B_OK);
    EXPECT_EQ(DestinationCheck::OtherFolders(configuration, { true, true, true, false }),
        std::vector<std::string> { settings.Path() });
    EXPECT_EQ(DestinationCheck::OtherFolders(configuration, { true, false, false, false }),
        std::vector<std::string> {});
}

} // namespace
