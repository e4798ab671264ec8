#include "LibMenuField.h"
#include "LibMenuButton.h"

#include "LibColors.h"
#include "LibInterfaceTestSupport.h"

#include <MenuItem.h>
#include <Message.h>
#include <StringView.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace brenvik::test;

namespace {

constexpr uint32 kMsgChoice = 'chos';
const BRect kFieldFrame(10, 10, 170, 35);

// A field not in a window, deleted with the test.
std::unique_ptr<LibMenuField> MakeField(bool radio, std::vector<const char*> labels = {})
{
    auto field = std::make_unique<LibMenuField>(kFieldFrame, "field", 0, radio);
    for (const char* label : labels) {
        if (label == nullptr)
            field->AddSeparatorItem();
        else
            field->Add(label, new BMessage(kMsgChoice));
    }
    return field;
}

std::vector<std::string> Labels(const LibMenuField& field)
{
    std::vector<std::string> labels;
    for (int32 i = 0; i < field.CountItems(); i++) {
        BMenuItem* item = field.ItemAt(i);
        labels.push_back(item->IsSeparator() ? "-" : item->Label());
    }
    return labels;
}

} // namespace

TEST(LibMenuFieldTest, MarksTheFirstItemOfARadioField)
{
    auto field = MakeField(true);
    EXPECT_EQ(field->CurrentSelection(), -1);
    EXPECT_STREQ(field->Text(), "");
    field->Add("English", nullptr);
    EXPECT_EQ(field->CurrentSelection(), 0);
    field->Add("Deutsch", nullptr);
    field->Add("Français", nullptr, 0);
    // The mark stays on the item it was given to.
    EXPECT_STREQ(field->Text(), "English");
    EXPECT_EQ(field->CurrentSelection(), 1);
    EXPECT_EQ(Labels(*field), std::vector<std::string>({ "Français", "English", "Deutsch" }));
}

TEST(LibMenuFieldTest, MarksNothingByItselfOutsideRadioMode)
{
    auto field = MakeField(false, { "One", "Two" });
    EXPECT_EQ(field->CurrentSelection(), -1);
    EXPECT_STREQ(field->Text(), "");
    field->SetMarked("Two", true);
    field->ToggleMarked("One");
    EXPECT_TRUE(field->IsMarked("One"));
    EXPECT_TRUE(field->IsMarked("Two"));
    field->ToggleMarked("One");
    EXPECT_FALSE(field->IsMarked("One"));
    EXPECT_FALSE(field->IsMarked("Three"));
}

TEST(LibMenuFieldTest, MovesTheMarkByIndexOrLabel)
{
    auto field = MakeField(true, { "System", "Data", "Stick" });
    field->SetItem(2);
    EXPECT_STREQ(field->Text(), "Stick");
    field->SetText("Data");
    EXPECT_EQ(field->CurrentSelection(), 1);
    EXPECT_FALSE(field->IsMarked("Stick"));
    // Nothing there: the mark stays.
    field->SetText("Network");
    field->SetText(nullptr);
    field->SetItem(7);
    field->SetItem(-1);
    EXPECT_STREQ(field->Text(), "Data");
}

TEST(LibMenuFieldTest, EnablesAndDisablesItems)
{
    auto field = MakeField(true, { "System", "Data", "Stick" });
    field->SetEnableItem("Data", false);
    field->SetEnableItem(2, false);
    EXPECT_TRUE(field->IsItemEnabled(0));
    EXPECT_FALSE(field->IsItemEnabled("Data"));
    EXPECT_FALSE(field->IsItemEnabled(2));
    // No such item.
    EXPECT_FALSE(field->IsItemEnabled(3));
    EXPECT_FALSE(field->IsItemEnabled("Network"));
    field->SetEnableAll(false);
    EXPECT_FALSE(field->IsItemEnabled("System"));
    field->SetEnableAll(true);
    EXPECT_TRUE(field->IsItemEnabled("Stick"));
}

TEST(LibMenuFieldTest, MarksTheFirstEnabledItem)
{
    auto field = MakeField(false, { "A", "B", "C" });
    field->SetMarked("A", true);
    field->SetEnableItem("A", false);
    field->MarkFirstEnabled();
    EXPECT_FALSE(field->IsMarked("A"));
    EXPECT_TRUE(field->IsMarked("B"));
}

TEST(LibMenuFieldTest, RelabelsRemovesAndClears)
{
    auto field = MakeField(true, { "A", nullptr, "B", "C" });
    EXPECT_TRUE(field->Replace("B", "Bee"));
    EXPECT_FALSE(field->Replace("Z", "Zed"));
    EXPECT_TRUE(field->RemoveItem("C"));
    EXPECT_TRUE(field->RemoveItem(int32(1)));
    EXPECT_FALSE(field->RemoveItem("C"));
    EXPECT_FALSE(field->RemoveItem(int32(5)));
    EXPECT_TRUE(field->InMenu("Bee"));
    EXPECT_EQ(Labels(*field), std::vector<std::string>({ "A", "Bee" }));
    field->Clear();
    EXPECT_EQ(field->CountItems(), 0);
    EXPECT_EQ(field->CurrentSelection(), -1);
}

