#include "LibFileType.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <Application.h>
#include <Entry.h>
#include <ExecutablePath.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>

#include "LibEntry.h"
#include "LibStorageTestSupport.h"

using namespace lib_storage_test;

namespace {

std::string ActionsLog()
{
    const char* path = std::getenv("BRENVIK_ACTIONS_LOG");
    if (path == nullptr)
        return "<unset>";
    return Exists(path) ? ReadFile(path) : "";
}

class LibFileTypeTest : public testing::Test {
protected:
    void SetUp() override { fFolder = brenvik::test::MakeTempFolder("types"); }

    std::string Kind(const std::string& path, bool descriptive = true)
    {
        entry_ref ref;
        if (!LibGetEntryRef(path.c_str(), ref))
            return "<no ref>";
        char type[B_MIME_TYPE_LENGTH];
        LibGetMimeType(ref, type, descriptive);
        return type;
    }

    std::string fFolder;
};

TEST_F(LibFileTypeTest, DescriptiveKinds)
{
    ASSERT_TRUE(WriteFile(fFolder + "/notes.txt", "plain text\n"));
    ASSERT_EQ(symlink("notes.txt", (fFolder + "/link").c_str()), 0);
    EXPECT_EQ(Kind(fFolder + "/notes.txt"), "Unknown");
    EXPECT_EQ(Kind(fFolder), "Folder");
    EXPECT_EQ(Kind(fFolder + "/link"), "Symbolic Link");
    // A link to a program is a link, not a program.
    std::string self;
    ASSERT_EQ(BPrivate::GetExecutablePath(&self), B_OK);
    ASSERT_EQ(symlink(self.c_str(), (fFolder + "/program link").c_str()), 0);
    EXPECT_EQ(Kind(fFolder + "/program link"), "Symbolic Link");
}

TEST_F(LibFileTypeTest, ProgramsAreApplications)
{
    // This test program is itself a position-independent executable.
    std::string self;
    ASSERT_EQ(BPrivate::GetExecutablePath(&self), B_OK);
    EXPECT_EQ(Kind(self, false), B_APP_MIME_TYPE);
    EXPECT_EQ(Kind(self), "Be Application");
}

TEST_F(LibFileTypeTest, PlainTypeOfStoredAndGuessedTypes)
{
    ASSERT_TRUE(WriteFile(fFolder + "/notes.txt", "plain text\n"));
    EXPECT_EQ(Kind(fFolder + "/notes.txt", false), "text/plain");
    EXPECT_EQ(Kind(fFolder, false), B_DIRECTORY_MIME_TYPE);
    if (!LibSetMimeType((fFolder + "/notes.txt").c_str(), "text/x-notes"))
        GTEST_SKIP() << "no extended attributes here";
    EXPECT_EQ(Kind(fFolder + "/notes.txt", false), "text/x-notes");
}

TEST_F(LibFileTypeTest, MissingEntryIsReported)
{
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((fFolder + "/missing").c_str(), ref));
    char type[B_MIME_TYPE_LENGTH] = "junk";
    EXPECT_FALSE(LibGetMimeType(ref, type, false));
    EXPECT_STREQ(type, "");
    EXPECT_FALSE(LibGetMimeType(ref, type, true));
    EXPECT_STREQ(type, "Unknown");
    EXPECT_FALSE(LibSetMimeType((fFolder + "/missing").c_str(), "text/plain"));
}

TEST_F(LibFileTypeTest, FileTypeWithPreferredApplication)
{
    std::string script = fFolder + "/script";
    ASSERT_TRUE(WriteFile(script, "echo hi\n"));
    if (!LibSetFileType(script.c_str(), "text/plain", "application/x-vnd.Sample-Editor"))
        GTEST_SKIP() << "no extended attributes here";
    BNode node(script.c_str());
    BNodeInfo info(&node);
    char text[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(info.GetType(text), B_OK);
    EXPECT_STREQ(text, "text/plain");
    ASSERT_EQ(info.GetPreferredApp(text), B_OK);
    EXPECT_STREQ(text, "application/x-vnd.Sample-Editor");

    BApplication app("application/x-vnd.brenvik-lib-type-test");
    ASSERT_TRUE(LibSetFileType(script.c_str(), "text/plain", nullptr));
    BNode again(script.c_str());
    ASSERT_EQ(BNodeInfo(&again).GetPreferredApp(text), B_OK);
    EXPECT_STREQ(text, "application/x-vnd.brenvik-lib-type-test");
}

TEST_F(LibFileTypeTest, OpenAndInfoGoThroughTheActionsService)
{
    std::string folder = fFolder + "/with \"quote\" and\nnewline";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    std::string before = ActionsLog();
    EXPECT_FALSE(LibOpenEntry((fFolder + "/missing").c_str()));
    EXPECT_EQ(ActionsLog(), before) << "nothing is asked for a missing item";
    ASSERT_TRUE(LibOpenEntry(folder.c_str()));
    ASSERT_TRUE(LibInfoEntry(folder.c_str()));
    std::string added = ActionsLog().substr(before.size());
    std::string escaped = fFolder + "/with \"quote\" and\\nnewline";
    EXPECT_EQ(added, "open-folder\t" + escaped + "\nshow-info\t" + escaped + "\n");
}

} // namespace
