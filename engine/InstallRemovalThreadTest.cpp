// The removal of an item's many files, which goes on a few threads: every
// file still as placed goes, an edited one among them stays, and what came
// of each is told in the record's order.

#include "InstallPassTestSupport.h"

#include <gtest/gtest.h>

#include "InstallRemoval.h"

namespace {

using namespace pass_test;

class ManyFilesRemovalTest : public PassRunFixture<> {
protected:
    void SetUp() override { MakePass("many-files"); }
};

TEST_F(ManyFilesRemovalTest, RemovesTheUnchangedFilesAndKeepsTheEditedOneInOrder)
{
    constexpr int kFiles = 200;
    for (int i = 0; i < kFiles; i++)
        Source("Many/f" + std::to_string(1000 + i), "file " + std::to_string(i));
    fInstaller->AddItem({ fPayload + "/Many" });
    ASSERT_EQ(Run(), InstallConfig::kPassDone);
    std::string item = InstallFolder() + "/Many";
    std::string edited = item + "/f1123";
    WriteBytes(edited, "the user's own");

    // The record lists a folder's files in the order it walked them (it
    // goes once the removal is complete).
    InstallRecordReader reader;
    ASSERT_EQ(reader.ReadFile(fConfig.RecordPath().c_str()), B_OK);
    std::vector<std::string> recorded;
    for (const auto& step : reader.Steps()) {
        BMessage entry;
        for (int32 i = 0; step.result.FindMessage("entry", i, &entry) == B_OK; i++) {
            std::string path = entry.GetString("path", "");
            if (path.rfind(item + "/f", 0) == 0)
                recorded.insert(recorded.begin(), path);
        }
    }
    InstallRemoval removal;
    ASSERT_EQ(removal.SetTo(fConfig.RecordPath()), B_OK) << removal.Error();
    removal.Run();
    EXPECT_EQ(ReadBytes(edited), "the user's own");
    // The removal tells of them in the reverse order, one after the other.
    std::vector<std::string> told;
    int removed = 0;
    for (const InstallRemoval::Outcome& outcome : removal.Outcomes()) {
        if (outcome.path.rfind(item + "/f", 0) == 0) {
            told.push_back(outcome.path);
            removed += outcome.kind == InstallRemoval::kOutcomeRemoved ? 1 : 0;
        }
    }
    EXPECT_EQ(removed, kFiles - 1) << removal.Report();
    ASSERT_EQ(told.size(), size_t(kFiles));
    EXPECT_EQ(told, recorded);
    for (int i = 0; i < kFiles; i++) {
        std::string file = item + "/f" + std::to_string(1000 + i);
        EXPECT_EQ(Lexists(file), file == edited) << file;
    }
}

} // namespace