TEST(LibMenuFieldTest, FillsFromAMessageKeepingTheMark)
{
    auto field = MakeField(true, { "Typical", "Full" });
    field->SetText("Full");
    BMessage groups;
    for (const char* name : { "Minimal", "Full", "Custom" })
        groups.AddString("group", name);
    field->SetTo(groups, "group", kMsgChoice);
    EXPECT_EQ(Labels(*field), std::vector<std::string>({ "Minimal", "Full", "Custom" }));
    EXPECT_STREQ(field->Text(), "Full");
    EXPECT_EQ(field->ItemAt(0)->Message()->what, kMsgChoice);

    // Without a field of that name nothing changes; without a command the
    // items have no message; a kept label that is gone leaves the first.
    field->SetTo(BMessage(), "group", kMsgChoice);
    EXPECT_EQ(field->CountItems(), 3);
    BMessage other;
    other.AddString("group", "Only");
    field->SetTo(other, "group", 0);
    EXPECT_EQ(Labels(*field), std::vector<std::string>({ "Only" }));
    EXPECT_STREQ(field->Text(), "Only");
    EXPECT_EQ(field->ItemAt(0)->Message(), nullptr);
}

TEST(LibMenuFieldTest, AddsTheStandardFoldersInGroups)
{
    auto user = MakeField(true);
    user->AddStdFolders(false, kMsgChoice);
    std::vector<std::string> labels = Labels(*user);
    ASSERT_EQ(labels.size(), 5u + 1 + 19 + 1 + 12);
    EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 6),
        std::vector<std::string>(
            { "Desktop", "Trash", "Applications", "Preferences", "Utilities", "-" }));
    EXPECT_EQ(labels[6], "Common");
    EXPECT_EQ(labels[25], "-");
    EXPECT_EQ(labels[26], "User");
    EXPECT_EQ(labels.back(), "User Sounds");
    EXPECT_EQ(user->ItemAt(0)->Message()->what, kMsgChoice);

    auto all = MakeField(true);
    all->AddStdFolders(true, 0);
    labels = Labels(*all);
    ASSERT_EQ(labels.size(), 5u + 1 + 15 + 1 + 19 + 1 + 12);
    EXPECT_EQ(labels[6], "BeOS");
    EXPECT_EQ(labels[20], "BeOS Sounds");
    EXPECT_EQ(labels[21], "-");
    EXPECT_EQ(all->ItemAt(0)->Message(), nullptr);

    EXPECT_TRUE(all->AddStdFolder(B_USER_SETTINGS_DIRECTORY, 0));
    EXPECT_STREQ(all->ItemAt(all->CountItems() - 1)->Label(), "User Settings");
    EXPECT_FALSE(all->AddStdFolder(directory_which(77), 0));
}

namespace {

// A radio field with a separator and a disabled item, focused in a window
// that records the messages of the items.
class LibMenuFieldKeyTest : public testing::Test {
protected:
    void SetUp() override
    {
        fField = MakeField(true, { "First", "Second", nullptr, "Third", "Disabled", "Last" })
                     .release();
        fField->SetEnableItem("Disabled", false);
        Panel(fWindow.Get())->AddChild(fField);
        ASSERT_TRUE(fWindow.ShowAndSettle());
        WithLock(fWindow.Get(), [&] { fField->MakeFocus(true); });
    }

    // Presses the key and answers the label marked afterwards.
    std::string Press(const char* key)
    {
        EXPECT_TRUE(PressKey(fWindow.Get(), key));
        std::string text;
        WithLock(fWindow.Get(), [&] { text = static_cast<const char*>(fField->Text()); });
        return text;
    }

    void Mark(const char* label)
    {
        WithLock(fWindow.Get(), [&] { fField->SetText(label); });
    }

    ScopedWindow<RecordingWindow> fWindow { BRect(50, 50, 249, 99) };
    LibMenuField* fField = nullptr;
};

const char kUp[] = { B_UP_ARROW, 0 };
const char kDown[] = { B_DOWN_ARROW, 0 };
const char kHome[] = { B_HOME, 0 };
const char kEnd[] = { B_END, 0 };

} // namespace

TEST_F(LibMenuFieldKeyTest, ArrowsMoveTheMarkPastSeparatorsAndDisabledItems)
{
    EXPECT_EQ(Press(kDown), "Second");
    EXPECT_EQ(Press(kDown), "Third");
    EXPECT_EQ(Press(kDown), "Last");
    EXPECT_EQ(Press(kUp), "Third");
    EXPECT_EQ(Press(kUp), "Second");
    // Each move sends the newly marked item's message.
    std::vector<BMessage> sent = fWindow->Messages(kMsgChoice);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent.back().GetInt32("index", -1), 1);
}

