#include "InstallRecord.h"
#include "InstallRecordReader.h"

#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <TestSandbox.h>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

BMessage Header()
{
    BMessage header;
    header.AddString(InstallRecord::kFieldInstallBy, "Notes;1.0;2000;Tarsel;s@t;");
    header.AddString(InstallRecord::kFieldInstallFolder, "/home/u/Apps/Notes");
    header.AddInt64(InstallRecord::kFieldStarted, 977961600);
    return header;
}

// A record of three steps: one done, one failed, one only begun.
std::string WriteSampleRecord(const std::string& folder, bool finish)
{
    InstallRecord record;
    EXPECT_EQ(record.CreateIn(folder.c_str(), Header()), B_OK);
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, "/home/u/Apps/Notes");
    int32 first = record.Begin(InstallRecord::kKindFolder, fields, InstallRecord::kRecordSync);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(record.Done(first), B_OK);
    BMessage item;
    item.AddString(InstallRecord::kFieldPath, "/home/u/Apps/Notes/ReadMe.txt");
    int32 second = record.Begin(InstallRecord::kKindItem, item);
    EXPECT_EQ(second, 2);
    BMessage partial;
    partial.AddString(InstallRecord::kFieldPath, "/home/u/Apps/Notes/ReadMe.txt");
    EXPECT_EQ(record.Failed(second, B_DEVICE_FULL, "the disk is full", &partial), B_OK);
    EXPECT_EQ(record.Begin(InstallRecord::kKindLink, item), 3);
    if (finish) {
        EXPECT_EQ(record.Finish(InstallRecord::kStateStopped, 977961700), B_OK);
    }
    return record.JournalPath();
}

TEST(InstallRecordTest, ReadsBackEveryStepWithItsState)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string journal = WriteSampleRecord(folder, true);
    EXPECT_EQ(journal.rfind(folder + "/", 0), 0u);

    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(journal.c_str()), B_OK);
    EXPECT_STREQ(
        reader.Header().GetString(InstallRecord::kFieldInstallFolder, ""), "/home/u/Apps/Notes");
    EXPECT_FALSE(
        std::string(reader.Header().GetString(InstallRecord::kFieldInstallId, "")).empty());
    ASSERT_EQ(reader.Steps().size(), 3u);
    EXPECT_EQ(reader.Steps()[0].kind, "folder");
    EXPECT_EQ(reader.Steps()[0].state, InstallRecordReader::kStepDone);
    EXPECT_EQ(reader.Steps()[1].state, InstallRecordReader::kStepFailed);
    EXPECT_EQ(reader.Steps()[1].result.GetInt32(InstallRecord::kFieldError, 0), B_DEVICE_FULL);
    EXPECT_EQ(reader.Steps()[2].state, InstallRecordReader::kStepBegun);
    EXPECT_EQ(reader.EndState(), "stopped");
    EXPECT_EQ(reader.EndTime(), 977961700);
    EXPECT_EQ(reader.IgnoredBytes(), 0u);

    // The record's folder is private to the user.
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    ASSERT_EQ(stat(journal.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// A large result comes in parts before its done frame; the reader joins
// them in the order written. Parts of a step that never ended, or of no
// begun step, are not taken for a result.
TEST(InstallRecordTest, PartsOfAResultAreJoinedBeforeTheDoneFrame)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    InstallRecord record;
    ASSERT_EQ(record.CreateIn(folder.c_str(), Header()), B_OK);
    BMessage item;
    item.AddString(InstallRecord::kFieldPath, "/home/u/Apps/Notes/many");
    int32 step = record.Begin(InstallRecord::kKindItem, item);
    auto entries = [](int first, int count) {
        BMessage part;
        for (int i = first; i < first + count; i++) {
            BMessage entry;
            entry.AddString(InstallRecord::kFieldPath, ("f" + std::to_string(i)).c_str());
            part.AddMessage(InstallRecord::kFieldEntry, &entry);
        }
        return part;
    };
    BMessage first = entries(0, 3);
    first.AddString(InstallRecord::kFieldPath, "/home/u/Apps/Notes/many");
    EXPECT_EQ(record.Part(step, first), B_OK);
    EXPECT_EQ(record.Part(step, entries(3, 2)), B_OK);
    BMessage rest = entries(5, 1);
    EXPECT_EQ(record.Done(step, &rest), B_OK);
    int32 unfinished = record.Begin(InstallRecord::kKindItem, item);
    EXPECT_EQ(record.Part(unfinished, entries(0, 1)), B_OK);

    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(record.JournalPath().c_str()), B_OK);
    ASSERT_EQ(reader.Steps().size(), 2u);
    const BMessage& result = reader.Steps()[0].result;
    EXPECT_EQ(reader.Steps()[0].state, InstallRecordReader::kStepDone);
    EXPECT_EQ(result.what, InstallRecord::kMsgDone);
    EXPECT_STREQ(result.GetString(InstallRecord::kFieldPath, ""), "/home/u/Apps/Notes/many");
    EXPECT_EQ(result.GetInt32(InstallRecord::kFieldStep, 0), step);
    BMessage entry;
    int32 count = 0;
    for (; result.FindMessage(InstallRecord::kFieldEntry, count, &entry) == B_OK; count++)
        EXPECT_STREQ(
            entry.GetString(InstallRecord::kFieldPath, ""), ("f" + std::to_string(count)).c_str());
    EXPECT_EQ(count, 6);
    EXPECT_EQ(reader.Steps()[1].state, InstallRecordReader::kStepBegun);
    EXPECT_TRUE(reader.Steps()[1].result.IsEmpty());

    // A part for a step that was never begun ends the reading there.
    InstallRecord stray;
    ASSERT_EQ(stray.CreateIn(folder.c_str(), Header()), B_OK);
    EXPECT_EQ(stray.Part(7, entries(0, 1)), B_OK);
    ASSERT_EQ(reader.ReadFile(stray.JournalPath().c_str()), B_OK);
    EXPECT_TRUE(reader.Steps().empty());
    EXPECT_FALSE(reader.IgnoredReason().empty());
}

