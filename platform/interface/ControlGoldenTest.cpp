// Golden images of each control in each of its states, and of an alert of
// each kind, compared exactly.

#include <Alert.h>
#include <Bitmap.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ListView.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Picture.h>
#include <PictureButton.h>
#include <PopUpMenu.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextView.h>

#include "InterfaceTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace brenvik::test;

namespace {

struct GoldenCase {
    const char* name;
    BRect windowFrame;
    // Builds the views (the window is not shown yet) and returns the view
    // to focus, if any.
    std::function<BView*(BWindow*)> build;
    // Runs once the window is shown and settled, with the window locked.
    std::function<void(BWindow*)> afterShow;
};

std::ostream& operator<<(std::ostream& stream, const GoldenCase& golden)
{
    return stream << golden.name;
}

BView* Panel(BWindow* window)
{
    BView* panel = new BView(window->Bounds(), "panel", B_FOLLOW_ALL, B_WILL_DRAW);
    panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    window->AddChild(panel);
    return panel;
}

BButton* MakeButton(BWindow* window, const char* label = "Install")
{
    BButton* button = new BButton(BRect(10, 10, 105, 30), "button", label, new BMessage('btn '));
    Panel(window)->AddChild(button);
    return button;
}

BCheckBox* MakeCheckBox(BWindow* window)
{
    BCheckBox* box = new BCheckBox(
        BRect(10, 10, 200, 25), "check", "Apply to all future collisions", new BMessage('chk '));
    Panel(window)->AddChild(box);
    return box;
}

BMenuField* MakeMenuField(BWindow* window, bool withLabel = true)
{
    BPopUpMenu* menu = new BPopUpMenu("");
    menu->AddItem(new BMenuItem("English", new BMessage('lang')));
    menu->AddItem(new BMenuItem("Deutsch", new BMessage('lang')));
    menu->AddSeparatorItem();
    menu->AddItem(new BMenuItem("Français", new BMessage('lang')));
    menu->ItemAt(0)->SetMarked(true);
    BMenuField* field
        = new BMenuField(BRect(10, 10, 170, 35), "field", withLabel ? "Disk:" : nullptr, menu);
    field->SetDivider(withLabel ? 70 : 0);
    Panel(window)->AddChild(field);
    return field;
}

BListView* MakeList(BWindow* window)
{
    BListView* list = new OwningListView<>(BRect(10, 10, 120, 80), "list");
    const char* names[] = { "Typical", "Minimal", "Full", "Custom", "Sounds", "Docs", "Extras" };
    for (const char* name : names)
        list->AddItem(new BStringItem(name));
    BScrollView* scroll = new BScrollView(
        "scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER);
    Panel(window)->AddChild(scroll);
    return list;
}

BPicture* SquarePicture(BView* view, rgb_color color)
{
    BPicture* picture = new BPicture;
    view->BeginPicture(picture);
    view->SetHighColor(color);
    view->FillRect(BRect(0, 0, 23, 23));
    view->SetHighColor(0, 0, 0);
    view->StrokeRect(BRect(0, 0, 23, 23));
    view->FillRect(BRect(6, 9, 17, 16));
    return view->EndPicture();
}

const BRect kSmall(50, 50, 229, 59 + 30);

std::vector<GoldenCase> Cases()
{
    std::vector<GoldenCase> cases;
    cases.push_back({ "button-enabled", kSmall,
        [](BWindow* w) {
            MakeButton(w);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "button-default", kSmall,
        [](BWindow* w) {
            w->SetDefaultButton(MakeButton(w));
            return nullptr;
        },
        nullptr });
    cases.push_back({ "button-disabled", kSmall,
        [](BWindow* w) {
            MakeButton(w)->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    cases.push_back(
        { "button-focused", kSmall, [](BWindow* w) -> BView* { return MakeButton(w); }, nullptr });
    cases.push_back({ "button-pressed", kSmall,
        [](BWindow* w) {
            MakeButton(w)->SetValue(B_CONTROL_ON);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "checkbox-off", kSmall,
        [](BWindow* w) {
            MakeCheckBox(w);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "checkbox-on", kSmall,
        [](BWindow* w) {
            MakeCheckBox(w)->SetValue(B_CONTROL_ON);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "checkbox-disabled", kSmall,
        [](BWindow* w) {
            BCheckBox* box = MakeCheckBox(w);
            box->SetValue(B_CONTROL_ON);
            box->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "checkbox-focused", kSmall,
        [](BWindow* w) -> BView* { return MakeCheckBox(w); }, nullptr });
    cases.push_back({ "stringview-aligned", BRect(50, 50, 229, 109),
        [](BWindow* w) {
            BView* panel = Panel(w);
            const alignment kinds[] = { B_ALIGN_LEFT, B_ALIGN_CENTER, B_ALIGN_RIGHT };
            for (int i = 0; i < 3; i++) {
                BStringView* text
                    = new BStringView(BRect(10, 5 + 17 * i, 170, 20 + 17 * i), "text", "0 bytes");
                text->SetAlignment(kinds[i]);
                panel->AddChild(text);
            }
            return nullptr;
        },
        nullptr });
    cases.push_back({ "box-fancy-label", BRect(50, 50, 229, 129),
        [](BWindow* w) {
            BBox* box = new BBox(BRect(10, 5, 170, 75), "box");
            box->SetLabel("Installation");
            Panel(w)->AddChild(box);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "box-plain-and-none", BRect(50, 50, 229, 129),
        [](BWindow* w) {
            BView* panel = Panel(w);
            panel->AddChild(new BBox(BRect(10, 10, 80, 70), "plain", B_FOLLOW_LEFT | B_FOLLOW_TOP,
                B_WILL_DRAW, B_PLAIN_BORDER));
            panel->AddChild(new BBox(BRect(95, 10, 170, 70), "none", B_FOLLOW_LEFT | B_FOLLOW_TOP,
                B_WILL_DRAW, B_NO_BORDER));
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menufield-enabled", kSmall,
        [](BWindow* w) {
            MakeMenuField(w);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menufield-disabled", kSmall,
        [](BWindow* w) {
            MakeMenuField(w)->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menufield-focused", kSmall,
        [](BWindow* w) -> BView* { return MakeMenuField(w, false); }, nullptr });
    cases.push_back({ "menufield-open", BRect(50, 50, 249, 149),
        [](BWindow* w) -> BView* { return MakeMenuField(w); },
        [](BWindow* w) {
            BMenuField* field = static_cast<BMenuField*>(w->FindView("field"));
            field->OpenMenu(true);
        } });
    cases.push_back({ "listview-selected", BRect(50, 50, 199, 149),
        [](BWindow* w) {
            MakeList(w)->Select(1);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "listview-focused", BRect(50, 50, 199, 149),
        [](BWindow* w) -> BView* {
            BListView* list = MakeList(w);
            list->Select(2);
            return list;
        },
        nullptr });
    cases.push_back({ "textview-selection", BRect(50, 50, 249, 149),
        [](BWindow* w) -> BView* {
            BTextView* text = new BTextView(BRect(10, 10, 170, 80), "text", BRect(2, 2, 158, 68),
                B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
            text->SetText("The licence text wraps at word boundaries inside its text "
                          "rectangle and scrolls when it is long.");
            text->Select(4, 11);
            BScrollView* scroll = new BScrollView(
                "scroll", text, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER);
            Panel(w)->AddChild(scroll);
            return text;
        },
        nullptr });
    cases.push_back({ "picturebutton-states", BRect(50, 50, 189, 89),
        [](BWindow* w) {
            BView* panel = Panel(w);
            BPictureButton* buttons[3];
            for (int i = 0; i < 3; i++) {
                buttons[i] = new BPictureButton(BRect(10 + 40 * i, 8, 33 + 40 * i, 31), "pb",
                    nullptr, nullptr, new BMessage('pict'));
                panel->AddChild(buttons[i]);
            }
            BPicture* off = SquarePicture(panel, rgb_color { 232, 232, 232, 255 });
            BPicture* on = SquarePicture(panel, rgb_color { 152, 152, 152, 255 });
            for (BPictureButton* button : buttons) {
                button->SetEnabledOff(off);
                button->SetEnabledOn(on);
            }
            delete off;
            delete on;
            buttons[1]->SetValue(B_CONTROL_ON);
            buttons[2]->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    return cases;
}

class ControlGoldenTest : public testing::TestWithParam<GoldenCase> { };

} // namespace

TEST_P(ControlGoldenTest, LooksAsRecorded)
{
    const GoldenCase& golden = GetParam();
    TestWindow window(golden.windowFrame, golden.name);
    BView* focus = golden.build(window.Get());
    window.Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    // The window must be active for focus marks to show.
    ASSERT_TRUE(WaitUntil([&] { return window->IsActive(); }));
    WithLock(window.Get(), [&] {
        if (focus != nullptr)
            focus->MakeFocus(true);
        if (golden.afterShow)
            golden.afterShow(window.Get());
    });
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    EXPECT_TRUE(MatchesGolden(std::string("interface/") + golden.name, Snapshot(window.Get())));
}

INSTANTIATE_TEST_SUITE_P(Controls, ControlGoldenTest, testing::ValuesIn(Cases()),
    [](const testing::TestParamInfo<GoldenCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (c == '-')
                c = '_';
        }
        return name;
    });

namespace {

struct AlertCase {
    const char* name;
    alert_type type;
    const char* text;
    const char* buttons[3];
    button_width width;
};

std::ostream& operator<<(std::ostream& stream, const AlertCase& alert)
{
    return stream << alert.name;
}

class AlertGoldenTest : public testing::TestWithParam<AlertCase> { };

} // namespace

TEST_P(AlertGoldenTest, LooksAsRecorded)
{
    const AlertCase& golden = GetParam();
    BAlert* alert = new BAlert("", golden.text, golden.buttons[0], golden.buttons[1],
        golden.buttons[2], golden.width, golden.type);
    BMessenger messenger(alert);
    alert->Go(nullptr);
    ASSERT_TRUE(WaitUntil([&] { return alert->IsActive(); }));
    ASSERT_TRUE(WaitUntilSettled(alert));
    EXPECT_TRUE(MatchesGolden(std::string("interface/alert-") + golden.name, Snapshot(alert)));
    if (messenger.LockTarget())
        alert->Quit();
}

INSTANTIATE_TEST_SUITE_P(Alerts, AlertGoldenTest,
    testing::Values(AlertCase { "info", B_INFO_ALERT, "The installation is complete.",
                        { "OK", nullptr, nullptr }, B_WIDTH_AS_USUAL },
        AlertCase { "idea", B_IDEA_ALERT,
            "You can choose another destination folder with the folder button.",
            { "OK", nullptr, nullptr }, B_WIDTH_AS_USUAL },
        AlertCase { "warning", B_WARNING_ALERT,
            "The file 'ReadMe' already exists. Do you wish to replace it?",
            { "Don't Replace", "Replace", nullptr }, B_WIDTH_FROM_WIDEST },
        AlertCase { "stop", B_STOP_ALERT,
            "There is not enough free space on the disk to install the selected files.",
            { "Cancel", "Retry", "Continue" }, B_WIDTH_AS_USUAL },
        AlertCase { "empty", B_EMPTY_ALERT, "No icon, one line.", { "OK", nullptr, nullptr },
            B_WIDTH_AS_USUAL }),
    [](const testing::TestParamInfo<AlertCase>& param) { return std::string(param.param.name); });
