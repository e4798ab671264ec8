#include "LibAppResource.h"

#include <Node.h>
#include <NodeInfo.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr time_t kMillennium = 978307200; // 2001-01-01 00:00:00 UTC

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& data, mode_t mode, time_t mtime)
{
    std::ofstream(path, std::ios::binary) << data;
    chmod(path.c_str(), mode);
    timespec times[2] = { { mtime, 0 }, { mtime, 0 } };
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

struct stat Stat(const std::string& path)
{
    struct stat info = {};
    lstat(path.c_str(), &info);
    return info;
}

class LibAppResourceTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("entries");
        fSource = fFolder + "/source";
        fs::create_directories(fSource + "/Docs/Guide");
        WriteFile(fSource + "/tips", "Press the big button.\n", 0640, kMillennium);
        WriteFile(fSource + "/Docs/Guide/intro.txt", std::string(50000, 'a') + "end", 0644,
            kMillennium + 60);
        WriteFile(fSource + "/Docs/empty", "", 0600, kMillennium + 120);
        WriteFile(fSource + "/Docs/run", "#!/bin/sh\necho hi\n", 0755, kMillennium + 180);
        fs::create_symlink("Guide/intro.txt", fSource + "/Docs/latest");
        fInstaller = fFolder + "/installer";
        std::ofstream(fInstaller).close();
        fDestination = brenvik::test::MakeTempFolder("destination");
    }

    // Stores the given items as entries 2100, 2101, ... of the installer.
    void AddEntries(std::initializer_list<std::pair<std::string, std::string>> items)
    {
        LibAppResource resources(fInstaller.c_str(), 2);
        ASSERT_EQ(resources.InitCheck(), B_OK);
        int32 id = 2100;
        for (auto& [source, name] : items) {
            ASSERT_TRUE(resources.AddEntry(source.c_str(), id++, name.c_str(), 6))
                << resources.EntryErrorText();
        }
        ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
    }

    bool HasAttributes(const std::string& path)
    {
        BNode node(path.c_str());
        char probe = 'x';
        bool works = node.WriteAttr("probe", B_STRING_TYPE, 0, &probe, 1) == 1;
        node.RemoveAttr("probe");
        return works;
    }

    std::string fFolder, fSource, fInstaller, fDestination;
};

TEST_F(LibAppResourceTest, AFileComesBackWithItsBytesModeAndDate)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    std::string target = fDestination + "/tips";
    ASSERT_TRUE(resources.ExtractEntry(2100, target.c_str(), true)) << resources.EntryErrorText();
    EXPECT_EQ(ReadFile(target), "Press the big button.\n");
    EXPECT_EQ(Stat(target).st_mode & 07777, 0640u);
    EXPECT_EQ(Stat(target).st_mtime, kMillennium);
}

