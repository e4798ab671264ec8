#include "FileCheckList.h"

#include <ScrollView.h>

#include <ViewsTestSupport.h>

#include <gtest/gtest.h>

#include <vector>

#include "InstallListItem.h"

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgTicked = 'tick';
constexpr char kDown[] = "\x1f";
constexpr char kSpace[] = " ";

struct CheckListFixture {
    TestWindow window { BRect(100, 100, 299, 299) };
    MessageRecorder recorder;
    FileCheckList* list;

    CheckListFixture()
    {
        list = new FileCheckList(BRect(10, 10, 160, 190), "files");
        for (const char* name :
            { "/p/Notes.app", "/p/ReadMe", "/p/Sounds", "/p/Fonts", "/p/Docs" }) {
            InstallListItem* item = new InstallListItem(false);
            BMessage record;
            record.AddString("file_name", name);
            item->Read(record);
            item->SetShowFullPath(false);
            item->SetCheckBox(true);
            list->AddItem(item);
        }
        list->SetSelectionMessage(new BMessage(kMsgTicked));
        window.Add(new BScrollView("scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
        list->SetTarget(recorder.Messenger());
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
    }

    ~CheckListFixture() { DeleteListItems(window.Get(), list); }

    BPoint RowCenter(int32 row) { return ListRowCenter(window.Get(), list, row); }

    void TickAll()
    {
        WithLock(window.Get(), [&] { list->Select(0, list->CountItems() - 1); });
    }

    std::vector<int32> Ticked() { return ListSelection(window.Get(), list); }
};

struct Press {
    // A row to click, or -1 for a key.
    int32 row;
    const char* key;
    uint32 modifiers = 0;
    int32 clicks = 1;
};

// With every row ticked, the input leaves these rows ticked and this row
// current.
struct CheckCase {
    const char* name;
    std::vector<Press> input;
    std::vector<int32> ticked;
    int32 current;
};

void PrintTo(const CheckCase& test, std::ostream* stream)
{
    *stream << test.name;
}

class FileCheckListTest : public testing::TestWithParam<CheckCase> { };

} // namespace

TEST_P(FileCheckListTest, APlainClickTogglesOneRowAndKeepsTheOthers)
{
    CheckListFixture fixture;
    fixture.TickAll();
    int32 id = DisplayId(fixture.window.Get());
    for (const Press& press : GetParam().input) {
        if (press.row >= 0) {
            ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(press.row), kPrimaryButton,
                          press.clicks, press.modifiers),
                B_OK);
        } else {
            ASSERT_EQ(Display().InjectKey(id, press.key, 0, press.modifiers), B_OK);
        }
    }
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Ticked(), GetParam().ticked);
    int32 current = -1;
    WithLock(fixture.window.Get(), [&] { current = fixture.list->CurrentRow(); });
    EXPECT_EQ(current, GetParam().current);
}

INSTANTIATE_TEST_SUITE_P(Input, FileCheckListTest,
    testing::Values(CheckCase { "AClickTakesOneTickAway", { { 2, nullptr } }, { 0, 1, 3, 4 }, 2 },
        CheckCase { "ASecondClickGivesItBack", { { 2, nullptr }, { 2, nullptr, 0, 2 } },
            { 0, 1, 2, 3, 4 }, 2 },
        CheckCase { "TwoClicksTakeTwoTicks", { { 1, nullptr }, { 3, nullptr } }, { 0, 2, 4 }, 3 },
        CheckCase { "ACommandClickTogglesToo", { { 4, nullptr, kCommandKey } }, { 0, 1, 2, 3 }, 4 },
        CheckCase { "SpaceTogglesTheCurrentRow", { { 0, nullptr }, { -1, kDown }, { -1, kSpace } },
            { 2, 3, 4 }, 1 },
        CheckCase { "ArrowsOnlyMoveTheCurrentRow", { { 1, nullptr }, { -1, kDown }, { -1, kDown } },
            { 0, 2, 3, 4 }, 3 },
        CheckCase { "ShiftWithAnArrowAddsTicks",
            { { 1, nullptr }, { 2, nullptr }, { -1, kDown, kShiftKey } }, { 0, 2, 3, 4 }, 3 },
        CheckCase { "ShiftClickTicksARangeBesidesTheOthers",
            { { 0, nullptr }, { 1, nullptr }, { 2, nullptr }, { 3, nullptr },
                { 1, nullptr, kShiftKey } },
            { 1, 2, 3, 4 }, 1 }),
    [](const testing::TestParamInfo<CheckCase>& param) { return std::string(param.param.name); });

namespace {

// While the window installs what was ticked, the ticks stay as they are:
// clicks and keys only move the current row.
TEST(FileCheckListLockTest, AListThatMayNotChangeKeepsItsTicks)
{
    CheckListFixture fixture;
    fixture.TickAll();
    WithLock(fixture.window.Get(), [&] { fixture.list->SetChangeable(false); });
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(1)), B_OK);
    ASSERT_EQ(Display().InjectKey(id, kSpace), B_OK);
    ASSERT_EQ(Display().InjectKey(id, kDown, 0, kShiftKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Ticked(), (std::vector<int32> { 0, 1, 2, 3, 4 }));
    int32 current = -1;
    WithLock(fixture.window.Get(), [&] { current = fixture.list->CurrentRow(); });
    EXPECT_EQ(current, 2);
}

} // namespace
