#include <NodeInfo.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <vector>

#include <Entry.h>
#include <Node.h>
#include <TypeConstants.h>

#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;

std::string NewFile(const char* contents = "x")
{
    std::string path = MakeTempFolder("nodeinfo") + "/file";
    storage_test::WriteFile(path, contents);
    return path;
}

TEST(NodeInfoTest, TypeRoundTripsAndIsMirrored)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = NewFile();
    BNode node(path.c_str());
    BNodeInfo info(&node);
    ASSERT_EQ(info.InitCheck(), B_OK);
    char type[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(info.GetType(type), B_ENTRY_NOT_FOUND);
    ASSERT_EQ(info.SetType("text/plain"), B_OK);
    ASSERT_EQ(info.GetType(type), B_OK);
    EXPECT_STREQ(type, "text/plain");
    char mirror[64] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.mime_type", mirror, sizeof(mirror)), 10);
    EXPECT_EQ(info.SetType("not a type"), B_BAD_VALUE);
    ASSERT_EQ(info.SetType(nullptr), B_OK);
    EXPECT_EQ(info.GetType(type), B_ENTRY_NOT_FOUND);
}

TEST(NodeInfoTest, TypeSetByOtherProgramsIsRead)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = NewFile();
    ASSERT_EQ(setxattr(path.c_str(), "user.mime_type", "image/png", 9, 0), 0);
    BNode node(path.c_str());
    char type[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(BNodeInfo(&node).GetType(type), B_OK);
    EXPECT_STREQ(type, "image/png");
}

TEST(NodeInfoTest, AnUntypedFolderIsTypedAsAFolder)
{
    std::string path = MakeTempFolder("nodeinfo") + "/folder";
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    BNode node(path.c_str());
    char type[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(BNodeInfo(&node).GetType(type), B_OK);
    EXPECT_STREQ(type, "application/x-vnd.Be-directory");
}

TEST(NodeInfoTest, TypeAttributeOfTheWrongKindIsRefused)
{
    SKIP_WITHOUT_XATTRS();
    BNode node(NewFile().c_str());
    ASSERT_EQ(node.WriteAttr("BEOS:TYPE", B_STRING_TYPE, 0, "text/plain", 11), 11);
    char type[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(BNodeInfo(&node).GetType(type), B_BAD_TYPE);
    std::string tooLong(300, 'a');
    ASSERT_GT(node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, tooLong.c_str(), 300), 0);
    EXPECT_EQ(BNodeInfo(&node).GetType(type), B_BAD_DATA);
}

TEST(NodeInfoTest, PreferredAppAndHint)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = NewFile();
    BNode node(path.c_str());
    BNodeInfo info(&node);
    char signature[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(info.GetPreferredApp(signature), B_ENTRY_NOT_FOUND);
    ASSERT_EQ(info.SetPreferredApp("application/x-vnd.Be-STEE"), B_OK);
    ASSERT_EQ(info.GetPreferredApp(signature), B_OK);
    EXPECT_STREQ(signature, "application/x-vnd.Be-STEE");

    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
    ASSERT_EQ(info.SetAppHint(&ref), B_OK);
    entry_ref hint;
    ASSERT_EQ(info.GetAppHint(&hint), B_OK);
    EXPECT_EQ(hint, ref);
}

TEST(NodeInfoTest, OwnIconThenTypeIconThenGenericIcon)
{
    SKIP_WITHOUT_XATTRS();
    BNode node(NewFile().c_str());
    BNodeInfo info(&node);
    uint8 generic[256];
    ASSERT_EQ(info.GetTrackerIconData(B_MINI_ICON, generic), B_OK);
    EXPECT_NE(generic[8 * 16 + 8], 255); // something is drawn in the middle
    uint8 own[256];
    EXPECT_EQ(info.GetIconData(B_MINI_ICON, own), B_ENTRY_NOT_FOUND);

    uint8 typeIcon[256];
    std::fill(std::begin(typeIcon), std::end(typeIcon), 42);
    ASSERT_EQ(BMimeType("text/x-icon-test").SetIconData(B_MINI_ICON, typeIcon), B_OK);
    ASSERT_EQ(info.SetType("text/x-icon-test"), B_OK);
    uint8 shown[256];
    ASSERT_EQ(info.GetTrackerIconData(B_MINI_ICON, shown), B_OK);
    EXPECT_EQ(std::vector<uint8>(shown, shown + 256), std::vector<uint8>(typeIcon, typeIcon + 256));

    std::fill(std::begin(own), std::end(own), 7);
    ASSERT_EQ(info.SetIconData(B_MINI_ICON, own), B_OK);
    ASSERT_EQ(info.GetTrackerIconData(B_MINI_ICON, shown), B_OK);
    EXPECT_EQ(shown[0], 7);
    // The large icon has neither an own nor a type icon: the generic one.
    uint8 large[1024];
    ASSERT_EQ(info.GetTrackerIconData(B_LARGE_ICON, large), B_OK);
    EXPECT_EQ(large[0], 255);
}

TEST(NodeInfoTest, GenericIconsDifferByKind)
{
    std::string folder = MakeTempFolder("icons");
    storage_test::WriteFile(folder + "/doc", "x");
    ASSERT_EQ(symlink("doc", (folder + "/link").c_str()), 0);
    uint8 forFolder[1024];
    uint8 forDocument[1024];
    uint8 forLink[1024];
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(folder.c_str(), &ref), B_OK);
    ASSERT_EQ(BNodeInfo::GetTrackerIconData(&ref, B_LARGE_ICON, forFolder), B_OK);
    ASSERT_EQ(get_ref_for_path((folder + "/doc").c_str(), &ref), B_OK);
    ASSERT_EQ(BNodeInfo::GetTrackerIconData(&ref, B_LARGE_ICON, forDocument), B_OK);
    ASSERT_EQ(get_ref_for_path((folder + "/link").c_str(), &ref), B_OK);
    ASSERT_EQ(BNodeInfo::GetTrackerIconData(&ref, B_LARGE_ICON, forLink), B_OK);
    EXPECT_NE(std::memcmp(forFolder, forDocument, 1024), 0);
    EXPECT_NE(std::memcmp(forLink, forDocument, 1024), 0);
}

TEST(NodeInfoTest, UninitialisedInfoRefusesEverything)
{
    BNodeInfo info;
    char type[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(info.InitCheck(), B_NO_INIT);
    EXPECT_EQ(info.GetType(type), B_NO_INIT);
    EXPECT_EQ(info.SetType("text/plain"), B_NO_INIT);
    BNode missing("/no/such/node");
    EXPECT_NE(BNodeInfo(&missing).InitCheck(), B_OK);
}

} // namespace