TEST_F(LibAppResourceTest, AFolderEntryRecreatesItsWholeTreeAtTheDestination)
{
    AddEntries({ { fSource + "/Docs", "Docs" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    std::string target = fDestination + "/Docs";
    ASSERT_TRUE(resources.ExtractEntry(2100, target.c_str(), true)) << resources.EntryErrorText();
    EXPECT_EQ(ReadFile(target + "/Guide/intro.txt"), std::string(50000, 'a') + "end");
    EXPECT_EQ(Stat(target + "/Guide/intro.txt").st_mtime, kMillennium + 60);
    EXPECT_EQ(Stat(target + "/empty").st_size, 0);
    EXPECT_EQ(Stat(target + "/run").st_mode & 07777, 0755u);
    EXPECT_EQ(fs::read_symlink(target + "/latest"), "Guide/intro.txt");
    // The destination receives the folder itself, not its contents.
    EXPECT_FALSE(fs::exists(fDestination + "/Guide"));
}

TEST_F(LibAppResourceTest, TheItemTakesTheDestinationsLeafName)
{
    AddEntries({ { fSource + "/tips", "Hints" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    const char* name = nullptr;
    ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, 2100, &name, nullptr));
    EXPECT_STREQ(name, "Hints");
    std::string target = fDestination + "/Read me first";
    ASSERT_TRUE(resources.ExtractEntry(2100, target.c_str(), true)) << resources.EntryErrorText();
    EXPECT_EQ(ReadFile(target), "Press the big button.\n");
    EXPECT_FALSE(fs::exists(fDestination + "/Hints"));
}

TEST_F(LibAppResourceTest, AMissingEntryIsReportedAndTouchesNothing)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    std::string target = fDestination + "/nothing";
    EXPECT_FALSE(resources.ExtractEntry(2105, target.c_str(), true));
    EXPECT_NE(resources.EntryErrorText().find("2105"), std::string::npos);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(fs::is_empty(fDestination));
}

TEST_F(LibAppResourceTest, AnUnboundObjectFindsNothing)
{
    LibAppResource resources((fFolder + "/no-such-installer").c_str(), 0);
    EXPECT_NE(resources.InitCheck(), B_OK);
    EXPECT_FALSE(resources.ExtractEntry(2100, (fDestination + "/x").c_str(), true));
    EXPECT_EQ(resources.FindString(2002), nullptr);
}

TEST_F(LibAppResourceTest, AFailedExtractionIsReported)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    EXPECT_FALSE(resources.ExtractEntry(2100, (fFolder + "/no/such/folder/tips").c_str(), true));
    EXPECT_FALSE(resources.EntryErrorText().empty());
}

TEST_F(LibAppResourceTest, WithoutUnzipTheArchiveItselfIsWritten)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    std::string target = fDestination + "/tips.zip";
    ASSERT_TRUE(resources.ExtractEntry(2100, target.c_str(), false)) << resources.EntryErrorText();
    size_t size = 0;
    void* data = resources.FindResource(B_RAW_TYPE, 2100, &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(ReadFile(target), std::string(static_cast<char*>(data), size));
    EXPECT_EQ(ReadFile(target).substr(0, 2), "PK");
    std::free(data);
}

TEST_F(LibAppResourceTest, AnExtractedItemWithoutATypeIsGivenOne)
{
    if (!HasAttributes(fDestination))
        GTEST_SKIP() << "no extended attributes here";
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    std::string target = fDestination + "/tips.zip";
    ASSERT_TRUE(resources.ExtractEntry(2100, target.c_str(), false)) << resources.EntryErrorText();
    BNode node(target.c_str());
    BNodeInfo info(&node);
    char type[B_MIME_TYPE_LENGTH] = {};
    ASSERT_EQ(info.GetType(type), B_OK);
    EXPECT_STREQ(type, "application/zip");
}

TEST_F(LibAppResourceTest, TwoExtractionsOfOneEntryGiveTwoItems)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    ASSERT_TRUE(resources.ExtractEntry(2100, (fDestination + "/a").c_str(), true));
    ASSERT_TRUE(resources.ExtractEntry(2100, (fDestination + "/b").c_str(), true));
    EXPECT_EQ(ReadFile(fDestination + "/a"), ReadFile(fDestination + "/b"));
}

TEST_F(LibAppResourceTest, AttributesComeBackWithTheirTypes)
{
    if (!HasAttributes(fSource + "/tips"))
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    const char mime[] = "text/x-hints";
    int32 priority = 7;
    BNode source((fSource + "/Docs/empty").c_str());
    ASSERT_EQ(source.WriteAttr("BEOS:TYPE", 'MIMS', 0, mime, sizeof(mime)), ssize_t(sizeof(mime)));
    ASSERT_EQ(source.WriteAttr("priority", B_INT32_TYPE, 0, &priority, 4), 4);
    AddEntries({ { fSource + "/Docs", "Docs" } });
    LibAppResource resources(fInstaller.c_str(), 0);
    ASSERT_TRUE(resources.ExtractEntry(2100, (fDestination + "/Docs").c_str(), true))
        << resources.EntryErrorText();
    // An empty file whose attributes are its content (like a bookmark).
    BNode copy((fDestination + "/Docs/empty").c_str());
    attr_info info;
    ASSERT_EQ(copy.GetAttrInfo("BEOS:TYPE", &info), B_OK);
    EXPECT_EQ(info.type, uint32('MIMS'));
    char text[64] = {};
    EXPECT_EQ(copy.ReadAttr("BEOS:TYPE", 'MIMS', 0, text, sizeof(text)), ssize_t(sizeof(mime)));
    EXPECT_STREQ(text, mime);
    ASSERT_EQ(copy.GetAttrInfo("priority", &info), B_OK);
    EXPECT_EQ(info.type, uint32(B_INT32_TYPE));
    int32 value = 0;
    EXPECT_EQ(copy.ReadAttr("priority", B_INT32_TYPE, 0, &value, 4), 4);
    EXPECT_EQ(value, 7);
}

TEST_F(LibAppResourceTest, CopiesOneResourceWithItsName)
{
    AddEntries({ { fSource + "/tips", "tips" } });
    std::string other = fFolder + "/deinstaller";
    std::ofstream(other).close();
    {
        LibAppResource from(fInstaller.c_str(), 0);
        LibAppResource to(other.c_str(), 2);
        EXPECT_TRUE(from.CopyResource(2100, B_RAW_TYPE, to));
        EXPECT_FALSE(from.CopyResource(2109, B_RAW_TYPE, to));
    }
    LibAppResource check(other.c_str(), 0);
    const char* name = nullptr;
    ASSERT_TRUE(check.GetResourceInfo(B_RAW_TYPE, 2100, &name, nullptr));
    EXPECT_STREQ(name, "tips");
}

TEST_F(LibAppResourceTest, FindsStringsByIdAsNulTerminatedCopies)
{
    {
        LibAppResource resources(fInstaller.c_str(), 2);
        resources.AddResource(B_STRING_TYPE, 7, "hello", 6, "greeting");
        resources.AddResource(B_STRING_TYPE, 8, "", 1, "empty");
        // A damaged string without its NUL.
        resources.AddResource(B_STRING_TYPE, 9, "abc", 3, "cut");
    }
    LibAppResource resources(fInstaller.c_str(), 0);
    std::unique_ptr<char[]> text(resources.FindString(7));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), "hello");
    EXPECT_EQ(resources.FindString(8), nullptr);
    EXPECT_EQ(resources.FindString(10), nullptr);
    std::unique_ptr<char[]> cut(resources.FindString(9));
    ASSERT_NE(cut, nullptr);
    EXPECT_STREQ(cut.get(), "abc");
}

