#include <ListView.h>
#include <ScrollView.h>
#include <Window.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgSelected = 'slct';
constexpr uint32 kMsgInvoked = 'invk';

struct ListFixture {
    TestWindow window { BRect(100, 100, 299, 299) };
    MessageRecorder recorder;
    BListView* list;

    explicit ListFixture(list_view_type type = B_SINGLE_SELECTION_LIST)
    {
        list = new BListView(BRect(10, 10, 150, 100), "groups", type);
        for (const char* name : { "Typical", "Minimal", "Full", "Custom", "Sounds", "Extras",
                 "Fonts", "Docs", "Samples", "Tools" })
            list->AddItem(new BStringItem(name));
        list->SetSelectionMessage(new BMessage(kMsgSelected));
        list->SetInvocationMessage(new BMessage(kMsgInvoked));
        window.Add(new BScrollView("scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
        list->SetTarget(recorder.Messenger());
        window.Show();
        EXPECT_TRUE(WaitUntilSettled(window.Get()));
    }

    ~ListFixture() { DeleteListItems(window.Get(), list); }

    BPoint RowCenter(int32 row) { return ListRowCenter(window.Get(), list, row); }

    std::vector<int32> Selection() { return ListSelection(window.Get(), list); }
};

} // namespace

TEST(ListViewTest, AClickSelectsTheRowUnderThePointerAndSendsTheSelectionMessage)
{
    ListFixture fixture;
    ASSERT_EQ(Display().InjectClick(DisplayId(fixture.window.Get()), fixture.RowCenter(2)), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgSelected));
    EXPECT_EQ(fixture.Selection(), std::vector<int32> { 2 });
    int32 index = -1;
    fixture.recorder.Last(kMsgSelected).FindInt32("index", &index);
    EXPECT_EQ(index, 2);
}

TEST(ListViewTest, ArrowKeysMoveTheSelectionAndScrollToIt)
{
    ListFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(0)), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgSelected, 1));
    for (int i = 0; i < 9; i++)
        ASSERT_EQ(Display().InjectKey(id, "\x1f"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgSelected, 10));
    EXPECT_EQ(fixture.Selection(), std::vector<int32> { 9 });
    float top = 0;
    BRect frame;
    WithLock(fixture.window.Get(), [&] {
        top = fixture.list->Bounds().top;
        frame = fixture.list->ItemFrame(9);
    });
    EXPECT_GT(top, 0);
    ASSERT_EQ(Display().InjectKey(id, "\x1e"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgSelected, 11));
    EXPECT_EQ(fixture.Selection(), std::vector<int32> { 8 });
}

TEST(ListViewTest, EnterAndADoubleClickInvoke)
{
    ListFixture fixture;
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(1)), B_OK);
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(1), kPrimaryButton, 2), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgInvoked, 1));
    ASSERT_EQ(Display().InjectKey(id, "\n"), B_OK);
    ASSERT_TRUE(fixture.recorder.WaitFor(kMsgInvoked, 2));
}

TEST(ListViewTest, MultipleSelectionExtendsWithShiftAndTogglesWithCommand)
{
    ListFixture fixture(B_MULTIPLE_SELECTION_LIST);
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(1)), B_OK);
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(3), kPrimaryButton, 1, kShiftKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Selection(), (std::vector<int32> { 1, 2, 3 }));
    ASSERT_EQ(
        Display().InjectClick(id, fixture.RowCenter(2), kPrimaryButton, 1, kCommandKey), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Selection(), (std::vector<int32> { 1, 3 }));
}

// #pragma mark - the current row of a multiple-selection list

namespace {

constexpr char kUp[] = "\x1e";
constexpr char kDown[] = "\x1f";
constexpr char kHome[] = "\x01";
constexpr char kEnd[] = "\x04";
constexpr char kSpace[] = " ";

struct KeyPress {
    const char* bytes;
    uint32 modifiers = 0;
};

// After a click on row 1 (which selects it and makes it current), the keys
// leave these rows selected and this row current.
struct RowKeysCase {
    const char* name;
    std::vector<KeyPress> keys;
    std::vector<int32> selected;
    int32 current;
};

class CurrentRowTest : public testing::TestWithParam<RowKeysCase> { };

void PrintTo(const RowKeysCase& test, std::ostream* stream)
{
    *stream << test.name;
}

} // namespace

TEST_P(CurrentRowTest, KeysMoveTheCurrentRowAndSpaceTogglesIt)
{
    ListFixture fixture(B_MULTIPLE_SELECTION_LIST);
    int32 id = DisplayId(fixture.window.Get());
    ASSERT_EQ(Display().InjectClick(id, fixture.RowCenter(1)), B_OK);
    for (const KeyPress& key : GetParam().keys)
        ASSERT_EQ(Display().InjectKey(id, key.bytes, 0, key.modifiers), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Selection(), GetParam().selected);
    int32 current = -1;
    WithLock(fixture.window.Get(), [&] { current = fixture.list->CurrentRow(); });
    EXPECT_EQ(current, GetParam().current);
}