TEST(InstallRecordTest, AnInterruptedRecordHasNoEndAndKeepsItsFrames)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string journal = WriteSampleRecord(folder, false);
    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(journal.c_str()), B_OK);
    EXPECT_EQ(reader.EndState(), "");
    EXPECT_EQ(reader.Steps().size(), 3u);
    EXPECT_NE(reader.Describe().find("interrupted"), std::string::npos);
}

TEST(InstallRecordTest, NoStagingFolderIsLeftAndTheRecordFolderIsNamedByItsId)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    InstallRecord record;
    ASSERT_EQ(record.CreateIn(folder.c_str(), Header()), B_OK);
    EXPECT_EQ(record.JournalPath(), folder + "/" + record.Id() + "/journal");
    InstallRecord second;
    ASSERT_EQ(second.CreateIn(folder.c_str(), Header()), B_OK);
    EXPECT_NE(second.Id(), record.Id());
    int entries = 0;
    for (const char* name : { record.Id().c_str(), second.Id().c_str() }) {
        struct stat info;
        entries += stat((folder + "/" + name).c_str(), &info) == 0 ? 1 : 0;
    }
    EXPECT_EQ(entries, 2);
}

TEST(InstallRecordTest, ATailCutShortIsIgnoredAndReported)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string bytes = ReadAll(WriteSampleRecord(folder, true));
    // Every cut inside the last frame keeps the frames before it.
    InstallRecordReader whole;
    ASSERT_EQ(whole.Read(bytes.data(), bytes.size()), B_OK);
    for (size_t cut = 1; cut < 30; cut++) {
        InstallRecordReader reader;
        ASSERT_EQ(reader.Read(bytes.data(), bytes.size() - cut), B_OK) << cut;
        EXPECT_EQ(reader.EndState(), "") << cut;
        EXPECT_EQ(reader.Steps().size(), 3u) << cut;
        EXPECT_GT(reader.IgnoredBytes(), 0u);
    }
}

TEST(InstallRecordTest, AFlippedByteEndsTheRecordAtItsFrame)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string bytes = ReadAll(WriteSampleRecord(folder, true));
    bytes[bytes.size() - 3] ^= 0x40;
    InstallRecordReader reader;
    ASSERT_EQ(reader.Read(bytes.data(), bytes.size()), B_OK);
    EXPECT_EQ(reader.EndState(), "");
    EXPECT_EQ(reader.IgnoredReason(), "a frame does not match its checksum");
}

