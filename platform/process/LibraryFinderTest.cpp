#include "LibraryFinder.h"

#include <elf.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <TestSandbox.h>

using BPrivate::LibraryFinder;

namespace {

// A file that starts like an ELF object of the given class and machine:
// all the loader (and the finder) look at before mapping it.
std::string MakeElf(const std::string& path, unsigned char elfClass = 0, uint16 machine = 0)
{
    if (elfClass == 0)
        elfClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
#if defined(__x86_64__)
    if (machine == 0)
        machine = EM_X86_64;
#elif defined(__aarch64__)
    if (machine == 0)
        machine = EM_AARCH64;
#else
    if (machine == 0)
        machine = EM_386;
#endif
    unsigned char header[64] = { 0x7F, 'E', 'L', 'F', elfClass, ELFDATA2LSB, 1 };
    header[16] = ET_DYN;
    header[18] = uint8(machine & 0xFF);
    header[19] = uint8(machine >> 8);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(header), 64);
    return path;
}

class LibraryFinderTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("libs");
        // Nothing of the machine takes part unless a test says so.
        fFinder.SetSearchPath({});
        fFinder.SetDefaultFolders({});
        fFinder.SetCacheListing("");
    }

    std::string fFolder;
    LibraryFinder fFinder;
};

TEST_F(LibraryFinderTest, FindsALibraryInTheSearchPath)
{
    MakeElf(fFolder + "/libfake.so.1");
    fFinder.SetSearchPath({ "/nonexistent", fFolder });
    std::string path, how;
    ASSERT_EQ(fFinder.Find("libfake.so.1", &path, &how), B_OK);
    EXPECT_EQ(path, fFolder + "/libfake.so.1");
    EXPECT_EQ(how, "LD_LIBRARY_PATH");
}

TEST_F(LibraryFinderTest, SkipsFilesTheLoaderWouldNotLoad)
{
    std::string wrongClass = fFolder + "/class";
    std::string wrongMachine = fFolder + "/machine";
    std::string notElf = fFolder + "/text";
    mkdir(wrongClass.c_str(), 0755);
    mkdir(wrongMachine.c_str(), 0755);
    mkdir(notElf.c_str(), 0755);
    MakeElf(wrongClass + "/libfake.so.1", sizeof(void*) == 8 ? ELFCLASS32 : ELFCLASS64);
    MakeElf(wrongMachine + "/libfake.so.1", 0, EM_PPC);
    std::ofstream(notElf + "/libfake.so.1") << "INPUT(-lfake)\n";
    fFinder.SetSearchPath({ wrongClass, wrongMachine, notElf });
    EXPECT_EQ(fFinder.Find("libfake.so.1", nullptr), B_ENTRY_NOT_FOUND);
}

TEST_F(LibraryFinderTest, FindsALibraryOnlyTheLoaderCacheKnows)
{
    std::string library = MakeElf(fFolder + "/libcached.so.2");
    fFinder.SetCacheListing("2 libs found in cache `/etc/ld.so.cache'\n"
                            "\tlibcached.so.2 (libc6) => /nowhere/libcached.so.2\n"
                            "\tlibcached.so.2 ("
        + LibraryFinder::OwnAbi() + ", OS ABI: Linux 3.2.0) => " + library + "\n");
    std::string path, how;
    ASSERT_EQ(fFinder.Find("libcached.so.2", &path, &how), B_OK);
    EXPECT_EQ(path, library);
    EXPECT_EQ(how, "loader cache");
}

TEST_F(LibraryFinderTest, AnUnversionedNameIsMetByAVersionedCacheEntry)
{
    std::string library = MakeElf(fFolder + "/libdev.so.3.1");
    fFinder.SetCacheListing("\tlibdev.so.3 (" + LibraryFinder::OwnAbi() + ") => " + library + "\n");
    std::string path, how;
    ASSERT_EQ(fFinder.Find("libdev.so", &path, &how), B_OK);
    EXPECT_EQ(path, library);
    EXPECT_EQ(how, "loader cache, as libdev.so.3");
    // A different library that merely starts alike does not count.
    EXPECT_EQ(fFinder.Find("libde", nullptr), B_ENTRY_NOT_FOUND);
}

TEST_F(LibraryFinderTest, SearchesTheDefaultFoldersLast)
{
    MakeElf(fFolder + "/libdefault.so.1");
    fFinder.SetDefaultFolders({ fFolder });
    std::string how;
    ASSERT_EQ(fFinder.Find("libdefault.so.1", nullptr, &how), B_OK);
    EXPECT_EQ(how, "default folder");
}

TEST_F(LibraryFinderTest, RefusesNamesThatArePaths)
{
    for (const char* name : { "", ".", "..", "../libc.so.6", "/lib/libc.so.6" })
        EXPECT_EQ(fFinder.Find(name, nullptr), B_BAD_VALUE) << name;
}

TEST_F(LibraryFinderTest, ReadsLdSoConfWithItsIncludes)
{
    std::string conf = fFolder + "/ld.so.conf";
    mkdir((fFolder + "/ld.so.conf.d").c_str(), 0755);
    std::ofstream(conf) << "# comment\n/opt/a/lib\ninclude ld.so.conf.d/*.conf\n";
    std::ofstream(fFolder + "/ld.so.conf.d/x.conf")
        << "/opt/b/lib  # trailing\ninclude " << conf << "\n";
    std::vector<std::string> folders = LibraryFinder::ConfiguredFolders(conf);
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], "/opt/a/lib");
    EXPECT_EQ(folders[1], "/opt/b/lib");
}

TEST_F(LibraryFinderTest, ParsesOnlyWellFormedCacheLines)
{
    std::string abi = LibraryFinder::OwnAbi();
    auto entries = LibraryFinder::ParseCache("junk\n"
                                             "\tlibx.so.1 ("
            + abi + ") => /a/libx.so.1\n\tbroken (" + abi + " => /b\n\t(" + abi + ") => /c\n",
        abi);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "libx.so.1");
    EXPECT_EQ(entries[0].path, "/a/libx.so.1");
}

// Reads the machine, never changes it: the C library is found through the
// real loader cache where the machine has one.
TEST(LibraryFinderSmokeTest, FindsTheCLibrary)
{
    if (access("/sbin/ldconfig", X_OK) != 0)
        GTEST_SKIP() << "no /sbin/ldconfig on this machine";
    LibraryFinder finder;
    finder.SetSearchPath({});
    std::string path;
    EXPECT_EQ(finder.Find("libc.so.6", &path), B_OK);
}

} // namespace