INSTANTIATE_TEST_SUITE_P(Keys, CurrentRowTest,
    testing::Values(RowKeysCase { "ArrowsKeepTheSelection", { { kDown }, { kDown } }, { 1 }, 3 },
        RowKeysCase { "SpaceSelectsTheCurrentRow", { { kDown }, { kSpace } }, { 1, 2 }, 2 },
        RowKeysCase { "SpaceDeselectsASelectedRow", { { kSpace } }, {}, 1 },
        RowKeysCase { "SpaceTwiceGivesTheRowBack", { { kSpace }, { kSpace } }, { 1 }, 1 },
        RowKeysCase { "HomeAndEndGoToTheEnds", { { kEnd }, { kSpace }, { kHome } }, { 1, 9 }, 0 },
        RowKeysCase { "UpStopsAtTheTop", { { kUp }, { kUp }, { kUp } }, { 1 }, 0 },
        RowKeysCase { "DownStopsAtTheBottom", { { kEnd }, { kDown } }, { 1 }, 9 },
        RowKeysCase { "ShiftExtendsFromTheAnchor", { { kDown, kShiftKey }, { kDown, kShiftKey } },
            { 1, 2, 3 }, 3 },
        RowKeysCase { "ShiftBackOverTheAnchor",
            { { kDown, kShiftKey }, { kUp, kShiftKey }, { kUp, kShiftKey } }, { 0, 1 }, 0 }),
    [](const testing::TestParamInfo<RowKeysCase>& param) { return std::string(param.param.name); });

TEST(ListViewTest, TheFocusStartsTheCurrentRowAtTheTopAndItFollowsRemovals)
{
    ListFixture fixture(B_MULTIPLE_SELECTION_LIST);
    int32 id = DisplayId(fixture.window.Get());
    WithLock(fixture.window.Get(), [&] {
        EXPECT_EQ(fixture.list->CurrentRow(), -1);
        fixture.list->MakeFocus(true);
        EXPECT_EQ(fixture.list->CurrentRow(), 0);
    });
    ASSERT_EQ(Display().InjectKey(id, kSpace), B_OK);
    ASSERT_EQ(Display().InjectKey(id, kEnd), B_OK);
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.Selection(), std::vector<int32> { 0 });
    WithLock(fixture.window.Get(), [&] {
        BListView* list = fixture.list;
        // The list scrolled to show the current row.
        EXPECT_GT(list->Bounds().top, 0);
        delete list->RemoveItem(int32(2));
        EXPECT_EQ(list->CurrentRow(), 8);
        // The current row itself gone (the last one), the new last row is.
        delete list->RemoveItem(int32(8));
        EXPECT_EQ(list->CurrentRow(), 7);
        list->SetCurrentRow(40);
        EXPECT_EQ(list->CurrentRow(), -1);
    });
}

TEST(ListViewTest, TheCurrentRowIsFramedInTheKeyboardColourWhileTheListHasTheFocus)
{
    ListFixture fixture(B_MULTIPLE_SELECTION_LIST);
    BWindow* window = fixture.window.Get();
    // Whether the left edge of the row shows the keyboard colour.
    auto framed = [&](int32 row) {
        BPoint edge;
        WithLock(window, [&] {
            BRect frame = fixture.list->ItemFrame(row);
            edge = window->ConvertFromScreen(fixture.list->ConvertToScreen(
                BPoint(frame.left, std::floor((frame.top + frame.bottom) / 2))));
        });
        EXPECT_TRUE(WaitUntilSettled(window));
        RgbaImage image = Snapshot(window);
        const uint8_t* pixel = image.PixelAt(int(edge.x), int(edge.y));
        rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
        return pixel[0] == mark.red && pixel[1] == mark.green && pixel[2] == mark.blue;
    };
    EXPECT_FALSE(framed(0));
    WithLock(window, [&] { fixture.list->MakeFocus(true); });
    EXPECT_TRUE(framed(0));
    ASSERT_EQ(Display().InjectKey(DisplayId(window), kDown), B_OK);
    EXPECT_FALSE(framed(0));
    EXPECT_TRUE(framed(1));
    WithLock(window, [&] { fixture.list->MakeFocus(false); });
    EXPECT_FALSE(framed(1));
}

TEST(ListViewTest, SelectionCallsWithoutAMessageNotifyNoOne)
{
    ListFixture fixture;
    WithLock(fixture.window.Get(), [&] {
        fixture.list->SetSelectionMessage(nullptr);
        fixture.list->Select(4);
        fixture.list->DeselectAll();
    });
    ASSERT_TRUE(WaitUntilSettled(fixture.window.Get()));
    EXPECT_EQ(fixture.recorder.Count(kMsgSelected), 0);
}

TEST(ListViewTest, ItemGeometryFollowsTheRowHeights)
{
    ListFixture fixture;
    WithLock(fixture.window.Get(), [&] {
        BListView* list = fixture.list;
        float height = list->ItemAt(0)->Height();
        EXPECT_EQ(list->ItemFrame(3).top, 3 * (height + 1));
        EXPECT_EQ(list->ItemFrame(3).bottom, 3 * (height + 1) + height);
        EXPECT_EQ(list->IndexOf(BPoint(5, list->ItemFrame(3).top)), 3);
        EXPECT_EQ(list->IndexOf(BPoint(5, 10000)), -1);
        EXPECT_EQ(list->CurrentSelection(), -1);
    });
}