TEST(InstallRecordTest, RefusesWhatIsNotARecord)
{
    InstallRecordReader reader;
    EXPECT_EQ(reader.Read("BRVKJRN", 7), B_BAD_DATA);
    EXPECT_EQ(reader.Read("notarecordatall", 15), B_BAD_DATA);
    EXPECT_NE(reader.ReadFile("/nonexistent/journal"), B_OK);
    std::string folder = brenvik::test::MakeTempFolder("record");
    EXPECT_EQ(reader.ReadFile(folder.c_str()), B_ENTRY_NOT_FOUND);
}

// Damaged records (every truncation, random byte changes) are read without
// a fault: the parser only ever sees what it checked.
TEST(InstallRecordTest, DamagedRecordsAreReadSafely)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string bytes = ReadAll(WriteSampleRecord(folder, true));
    for (size_t cut = 0; cut <= bytes.size(); cut++) {
        InstallRecordReader reader;
        reader.Read(bytes.data(), cut);
    }
    std::mt19937 random(14);
    for (int round = 0; round < 2000; round++) {
        std::string damaged = bytes;
        int changes = 1 + int(random() % 8);
        for (int n = 0; n < changes; n++)
            damaged[random() % damaged.size()] = char(random());
        // The checksums would stop most changes; fix them up so that the
        // message parser sees damaged frames too.
        size_t offset = 8;
        while (offset + 8 <= damaged.size()) {
            uint32 length = uint8(damaged[offset]) | uint8(damaged[offset + 1]) << 8
                | uint8(damaged[offset + 2]) << 16 | uint32(uint8(damaged[offset + 3])) << 24;
            if (length > damaged.size() - offset - 8)
                break;
            uint32 crc = InstallRecord::Crc32(damaged.data() + offset + 8, length);
            for (int b = 0; b < 4; b++)
                damaged[offset + 4 + b] = char(crc >> (8 * b));
            offset += 8 + length;
        }
        InstallRecordReader reader;
        if (reader.Read(damaged.data(), damaged.size()) == B_OK)
            reader.Describe();
    }
}

TEST(InstallRecordTest, SupersededRecordsNameTheirSuccessor)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    std::string journal = WriteSampleRecord(folder, true);
    ASSERT_EQ(InstallRecord::MarkSuperseded(journal.c_str(), "20240101-000000-0000abcd"), B_OK);
    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(journal.c_str()), B_OK);
    ASSERT_EQ(reader.SupersededBy().size(), 1u);
    EXPECT_EQ(reader.SupersededBy()[0], "20240101-000000-0000abcd");
}

TEST(InstallRecordTest, DescribesFieldsReadably)
{
    std::string folder = brenvik::test::MakeTempFolder("record");
    InstallRecord record;
    ASSERT_EQ(record.CreateIn(folder.c_str(), Header()), B_OK);
    BMessage item;
    item.AddString(InstallRecord::kFieldPath, "/a/b\nc");
    item.AddInt32(InstallRecord::kFieldMode, 0755);
    const char digest[] = "\x01\x02\xfe\xff";
    item.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest, 4);
    int32 step = record.Begin(InstallRecord::kKindItem, item);
    ASSERT_EQ(record.Done(step), B_OK);
    ASSERT_EQ(record.Finish(InstallRecord::kStateFinished, 0), B_OK);
    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(record.JournalPath().c_str()), B_OK);
    std::string text = reader.Describe();
    EXPECT_NE(text.find("path: \"/a/b\\nc\""), std::string::npos) << text;
    EXPECT_NE(text.find("mode: 0755"), std::string::npos) << text;
    EXPECT_NE(text.find("sha256: 0102feff"), std::string::npos) << text;
    EXPECT_NE(text.find("Step 1: item (done)"), std::string::npos) << text;
    EXPECT_NE(text.find("State: finished"), std::string::npos) << text;
    EXPECT_NE(text.find("started: 977961600 (2000-12-28 00:00:00 UTC)"), std::string::npos) << text;
}

TEST(InstallRecordTest, TheStateLockExcludesASecondHolder)
{
    std::string path = brenvik::test::MakeTempFolder("lock") + "/state/lock";
    InstallStateLock lock(path);
    ASSERT_EQ(lock.InitCheck(), B_OK);
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}

} // namespace