TEST_F(LibMenuFieldKeyTest, ArrowsWrapAroundAtBothEnds)
{
    Mark("Last");
    EXPECT_EQ(Press(kDown), "First");
    EXPECT_EQ(Press(kUp), "Last");
}

TEST_F(LibMenuFieldKeyTest, HomeAndEndGoToTheEnds)
{
    Mark("Third");
    EXPECT_EQ(Press(kEnd), "Last");
    EXPECT_EQ(Press(kHome), "First");
    // Already there: nothing is sent again.
    EXPECT_EQ(Press(kHome), "First");
    EXPECT_EQ(fWindow->Count(kMsgChoice), 2);
}

TEST_F(LibMenuFieldKeyTest, KeysDoNothingWithoutAMark)
{
    WithLock(fWindow.Get(), [&] { fField->ItemAt(0)->SetMarked(false); });
    EXPECT_EQ(Press(kDown), "");
    EXPECT_EQ(Press(kEnd), "");
    EXPECT_EQ(fWindow->Count(kMsgChoice), 0);
    // Nor does the down arrow open the menu.
    bool open = false;
    WithLock(fWindow.Get(), [&] { open = MenuIsOpen(fWindow.Get()); });
    EXPECT_FALSE(open);
}

TEST(LibMenuButtonTest, IsALabelWithAMenuField)
{
    LibMenuButton button(BPoint(10, 20), "volume", "Disk", 70, 130);
    EXPECT_EQ(button.Frame(), BRect(10, 20, 210, 45));
    EXPECT_STREQ(button.LabelText(), "Disk");
    LibMenuField* field = button.MenuField();
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->Name(), "menu");
    EXPECT_EQ(field->Frame(), BRect(67, 0, 197, 25));
    BView* label = button.FindView("label");
    BView* colon = button.FindView("colon");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(colon, nullptr);
    EXPECT_EQ(label->Frame(), BRect(0, 0, 58, 22));
    EXPECT_EQ(colon->Frame(), BRect(59, 0, 68, 22));
    EXPECT_STREQ(static_cast<BStringView*>(colon)->Text(), ":");

    button.SetLabel("Volume");
    EXPECT_STREQ(button.LabelText(), "Volume");
    LibLabelControl bare(BRect(0, 0, 100, 20), 50, "bare", nullptr, 0, nullptr, B_FOLLOW_NONE);
    EXPECT_STREQ(bare.LabelText(), "");
    EXPECT_EQ(bare.CountChildren(), 0);
}

TEST(LibMenuButtonTest, ForwardsTheMenuOperations)
{
    LibMenuButton button(BPoint(0, 0), "volume", "Disk", 70, 130);
    button.AddItem("System", new BMessage(kMsgChoice));
    button.AddItem(LibString("Data"));
    button.AddSeparatorItem();
    button.AddItem("Stick", nullptr, 1);
    EXPECT_EQ(button.CountItems(), 4);
    EXPECT_STREQ(button.Text(), "System");
    button.SetText(LibString("Data"));
    EXPECT_EQ(button.CurrentSelection(), 2);
    button.SetItem(1);
    EXPECT_STREQ(button.Text(), "Stick");
    button.SetEnableItem("Data", false);
    EXPECT_FALSE(button.IsItemEnabled("Data"));
    EXPECT_FALSE(button.IsItemEnabled(2));
    EXPECT_TRUE(button.ReplaceItem("Stick", "USB"));
    EXPECT_TRUE(button.InMenu("USB"));
    EXPECT_TRUE(button.RemoveItem("USB"));
    EXPECT_EQ(button.CurrentSelection(), -1);
    button.Clear();
    EXPECT_EQ(button.CountItems(), 0);
}

TEST(LibMenuButtonTest, GreysOutItsLabelWhenDisabled)
{
    LibMenuButton button(BPoint(0, 0), "volume", "Disk", 70, 130);
    BView* label = button.FindView("label");
    BView* colon = button.FindView("colon");
    button.SetEnabled(false);
    rgb_color grey = lib_nearest_system_color(dark_grey_color);
    EXPECT_EQ(label->HighColor(), grey);
    EXPECT_EQ(colon->HighColor(), grey);
    EXPECT_FALSE(button.MenuField()->IsEnabled());
    button.SetEnabled(true);
    EXPECT_EQ(label->HighColor(), lib_nearest_system_color(black_color));
    EXPECT_TRUE(button.MenuField()->IsEnabled());
}

TEST(LibMenuButtonTest, PassesTheFocusToItsMenuField)
{
    ScopedWindow<RecordingWindow> window(BRect(50, 50, 299, 99));
    LibMenuButton* button = new LibMenuButton(BPoint(10, 10), "volume", "Disk", 70, 130);
    button->AddItem("System");
    Panel(window.Get())->AddChild(button);
    ASSERT_TRUE(window.ShowAndSettle());
    WithLock(window.Get(), [&] {
        button->MakeFocus(true);
        EXPECT_EQ(window->CurrentFocus(), button->MenuField());
    });
}
