#include "TypeSniffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <elf.h>
#include <unistd.h>

#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>

#include "StorageTestUtils.h"

namespace {

using BPrivate::TypeSniffer;
using brenvik::test::MakeTempFolder;

// A minimal 64-bit little-endian ELF file: header, then program headers.
std::string Elf(uint16 type, bool interpreter)
{
    Elf64_Ehdr header = {};
    std::memcpy(header.e_ident, ELFMAG, SELFMAG);
    header.e_ident[EI_CLASS] = ELFCLASS64;
    header.e_ident[EI_DATA] = ELFDATA2LSB;
    header.e_ident[EI_VERSION] = EV_CURRENT;
    header.e_type = type;
    header.e_machine = EM_X86_64;
    header.e_phoff = sizeof(header);
    header.e_phentsize = sizeof(Elf64_Phdr);
    header.e_phnum = 2;
    Elf64_Phdr headers[2] = {};
    headers[0].p_type = PT_LOAD;
    headers[1].p_type = interpreter ? PT_INTERP : PT_NOTE;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(headers), sizeof(headers));
    return bytes;
}

struct SniffCase {
    const char* name;
    std::string contents;
    const char* type;
};

class SniffTable : public testing::TestWithParam<SniffCase> { };

TEST_P(SniffTable, DetectsTheType)
{
    const SniffCase& item = GetParam();
    EXPECT_STREQ(TypeSniffer::SniffData(item.contents.data(), item.contents.size()), item.type);
    std::string path = MakeTempFolder("sniff") + "/sample";
    ASSERT_TRUE(storage_test::WriteFile(path, item.contents));
    std::string type;
    ASSERT_EQ(TypeSniffer::SniffPath(path.c_str(), &type), B_OK);
    EXPECT_EQ(type, item.type);
}

INSTANTIATE_TEST_SUITE_P(Contents, SniffTable,
    testing::Values(SniffCase { "ElfExecutable", Elf(ET_EXEC, false), B_APP_MIME_TYPE },
        SniffCase { "PieExecutable", Elf(ET_DYN, true), B_APP_MIME_TYPE },
        SniffCase { "SharedLibrary", Elf(ET_DYN, false), "application/x-sharedlib" },
        SniffCase { "ObjectFile", Elf(ET_REL, false), "application/x-object" },
        SniffCase { "TruncatedElf",
            std::string("\x7f"
                        "ELF\x02\x01",
                6),
            B_FILE_MIME_TYPE },
        SniffCase { "Png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "image/png" },
        SniffCase { "Jpeg", std::string("\xff\xd8\xff\xe0\0\x10JFIF", 10), "image/jpeg" },
        SniffCase { "Gif", std::string("GIF89a\x01\x00\x01\x00", 10), "image/gif" },
        SniffCase {
            "Bmp", std::string("BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18), "image/bmp" },
        SniffCase { "NotBmp", "BMW is a car maker.", "text/plain" },
        SniffCase { "Zip", std::string("PK\x03\x04\x14\0\0\0", 8), "application/zip" },
        SniffCase {
            "EmptyZip", std::string("PK\x05\x06", 4) + std::string(18, '\0'), "application/zip" },
        SniffCase { "Text", "Hello,\nworld.\n", "text/plain" },
        SniffCase { "Utf8Text", "Grüße, 世界\n", "text/plain" },
        SniffCase { "Script", "#!/bin/sh\necho hi\n", "text/x-shellscript" },
        SniffCase { "Latin1IsNotText", "caf\xe9 au lait", B_FILE_MIME_TYPE },
        SniffCase { "Binary", std::string("\x01\x02\x00\x03", 4), B_FILE_MIME_TYPE },
        SniffCase { "Empty", "", B_FILE_MIME_TYPE }),
    [](const testing::TestParamInfo<SniffCase>& param) { return param.param.name; });

TEST(TypeSnifferTest, FoldersLinksAndVolumes)
{
    std::string folder = MakeTempFolder("sniff");
    ASSERT_EQ(symlink("nowhere", (folder + "/link").c_str()), 0);
    std::string type;
    ASSERT_EQ(TypeSniffer::SniffPath(folder.c_str(), &type), B_OK);
    EXPECT_EQ(type, B_DIRECTORY_MIME_TYPE);
    ASSERT_EQ(TypeSniffer::SniffPath((folder + "/link").c_str(), &type), B_OK);
    EXPECT_EQ(type, B_SYMLINK_MIME_TYPE);
    ASSERT_EQ(TypeSniffer::SniffPath("/", &type), B_OK);
    EXPECT_EQ(type, B_VOLUME_MIME_TYPE);
    EXPECT_EQ(TypeSniffer::SniffPath((folder + "/missing").c_str(), &type), B_ENTRY_NOT_FOUND);
}

TEST(TypeSnifferTest, ThisTestProgramIsAnExecutable)
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    ASSERT_GT(length, 0);
    self[length] = '\0';
    std::string type;
    ASSERT_EQ(TypeSniffer::SniffPath(self, &type), B_OK);
    EXPECT_EQ(type, B_APP_MIME_TYPE);
}

TEST(UpdateMimeInfoTest, SetsTypesLikeMimeset)
{
    SKIP_WITHOUT_XATTRS();
    std::string folder = MakeTempFolder("mimeset");
    ASSERT_TRUE(storage_test::WriteFile(folder + "/readme", "Read me.\n"));
    ASSERT_EQ(mkdir((folder + "/sub").c_str(), 0755), 0);
    ASSERT_TRUE(storage_test::WriteFile(folder + "/sub/app", Elf(ET_DYN, true)));
    ASSERT_EQ(symlink("readme", (folder + "/link").c_str()), 0);

    ASSERT_EQ(update_mime_info(folder.c_str(), true, true, B_UPDATE_MIME_INFO_NO_FORCE), B_OK);
    char type[B_MIME_TYPE_LENGTH];
    BNode readme((folder + "/readme").c_str());
    ASSERT_EQ(BNodeInfo(&readme).GetType(type), B_OK);
    EXPECT_STREQ(type, "text/plain");
    BNode app((folder + "/sub/app").c_str());
    ASSERT_EQ(BNodeInfo(&app).GetType(type), B_OK);
    EXPECT_STREQ(type, B_APP_MIME_TYPE);
    BNode sub((folder + "/sub").c_str());
    ASSERT_EQ(BNodeInfo(&sub).GetType(type), B_OK);
    EXPECT_STREQ(type, B_DIRECTORY_MIME_TYPE);

    // Without force an existing type stays; with it the type is detected anew.
    ASSERT_EQ(BNodeInfo(&readme).SetType("text/x-custom"), B_OK);
    ASSERT_EQ(update_mime_info((folder + "/readme").c_str(), false, true, 0), B_OK);
    ASSERT_EQ(BNodeInfo(&readme).GetType(type), B_OK);
    EXPECT_STREQ(type, "text/x-custom");
    ASSERT_EQ(update_mime_info((folder + "/readme").c_str(), false, true, 1), B_OK);
    ASSERT_EQ(BNodeInfo(&readme).GetType(type), B_OK);
    EXPECT_STREQ(type, "text/plain");

    EXPECT_EQ(update_mime_info((folder + "/missing").c_str(), false, true, 1), B_ENTRY_NOT_FOUND);
}

} // namespace
