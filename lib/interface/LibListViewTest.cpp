#include "LibListView.h"

#include "LibInterfaceTestSupport.h"

#include <ListItem.h>
#include <ScrollView.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgHover = 'hovr';
constexpr uint32 kMsgReordered = 'reor';

// A list that owns its string items and moves them when a drag reorders.
class TypeList : public LibListView {
public:
    TypeList(BRect frame, bool movesItems)
        : LibListView(frame, "install_type")
        , fMovesItems(movesItems)
    {
        for (const char* name : { "Typical", "Minimal", "Full", "Custom", "Extras" })
            AddItem(new BStringItem(name));
    }

    ~TypeList() override
    {
        for (int32 i = CountItems() - 1; i >= 0; i--)
            delete RemoveItem(i);
    }

    void ItemReordered(const int32& from, const int32& to) override
    {
        if (!fMovesItems) {
            LibListView::ItemReordered(from, to);
            return;
        }
        fReorders.push_back({ from, to });
        MoveItem(from, to);
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int32 i = 0; i < CountItems(); i++)
            names.push_back(static_cast<BStringItem*>(ItemAt(i))->Text());
        return names;
    }

    std::vector<std::pair<int32, int32>> fReorders;

private:
    bool fMovesItems;
};

// A recording window with a list of five types at (10, 10), 100 × 120:
// more room than the items take, so that there is empty space below them.
class ListWindow : public RecordingWindow {
public:
    ListWindow(window_look look, window_feel feel, bool movesItems)
        : RecordingWindow(BRect(60, 60, 259, 219), "list")
        , fList(new TypeList(BRect(10, 10, 110, 130), movesItems))
    {
        SetLook(look);
        SetFeel(feel);
        BView* panel = Panel(this);
        panel->AddChild(fList);
        panel->AddChild(new BView(BRect(120, 10, 180, 30), "next", B_FOLLOW_NONE, B_NAVIGABLE));
    }

    TypeList* List() const { return fList; }

private:
    TypeList* fList;
};

class LibListViewTest : public testing::Test {
protected:
    void Open(window_look look = B_TITLED_WINDOW_LOOK, window_feel feel = B_NORMAL_WINDOW_FEEL,
        bool movesItems = true)
    {
        fWindow = std::make_unique<ScopedWindow<ListWindow>>(look, feel, movesItems);
        ASSERT_TRUE((*fWindow).ShowAndSettle());
    }

    ListWindow* Window() const { return fWindow->Get(); }
    TypeList* List() const { return Window()->List(); }

    // The window point in the middle of row `index` of the list.
    BPoint Row(int32 index)
    {
        BPoint where;
        WithLock(Window(), [&] {
            BRect frame = List()->ItemFrame(index);
            BPoint middle(40, (frame.top + frame.bottom) / 2);
            where = Window()->ConvertFromScreen(List()->ConvertToScreen(middle));
        });
        return where;
    }

    void MoveTo(BPoint where, uint32 buttons = 0)
    {
        ASSERT_EQ(Display().InjectMouseMoved(DisplayId(Window()), where, buttons), B_OK);
        ASSERT_TRUE(WaitUntilSettled(Window()));
    }

    std::vector<int32> HoveredItems() const
    {
        std::vector<int32> items;
        for (const BMessage& message : Window()->Messages(kMsgHover))
            items.push_back(message.GetInt32("item", -100));
        return items;
    }

    // Presses on row `from`, drags through the rows to `to` and releases.
    void Drag(int32 from, BPoint to)
    {
        int32 id = DisplayId(Window());
        BPoint start = Row(from);
        ASSERT_EQ(Display().InjectMouseDown(id, start), B_OK);
        ASSERT_EQ(Display().InjectMouseMoved(id, start + BPoint(0, 6)), B_OK);
        ASSERT_EQ(Display().InjectMouseMoved(id, to), B_OK);
        ASSERT_EQ(Display().InjectMouseUp(id, to), B_OK);
        ASSERT_TRUE(WaitUntilSettled(Window()));
    }

    bool Hidden()
    {
        bool hidden = false;
        WithLock(Window(), [&] { hidden = Window()->IsHidden(); });
        return hidden;
    }

    std::unique_ptr<ScopedWindow<ListWindow>> fWindow;
};

} // namespace

