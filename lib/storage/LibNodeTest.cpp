#include "LibNode.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <Entry.h>
#include <Message.h>
#include <Path.h>
#include <TypeConstants.h>

#include "LibFileOperations.h"
#include "LibStorageTestSupport.h"
#include "LibString.h"

using namespace lib_storage_test;

namespace {

class LibNodeTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("node");
        fFile = fFolder + "/file";
        ASSERT_TRUE(WriteFile(fFile, "contents"));
        LibNode probe(fFile.c_str());
        if (probe.WriteAttr("probe", B_RAW_TYPE, 0, "x", 1) != 1)
            GTEST_SKIP() << "no extended attributes here";
        probe.RemoveAttr("probe");
    }
    std::string fFolder;
    std::string fFile;
};

TEST_F(LibNodeTest, StringAttributeIsTypedAndWithoutTerminator)
{
    LibNode node(fFile.c_str());
    EXPECT_EQ(node.WriteStringAttr("letters", "abc"), 3);
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("letters", &info), B_OK);
    EXPECT_EQ(info.type, B_STRING_TYPE);
    EXPECT_EQ(info.size, 3);
    LibString text;
    EXPECT_EQ(node.ReadStringAttr("letters", text), 3);
    EXPECT_STREQ(text, "abc");
}

TEST_F(LibNodeTest, ShorterStringLeavesNoOldBytes)
{
    LibNode node(fFile.c_str());
    ASSERT_EQ(node.WriteStringAttr("InstallBy", "a much longer value"), 19);
    ASSERT_EQ(node.WriteStringAttr("InstallBy", "short"), 5);
    LibString text;
    EXPECT_EQ(node.ReadStringAttr("InstallBy", text), 5);
    EXPECT_STREQ(text, "short");
}

TEST_F(LibNodeTest, MissingStringAttributeLeavesTheTextAlone)
{
    LibNode node(fFile.c_str());
    LibString text("kept");
    EXPECT_EQ(node.ReadStringAttr("missing", text), B_ENTRY_NOT_FOUND);
    EXPECT_STREQ(text, "kept");
}

TEST_F(LibNodeTest, IntegerAndBoolAttributes)
{
    LibNode node(fFile.c_str());
    EXPECT_EQ(node.WriteInt32Attr("count", -123456), 4);
    EXPECT_EQ(node.WriteBoolAttr("flag", true), 1);
    int32 count = 0;
    bool flag = false;
    EXPECT_TRUE(node.ReadInt32Attr("count", count));
    EXPECT_EQ(count, -123456);
    EXPECT_TRUE(node.ReadBoolAttr("flag", flag));
    EXPECT_TRUE(flag);
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("count", &info), B_OK);
    EXPECT_EQ(info.type, B_INT32_TYPE);
    ASSERT_EQ(node.GetAttrInfo("flag", &info), B_OK);
    EXPECT_EQ(info.type, B_BOOL_TYPE);

    count = 7;
    EXPECT_FALSE(node.ReadInt32Attr("missing", count));
    EXPECT_EQ(count, 7);
    ASSERT_EQ(node.WriteStringAttr("short", "ab"), 2);
    EXPECT_FALSE(node.ReadInt32Attr("short", count)) << "two bytes are no integer";
    EXPECT_FALSE(node.ReadBoolAttr("missing", flag));
}

TEST_F(LibNodeTest, MessageAttributeRoundTrip)
{
    LibNode node(fFile.c_str());
    BMessage message('CONF');
    message.AddString("app_name", "Sample");
    message.AddInt32("count", 3);
    EXPECT_GT(node.WriteMessageAttr("config", message), 0);
    BMessage read;
    ASSERT_TRUE(node.ReadMessageAttr("config", read));
    EXPECT_EQ(read.what, uint32('CONF'));
    const char* name = nullptr;
    ASSERT_EQ(read.FindString("app_name", &name), B_OK);
    EXPECT_STREQ(name, "Sample");
}

TEST_F(LibNodeTest, MissingOrDamagedMessageLeavesTheMessageUntouched)
{
    LibNode node(fFile.c_str());
    BMessage message('KEEP');
    message.AddString("kept", "yes");
    EXPECT_FALSE(node.ReadMessageAttr("missing", message));
    ASSERT_EQ(node.WriteStringAttr("garbage", "not a message"), 13);
    EXPECT_FALSE(node.ReadMessageAttr("garbage", message));
    EXPECT_EQ(message.what, uint32('KEEP'));
    EXPECT_TRUE(message.HasString("kept"));
}

TEST_F(LibNodeTest, CompressedFileRoundTrip)
{
    std::string stored = fFolder + "/payload";
    std::string data(2500, '\0');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = char(i * 7 % 251);
    ASSERT_TRUE(WriteFile(stored, data));
    LibNode node(fFile.c_str());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(node.CompressFile("payload", stored.c_str()));
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("zipped to ", 0), 0u) << said;

    // The attribute is exactly the archive LibZip makes of the file.
    std::string zip = fFolder + "/reference.zip";
    ASSERT_TRUE(LibZip(zip.c_str(), BPath(stored.c_str()), 9));
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("payload", &info), B_OK);
    EXPECT_EQ(info.type, B_RAW_TYPE);
    struct stat zipInfo;
    ASSERT_EQ(stat(zip.c_str(), &zipInfo), 0);
    EXPECT_EQ(info.size, zipInfo.st_size);

    ASSERT_TRUE(LibUnlink(stored.c_str()));
    ASSERT_TRUE(node.UncompressFile("payload", stored.c_str(), true));
    EXPECT_EQ(ReadFile(stored), data);
    // Under another name, the stored leaf no longer matters.
    ASSERT_TRUE(node.UncompressFile("payload", (fFolder + "/elsewhere").c_str(), true));
    EXPECT_EQ(ReadFile(fFolder + "/elsewhere"), data);
    // Without unzipping, the archive itself is placed.
    ASSERT_TRUE(node.UncompressFile("payload", (fFolder + "/archive.zip").c_str(), false));
    EXPECT_EQ(ReadFile(fFolder + "/archive.zip").size(), size_t(info.size));
}

TEST_F(LibNodeTest, CompressingAMissingFileSaysSo)
{
    LibNode node(fFile.c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(node.CompressFile("payload", (fFolder + "/missing").c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
        "LibNode::CompressFile: " + fFolder + "/missing does not exist\n");
    attr_info info;
    EXPECT_NE(node.GetAttrInfo("payload", &info), B_OK);
}

TEST_F(LibNodeTest, UncompressingWithoutTheAttributeDoesNothing)
{
    LibNode node(fFile.c_str());
    EXPECT_TRUE(node.UncompressFile("absent", (fFolder + "/out").c_str(), true));
    EXPECT_FALSE(Exists(fFolder + "/out"));
}

TEST_F(LibNodeTest, OpensFromReferenceAndEntry)
{
    BEntry entry(fFile.c_str());
    entry_ref ref;
    ASSERT_EQ(entry.GetRef(&ref), B_OK);
    LibNode byRef(&ref);
    LibNode byEntry(&entry);
    EXPECT_EQ(byRef.InitCheck(), B_OK);
    EXPECT_EQ(byEntry.InitCheck(), B_OK);
    LibNode unset;
    EXPECT_NE(unset.InitCheck(), B_OK);
    EXPECT_EQ(unset.SetTo(fFile.c_str()), B_OK);
}

} // namespace