// Two entries without a usable name, as a hostile installer could carry: the
// first would plant a link to the destination's parent, the second write
// through it. The folder named is the one extracted into, never its parent.
TEST_F(LibAppResourceTest, EntriesWithoutAUsableNameAreRefused)
{
    fs::create_directories(fSource + "/planted/Top");
    fs::create_symlink("../outside", fSource + "/planted/Top/esc");
    fs::create_directories(fSource + "/through/Top/esc");
    WriteFile(fSource + "/through/Top/esc/pwned", "pwned", 0644, kMillennium);
    AddEntries({ { fSource + "/planted/Top", "Top" }, { fSource + "/through/Top", "Top" } });
    std::string base = fFolder + "/base";
    fs::create_directories(base + "/DEST");
    fs::create_directories(base + "/outside");
    chmod((base + "/DEST").c_str(), 0750);
    for (const char* name : { "", ".", "..", "a/b" }) {
        {
            LibAppResource resources(fInstaller.c_str(), 2);
            for (int32 id : { 2100, 2101 }) {
                size_t size = 0;
                void* data = resources.FindResource(B_RAW_TYPE, id, &size);
                ASSERT_NE(data, nullptr);
                ASSERT_EQ(resources.AddResource(B_RAW_TYPE, id, data, size, name), B_OK);
                std::free(data);
            }
        }
        LibAppResource resources(fInstaller.c_str(), 0);
        for (int32 id : { 2100, 2101 }) {
            std::string destination = base + "/DEST/" + name;
            EXPECT_FALSE(resources.ExtractEntry(id, destination.c_str(), true)) << name;
            EXPECT_FALSE(resources.EntryErrorText().empty());
        }
        EXPECT_TRUE(fs::is_empty(base + "/outside")) << name;
        EXPECT_TRUE(fs::is_empty(base + "/DEST")) << name;
        EXPECT_EQ(Stat(base + "/DEST").st_mode & 07777, 0750u) << name;
    }
}

TEST_F(LibAppResourceTest, RefusesAMissingSourceOrABadLevel)
{
    LibAppResource resources(fInstaller.c_str(), 2);
    EXPECT_FALSE(resources.AddEntry((fSource + "/nothing").c_str(), 2100, "nothing", 6));
    EXPECT_FALSE(resources.EntryErrorText().empty());
    EXPECT_FALSE(resources.AddEntry((fSource + "/tips").c_str(), 2100, "tips", 12));
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2100));
}

} // namespace