TEST_F(LibListViewTest, ReportsEachChangeOfTheItemUnderThePointer)
{
    Open();
    WithLock(Window(), [&] { List()->SetHoverCommand(kMsgHover); });
    MoveTo(Row(1));
    // Entering reports nothing; the moves after it do.
    EXPECT_EQ(HoveredItems(), std::vector<int32>());
    MoveTo(Row(1) + BPoint(5, 1));
    MoveTo(Row(1) + BPoint(9, 2));
    MoveTo(Row(3));
    EXPECT_EQ(HoveredItems(), std::vector<int32>({ 1, 3 }));
    // Empty space below the last item is "no item", reported once.
    BPoint below(Row(4).x, Row(4).y + 40);
    MoveTo(below);
    MoveTo(below + BPoint(0, 10));
    EXPECT_EQ(HoveredItems(), std::vector<int32>({ 1, 3, -1 }));
}

TEST_F(LibListViewTest, ReportsLeavingAndTheItemAgainAfterComingBack)
{
    Open();
    WithLock(Window(), [&] { List()->SetHoverCommand(kMsgHover); });
    MoveTo(Row(2));
    MoveTo(Row(2) + BPoint(3, 0));
    MoveTo(BPoint(150, 100));
    MoveTo(Row(2));
    EXPECT_EQ(HoveredItems(), std::vector<int32>({ 2, -1 }));
    MoveTo(Row(2) + BPoint(3, 0));
    EXPECT_EQ(HoveredItems(), std::vector<int32>({ 2, -1, 2 }));
}

TEST_F(LibListViewTest, ReportsNothingWithoutAHoverCommand)
{
    Open();
    MoveTo(Row(1));
    MoveTo(Row(3));
    MoveTo(BPoint(150, 100));
    EXPECT_TRUE(Window()->Messages(kMsgHover).empty());
}

TEST_F(LibListViewTest, EscapeAndTabDismissAPopUpWindow)
{
    for (const char* key : { "\x1b", "\t" }) {
        Open(B_BORDERED_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL);
        WithLock(Window(), [&] { List()->MakeFocus(true); });
        ASSERT_TRUE(PressKey(Window(), key));
        EXPECT_TRUE(Hidden()) << int(key[0]);
    }
}

TEST_F(LibListViewTest, TabMovesTheFocusOnInAnOrdinaryWindow)
{
    Open();
    WithLock(Window(), [&] { List()->MakeFocus(true); });
    ASSERT_TRUE(PressKey(Window(), "\x1b"));
    ASSERT_TRUE(PressKey(Window(), "\t"));
    EXPECT_FALSE(Hidden());
    WithLock(Window(), [&] { EXPECT_STREQ(Window()->CurrentFocus()->Name(), "next"); });
}

TEST_F(LibListViewTest, ReordersBySelectingAndDragging)
{
    Open();
    WithLock(Window(), [&] {
        List()->AllowReorder(true);
        List()->SetReorderCommand(kMsgReordered);
        List()->Select(0);
    });
    Drag(0, Row(3));
    WithLock(Window(), [&] {
        EXPECT_EQ(List()->fReorders, (std::vector<std::pair<int32, int32>>({ { 0, 3 } })));
        EXPECT_EQ(List()->Names(),
            std::vector<std::string>({ "Minimal", "Full", "Custom", "Typical", "Extras" }));
    });
    EXPECT_EQ(Window()->Count(kMsgReordered), 1);
}

TEST_F(LibListViewTest, ReordersNothingUnlessAllowedAndSelectedAndDroppedOnAnItem)
{
    Open();
    // Not allowed.
    WithLock(Window(), [&] { List()->Select(0); });
    Drag(0, Row(3));
    // The item was not selected before the press.
    WithLock(Window(), [&] {
        List()->AllowReorder(true);
        List()->SetReorderCommand(kMsgReordered);
        List()->Select(4);
    });
    Drag(1, Row(3));
    // Released below the last item, or left of the list.
    WithLock(Window(), [&] { List()->Select(2); });
    Drag(2, BPoint(Row(4).x, Row(4).y + 40));
    WithLock(Window(), [&] { List()->Select(2); });
    Drag(2, BPoint(5, Row(0).y));
    WithLock(Window(), [&] {
        EXPECT_TRUE(List()->fReorders.empty());
        EXPECT_EQ(List()->Names(),
            std::vector<std::string>({ "Typical", "Minimal", "Full", "Custom", "Extras" }));
    });
    EXPECT_EQ(Window()->Count(kMsgReordered), 0);
}

TEST_F(LibListViewTest, TheBaseListAsksToBeInheritedWhenAnItemIsDragged)
{
    Open(B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, false);
    WithLock(Window(), [&] {
        List()->AllowReorder(true);
        List()->Select(1);
    });
    testing::internal::CaptureStderr();
    Drag(1, Row(2));
    std::string output = testing::internal::GetCapturedStderr();
    EXPECT_NE(output.find("ItemReordered needs to be inherited\n"), std::string::npos) << output;
}
