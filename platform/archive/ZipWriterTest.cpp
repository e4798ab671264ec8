// Archives written by ZipWriter: the stock unzip tool restores their data,
// dates and modes; our reader and extractor also get their attributes back.

#include "ZipWriter.h"

#include "ZipExtractor.h"
#include "ZipNodeAttributes.h"
#include "ZipReader.h"
#include "ZipTestSupport.h"

#include <DataIO.h>

#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/xattr.h>
#include <vector>

using namespace BPrivate;
using namespace brenvik::archive::test;

namespace {

constexpr time_t kFolderTime = 1000000000; // 2001-09-09
constexpr time_t kReadmeTime = 1100000000;
constexpr time_t kToolTime = 1200000000;
constexpr time_t kEmptyTime = 1300000000;
constexpr time_t kAccessOffset = 12345;

void SetTimes(const std::string& path, time_t modified)
{
    timespec times[2] = { { modified + kAccessOffset, 0 }, { modified, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

void SetAttribute(const std::string& path, const ZipAttribute& attribute)
{
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(WriteNodeAttribute(fd, attribute), B_OK) << path;
    close(fd);
}

std::vector<ZipAttribute> AttributesOf(const std::string& path)
{
    std::vector<ZipAttribute> attributes;
    int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(ReadNodeAttributes(fd, &attributes), B_OK);
    close(fd);
    std::sort(attributes.begin(), attributes.end(),
        [](const ZipAttribute& a, const ZipAttribute& b) { return a.name < b.name; });
    return attributes;
}

std::vector<uint8> Bytes(const std::string& text)
{
    return std::vector<uint8>(text.begin(), text.end());
}

const ZipAttribute kTypeAttribute { "BEOS:TYPE", B_MIME_STRING_TYPE,
    Bytes(std::string("text/plain\0", 11)) };
// Long and repetitive, so that the attribute field is stored deflated.
const ZipAttribute kInstallBy { "InstallBy", B_STRING_TYPE,
    Bytes(std::string(
        "Sample App;1.0;2001-09-09;Sample Company;support@example.com;Sample App;1.0;\0", 77)) };
const ZipAttribute kBookmark { "META:url", B_STRING_TYPE,
    Bytes(std::string("https://example.com/\0", 21)) };

struct StatOf {
    explicit StatOf(const std::string& path) { valid = lstat(path.c_str(), &st) == 0; }
    struct stat st;
    bool valid;
};

class ZipWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("zipwriter");
        fItem = fFolder + "/Item";
        std::mt19937 random(11);
        fToolData.resize(100000);
        for (char& c : fToolData)
            c = char(random());
        ASSERT_EQ(mkdir(fItem.c_str(), 0750), 0);
        ASSERT_EQ(mkdir((fItem + "/bin").c_str(), 0755), 0);
        std::string readme;
        for (int i = 0; i < 100; i++)
            readme += "hello, line " + std::to_string(i) + "\n";
        WriteText(fItem + "/readme.txt", readme);
        WriteText(fItem + "/bin/tool", fToolData);
        WriteText(fItem + "/empty", "");
        ASSERT_EQ(chmod((fItem + "/readme.txt").c_str(), 0644), 0);
        ASSERT_EQ(chmod((fItem + "/bin/tool").c_str(), 0755), 0);
        ASSERT_EQ(chmod((fItem + "/empty").c_str(), 0600), 0);
        ASSERT_EQ(symlink("readme.txt", (fItem + "/link").c_str()), 0);
        SetAttribute(fItem + "/readme.txt", kTypeAttribute);
        SetAttribute(fItem + "/readme.txt", kInstallBy);
        SetAttribute(fItem + "/empty", kBookmark);
        SetAttribute(fItem, kTypeAttribute);
        SetTimes(fItem + "/readme.txt", kReadmeTime);
        SetTimes(fItem + "/bin/tool", kToolTime);
        SetTimes(fItem + "/empty", kEmptyTime);
        SetTimes(fItem + "/link", kEmptyTime);
        SetTimes(fItem + "/bin", kFolderTime);
        SetTimes(fItem, kFolderTime);
        fArchive = fFolder + "/item.zip";
    }

    void WriteArchive(const ZipWriteOptions& options = ZipWriteOptions())
    {
        ZipWriter writer;
        ASSERT_EQ(writer.WriteArchive(fItem.c_str(), fArchive.c_str(), options), B_OK)
            << writer.ErrorText();
    }

    // Every entry of an archive (the one written), as our reader sees it.
    std::vector<ZipEntryInfo> Entries(const std::string& archive = "")
    {
        std::string path = archive.empty() ? fArchive : archive;
        std::vector<ZipEntryInfo> entries;
        ZipReader reader;
        status_t status;
        EXPECT_EQ(reader.Open(OpenFileWindowSource(path.c_str(), 0, -1, &status)), B_OK);
        for (uint64 i = 0; i < reader.CountEntries(); i++) {
            ZipEntryInfo info;
            EXPECT_EQ(reader.GetEntry(i, &info), B_OK);
            entries.push_back(info);
        }
        return entries;
    }

    // Data, modification times and modes of the extracted tree match the
    // original (links: their targets).
    void ExpectSameTree(const std::string& root, bool checkLinkTimes)
    {
        for (const char* leaf : { "", "/bin", "/readme.txt", "/bin/tool", "/empty", "/link" }) {
            StatOf original(fItem + leaf);
            StatOf copy(root + leaf);
            ASSERT_TRUE(copy.valid) << leaf;
            EXPECT_EQ(copy.st.st_mode, original.st.st_mode) << leaf;
            if (!S_ISLNK(original.st.st_mode) || checkLinkTimes) {
                EXPECT_EQ(copy.st.st_mtime, original.st.st_mtime) << leaf;
            }
        }
        EXPECT_EQ(ReadText(root + "/readme.txt"), ReadText(fItem + "/readme.txt"));
        EXPECT_EQ(ReadText(root + "/bin/tool"), fToolData);
        EXPECT_EQ(ReadText(root + "/empty"), "");
        char target[64] = {};
        ASSERT_GT(readlink((root + "/link").c_str(), target, sizeof(target) - 1), 0);
        EXPECT_STREQ(target, "readme.txt");
    }

    std::string fFolder;
    std::string fItem;
    std::string fArchive;
    std::string fToolData;
};

TEST_F(ZipWriterTest, StockUnzipRestoresDataDatesAndModes)
{
    std::optional<std::string> unzip = FindTool("unzip");
    if (!unzip)
        GTEST_SKIP() << "the unzip tool is not installed";
    WriteArchive();
    std::string out = brenvik::test::MakeTempFolder("unzipped");
    ASSERT_EQ(RunTool({ *unzip, "-q", fArchive, "-d", out }), 0);
    ExpectSameTree(out + "/Item", false);
}

TEST_F(ZipWriterTest, StockUnzipAcceptsTheAttributeFields)
{
    std::optional<std::string> unzip = FindTool("unzip");
    if (!unzip)
        GTEST_SKIP() << "the unzip tool is not installed";
    WriteArchive();
    // The test mode inflates every deflated attribute field and checks its CRC.
    EXPECT_EQ(RunTool({ *unzip, "-tq", fArchive }), 0);
}

TEST_F(ZipWriterTest, ReaderSeesEveryEntryWithItsMetadata)
{
    WriteArchive();
    ZipReader reader;
    status_t status;
    ASSERT_EQ(reader.Open(OpenFileWindowSource(fArchive.c_str(), 0, -1, &status)), B_OK);
    ASSERT_EQ(reader.CountEntries(), 6u);
    const char* names[]
        = { "Item/", "Item/bin/", "Item/bin/tool", "Item/empty", "Item/link", "Item/readme.txt" };
    const ZipEntryKind kinds[] = { ZipEntryKind::kDirectory, ZipEntryKind::kDirectory,
        ZipEntryKind::kFile, ZipEntryKind::kFile, ZipEntryKind::kSymLink, ZipEntryKind::kFile };
    for (uint64 i = 0; i < 6; i++) {
        ZipEntryInfo info;
        ASSERT_EQ(reader.GetEntry(i, &info), B_OK);
        EXPECT_EQ(info.name, names[i]);
        EXPECT_EQ(info.kind, kinds[i]);
        StatOf original(fFolder + "/" + info.name);
        ASSERT_TRUE(info.mode.has_value());
        EXPECT_EQ(*info.mode, original.st.st_mode) << info.name;
        EXPECT_EQ(info.modified, original.st.st_mtime) << info.name;
        // Archiving read the files, which moved their access times on; the
        // archive holds the ones they had before.
        EXPECT_EQ(info.accessed, original.st.st_mtime + kAccessOffset) << info.name;
        ASSERT_TRUE(info.owner.has_value());
        EXPECT_EQ(info.owner->uid, getuid());
        EXPECT_EQ(info.owner->gid, getgid());
        EXPECT_EQ(info.attributesStatus, B_OK);
    }
    ZipEntryInfo readme;
    ASSERT_EQ(reader.GetEntry(5, &readme), B_OK);
    std::sort(readme.attributes.begin(), readme.attributes.end(),
        [](const ZipAttribute& a, const ZipAttribute& b) { return a.name < b.name; });
    EXPECT_EQ(readme.attributes, (std::vector<ZipAttribute> { kTypeAttribute, kInstallBy }));
}

TEST_F(ZipWriterTest, EmptyEntriesAreStoredAndFilesDeflated)
{
    WriteArchive();
    int error;
    zip_t* archive = zip_open(fArchive.c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); i++) {
        zip_stat_t st;
        ASSERT_EQ(zip_stat_index(archive, zip_uint64_t(i), 0, &st), 0);
        bool data = st.size > 0 && std::string(st.name) != "Item/link";
        EXPECT_EQ(st.comp_method, data ? ZIP_CM_DEFLATE : ZIP_CM_STORE) << st.name;
    }
    zip_discard(archive);
}

TEST_F(ZipWriterTest, ExtractorRestoresDataDatesModesAndAttributes)
{
    WriteArchive();
    std::string out = brenvik::test::MakeTempFolder("extracted");
    ZipExtractor extractor;
    status_t status;
    ASSERT_EQ(
        extractor.Extract(OpenFileWindowSource(fArchive.c_str(), 0, -1, &status), out.c_str()),
        B_OK)
        << extractor.ErrorText();
    EXPECT_EQ(extractor.TopName(), "Item");
    EXPECT_TRUE(extractor.Warnings().empty());
    EXPECT_EQ(StatOf(out + "/Item/readme.txt").st.st_atime, kReadmeTime + kAccessOffset);
    EXPECT_EQ(StatOf(out + "/Item/bin").st.st_atime, kFolderTime + kAccessOffset);
    ExpectSameTree(out + "/Item", true);
    EXPECT_EQ(AttributesOf(out + "/Item/readme.txt"), AttributesOf(fItem + "/readme.txt"));
    EXPECT_EQ(AttributesOf(out + "/Item/empty"), (std::vector<ZipAttribute> { kBookmark }));
    EXPECT_EQ(AttributesOf(out + "/Item"), (std::vector<ZipAttribute> { kTypeAttribute }));
    char mime[64] = {};
    ASSERT_EQ(
        getxattr((out + "/Item/readme.txt").c_str(), "user.mime_type", mime, sizeof(mime)), 10);
    EXPECT_STREQ(mime, "text/plain");
}

// An archive streamed into a buffer that held more before: the archive ends
// where it was written, and gives back the whole item.
TEST_F(ZipWriterTest, StreamedArchiveEndsWhereWritten)
{
    BMallocIO stream;
    std::string stale(2 * 1024 * 1024, 's');
    ASSERT_EQ(stream.WriteAtExactly(0, stale.data(), stale.size()), B_OK);
    ZipWriter writer;
    ASSERT_EQ(writer.WriteArchive(fItem.c_str(), stream), B_OK) << writer.ErrorText();
    EXPECT_LT(stream.BufferLength(), 200000u);
    std::string out = brenvik::test::MakeTempFolder("streamed");
    ZipExtractor extractor;
    auto bytes = std::span(static_cast<const uint8*>(stream.Buffer()), stream.BufferLength());
    ASSERT_EQ(extractor.Extract(MakeMemorySource(bytes), out.c_str()), B_OK)
        << extractor.ErrorText();
    ExpectSameTree(out + "/Item", true);
    EXPECT_EQ(AttributesOf(out + "/Item/readme.txt"), AttributesOf(fItem + "/readme.txt"));
}

TEST_F(ZipWriterTest, ExtractorReadsArchivesOfTheStockZipTool)
{
    std::optional<std::string> zip = FindTool("zip");
    if (!zip)
        GTEST_SKIP() << "the zip tool is not installed";
    ASSERT_EQ(RunTool({ *zip, "-q", "-r", "-y", "stock.zip", "Item" }, fFolder), 0);
    std::string out = brenvik::test::MakeTempFolder("fromstock");
    ZipExtractor extractor;
    status_t status;
    ASSERT_EQ(
        extractor.Extract(
            OpenFileWindowSource((fFolder + "/stock.zip").c_str(), 0, -1, &status), out.c_str()),
        B_OK)
        << extractor.ErrorText();
    ExpectSameTree(out + "/Item", true);
}

TEST_F(ZipWriterTest, ArchivesSingleFileAndLinkItems)
{
    ZipWriter writer;
    std::string out = brenvik::test::MakeTempFolder("single");
    for (const char* leaf : { "readme.txt", "link" }) {
        std::string archive = fFolder + "/" + leaf + ".zip";
        ASSERT_EQ(writer.WriteArchive((fItem + "/" + leaf).c_str(), archive.c_str()), B_OK)
            << writer.ErrorText();
        ZipExtractor extractor;
        status_t status;
        ASSERT_EQ(
            extractor.Extract(OpenFileWindowSource(archive.c_str(), 0, -1, &status), out.c_str()),
            B_OK)
            << extractor.ErrorText();
        EXPECT_EQ(extractor.TopName(), leaf);
    }
    EXPECT_EQ(ReadText(out + "/readme.txt"), ReadText(fItem + "/readme.txt"));
    EXPECT_EQ(AttributesOf(out + "/readme.txt"), AttributesOf(fItem + "/readme.txt"));
    EXPECT_TRUE(S_ISLNK(StatOf(out + "/link").st.st_mode));
}

TEST_F(ZipWriterTest, NamesTheTopEntryAsAsked)
{
    ZipWriteOptions options;
    options.topName = "Renamed Item";
    WriteArchive(options);
    ZipReader reader;
    status_t status;
    ASSERT_EQ(reader.Open(OpenFileWindowSource(fArchive.c_str(), 0, -1, &status)), B_OK);
    ZipEntryInfo info;
    ASSERT_EQ(reader.GetEntry(2, &info), B_OK);
    EXPECT_EQ(info.name, "Renamed Item/bin/tool");
}

TEST_F(ZipWriterTest, MissingSourceFailsAndLeavesNoArchive)
{
    ZipWriter writer;
    EXPECT_EQ(
        writer.WriteArchive((fFolder + "/missing").c_str(), fArchive.c_str()), B_ENTRY_NOT_FOUND);
    EXPECT_FALSE(writer.ErrorText().empty());
    EXPECT_FALSE(Exists(fArchive));
}

// The options of a reproducible archive: the same item gives the same bytes
// whoever archives it, in whatever time zone, however often its files were
// read, and in whatever order its file system lists their attributes.
ZipWriteOptions ReproducibleOptions()
{
    ZipWriteOptions options;
    options.storeOwner = false;
    options.storeAccessTime = false;
    options.dosTimeInUtc = true;
    options.topName = "Item";
    return options;
}

class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        const char* old = std::getenv("TZ");
        fOld = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (fOld)
            setenv("TZ", fOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> fOld;
};

TEST_F(ZipWriterTest, ReproducibleArchivesOfEqualItemsAreTheSameBytes)
{
    // A copy elsewhere, its attributes set in the other order and its files
    // read at other times.
    std::string copy = fFolder + "/Copy";
    ASSERT_EQ(RunTool({ "/bin/cp", "-a", "--no-preserve=xattr", fItem, copy }, fFolder), 0);
    SetAttribute(copy + "/readme.txt", kInstallBy);
    SetAttribute(copy + "/readme.txt", kTypeAttribute);
    SetAttribute(copy + "/empty", kBookmark);
    SetAttribute(copy, kTypeAttribute);
    for (const char* leaf : { "/readme.txt", "/bin/tool", "/empty", "/bin", "" }) {
        timespec times[2] = { { 5, 0 }, { 0, UTIME_OMIT } };
        ASSERT_EQ(utimensat(AT_FDCWD, (copy + leaf).c_str(), times, 0), 0);
    }
    std::string bytes[2];
    const char* zones[2] = { "AAA-13", "BBB+8" };
    const std::string* sources[2] = { &fItem, &copy };
    for (int i = 0; i < 2; i++) {
        ScopedTimeZone zone(zones[i]);
        ZipWriter writer;
        std::string archive = fFolder + "/reproducible" + std::to_string(i) + ".zip";
        ASSERT_EQ(
            writer.WriteArchive(sources[i]->c_str(), archive.c_str(), ReproducibleOptions()), B_OK)
            << writer.ErrorText();
        bytes[i] = ReadText(archive);
    }
    EXPECT_FALSE(bytes[0].empty());
    EXPECT_TRUE(bytes[0] == bytes[1]) << "the two archives differ";

    // Nothing of the owner, no access times; the extraction gives each entry
    // its modification time for both.
    std::string first = fFolder + "/reproducible0.zip";
    std::vector<ZipEntryInfo> entries = Entries(first);
    EXPECT_FALSE(entries.empty());
    for (const ZipEntryInfo& info : entries) {
        EXPECT_FALSE(info.owner.has_value()) << info.name;
        EXPECT_FALSE(info.accessed.has_value()) << info.name;
        EXPECT_EQ(info.modified, StatOf(fFolder + "/" + info.name).st.st_mtime) << info.name;
    }
    status_t status;
    std::string out = brenvik::test::MakeTempFolder("reproducible");
    ZipExtractor extractor;
    ASSERT_EQ(
        extractor.Extract(OpenFileWindowSource(first.c_str(), 0, -1, &status), out.c_str()), B_OK)
        << extractor.ErrorText();
    // Before anything reads the file (which renews an access time as old as
    // the modification time).
    EXPECT_EQ(StatOf(out + "/Item/readme.txt").st.st_atime, kReadmeTime);
    ExpectSameTree(out + "/Item", true);
}

TEST_F(ZipWriterTest, TimesAfterTheLatestTimeAreStoredAsIt)
{
    ZipWriteOptions options = ReproducibleOptions();
    options.latestTime = kReadmeTime;
    {
        ScopedTimeZone zone("AAA-13");
        WriteArchive(options);
    }
    for (const ZipEntryInfo& info : Entries()) {
        time_t own = StatOf(fFolder + "/" + info.name).st.st_mtime;
        EXPECT_EQ(info.modified, std::min<int64>(own, kReadmeTime)) << info.name;
    }
    // The DOS date and time say the same, in UTC (libzip reads them as the
    // local time).
    ScopedTimeZone utc("UTC0");
    int error;
    zip_t* archive = zip_open(fArchive.c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr);
    zip_stat_t st;
    ASSERT_EQ(zip_stat(archive, "Item/bin/tool", 0, &st), 0);
    zip_discard(archive);
    ASSERT_TRUE((st.valid & ZIP_STAT_MTIME) != 0);
    EXPECT_EQ(st.mtime, kReadmeTime);
}

TEST_F(ZipWriterTest, ThePermissionsMayBeGivenForEveryEntry)
{
    ZipWriteOptions options;
    options.permissions = 0755;
    WriteArchive(options);
    std::vector<ZipEntryInfo> entries = Entries();
    EXPECT_FALSE(entries.empty());
    for (const ZipEntryInfo& info : entries) {
        ASSERT_TRUE(info.mode.has_value());
        mode_t own = StatOf(fFolder + "/" + info.name).st.st_mode;
        EXPECT_EQ(*info.mode, (own & S_IFMT) | 0755) << info.name;
    }
}

} // namespace
