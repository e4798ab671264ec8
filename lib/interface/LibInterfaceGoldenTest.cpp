// Golden images of the toolkit's controls in each of their states, compared
// exactly.

#include "LibBitmap.h"
#include "LibInterfaceTestSupport.h"
#include "LibListView.h"
#include "LibMenuButton.h"
#include "LibPictureButton.h"
#include "LibRect.h"
#include "LibStringView.h"
#include "LibTipString.h"
#include "LibTipWin.h"

#include <Mime.h>
#include <MimeType.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Screen.h>
#include <ScrollView.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// #pragma mark - icons

// A 32 × 32 icon in the storage form: a diamond of one colour index on the
// transparent index, shrunk to 16 × 16 for the mini size.
std::vector<uint8> DiamondIcon(icon_size size, uint8 index)
{
    int32 side = int32(size);
    std::vector<uint8> bits(IconBytes(size), B_TRANSPARENT_MAGIC_CMAP8);
    for (int32 y = 0; y < side; y++) {
        for (int32 x = 0; x < side; x++) {
            int32 distance = std::abs(2 * x + 1 - side) + std::abs(2 * y + 1 - side);
            if (distance < side)
                bits[y * side + x] = distance > side - 4 ? 0 : index;
        }
    }
    return bits;
}

// The files whose icons the icon view shows, made once: a folder, a plain
// document, a program, a link, a file of a type that has an icon, and a file
// with an icon of its own.
const std::vector<std::string>& IconFiles()
{
    static std::vector<std::string> paths = [] {
        std::string folder = MakeTempFolder("icon-files");
        std::vector<std::string> made;
        std::string sub = folder + "/folder";
        mkdir(sub.c_str(), 0755);
        made.push_back(sub);
        auto file = [&](const char* leaf, const char* type) {
            std::string path = folder + "/" + leaf;
            std::ofstream(path) << leaf;
            if (type != nullptr) {
                BNode node(path.c_str());
                BNodeInfo(&node).SetType(type);
            }
            made.push_back(path);
            return path;
        };
        file("document", "text/plain");
        file("program", B_APP_MIME_TYPE);
        std::string link = folder + "/link";
        symlink("document", link.c_str());
        made.push_back(link);
        BScreen screen;
        uint8 red = screen.IndexForColor(224, 32, 32);
        uint8 green = screen.IndexForColor(32, 160, 32);
        BMimeType type("application/x-vnd.brenvik-golden-typed");
        type.Install();
        type.SetIconData(B_LARGE_ICON, DiamondIcon(B_LARGE_ICON, red).data());
        type.SetIconData(B_MINI_ICON, DiamondIcon(B_MINI_ICON, red).data());
        file("typed", type.Type());
        std::string own = file("own", "text/plain");
        BNode node(own.c_str());
        BNodeInfo info(&node);
        info.SetIconData(B_LARGE_ICON, DiamondIcon(B_LARGE_ICON, green).data());
        info.SetIconData(B_MINI_ICON, DiamondIcon(B_MINI_ICON, green).data());
        return made;
    }();
    return paths;
}

// Draws the mini and the large icon of each file in a row.
class IconView : public BView {
public:
    explicit IconView(BRect frame)
        : BView(frame, "icons", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
    {
        for (const std::string& path : IconFiles()) {
            auto mini = std::make_unique<LibBitmap>(BRect(0, 0, 15, 15), B_CMAP8);
            auto large = std::make_unique<LibBitmap>(BRect(0, 0, 31, 31), B_CMAP8);
            mini->SetTo(path.c_str(), B_MINI_ICON);
            large->SetTo(path.c_str(), B_LARGE_ICON);
            fMini.push_back(std::move(mini));
            fLarge.push_back(std::move(large));
        }
    }

    void AttachedToWindow() override
    {
        SetViewColor(Parent()->ViewColor());
        SetLowColor(ViewColor());
    }

    void Draw(BRect) override
    {
        SetDrawingMode(B_OP_OVER);
        for (size_t i = 0; i < fMini.size(); i++) {
            float left = 8 + 40 * float(i);
            DrawBitmap(fMini[i].get(), BPoint(left + 8, 4));
            DrawBitmap(fLarge[i].get(), BPoint(left, 26));
        }
    }

private:
    std::vector<std::unique_ptr<LibBitmap>> fMini;
    std::vector<std::unique_ptr<LibBitmap>> fLarge;
};

// #pragma mark - menus

// The installer's volume menu as it looks with a few disks: the label part
// 70 wide, the menu part 130.
LibMenuButton* MakeMenuButton(BWindow* window)
{
    LibMenuButton* button = new LibMenuButton(BPoint(10, 8), "volume", "Disk", 70, 130);
    button->AddItem("System", new BMessage('volm'));
    button->AddItem("Data", new BMessage('volm'));
    button->AddSeparatorItem();
    button->AddItem("Network", new BMessage('volm'));
    button->SetEnableItem("Network", false);
    Panel(window)->AddChild(button);
    return button;
}

// The installer's language menu: a pop-up 20 pixels wide in a smaller font,
// showing the marked item.
LibMenuField* MakeLanguageField(BWindow* window)
{
    LibMenuField* field = new LibMenuField(LibRect(10, 10, 20, 20), "options", 10, true);
    for (const char* language : { "English", "Deutsch", "Français", "Italiano" })
        field->Add(language, new BMessage('lang'));
    Panel(window)->AddChild(field);
    return field;
}

void AddMenuCases(std::vector<GoldenCase>& cases)
{
    const BRect frame(50, 50, 269, 89);
    cases.push_back({ "menubutton-enabled", frame,
        [](BWindow* w) {
            MakeMenuButton(w);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menubutton-disabled", frame,
        [](BWindow* w) {
            MakeMenuButton(w)->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menubutton-focused", frame,
        [](BWindow* w) -> BView* { return MakeMenuButton(w); }, nullptr });
    cases.push_back({ "menubutton-open", BRect(50, 50, 269, 149),
        [](BWindow* w) -> BView* { return MakeMenuButton(w); },
        [](BWindow* w) {
            LibMenuButton* button = static_cast<LibMenuButton*>(w->FindView("volume"));
            button->MenuField()->OpenMenu(true);
        } });
    cases.push_back({ "menufield-language", BRect(50, 50, 149, 89),
        [](BWindow* w) {
            MakeLanguageField(w)->SetItem(1);
            return nullptr;
        },
        nullptr });
    cases.push_back({ "menufield-language-open", BRect(50, 50, 149, 129),
        [](BWindow* w) -> BView* { return MakeLanguageField(w); },
        [](BWindow* w) { static_cast<LibMenuField*>(w->FindView("options"))->OpenMenu(true); } });
}

// #pragma mark - string views

void AddStringViewCases(std::vector<GoldenCase>& cases)
{
    // The installer's destination line: 240 wide, cut at the beginning.
    cases.push_back({ "stringview-truncated", BRect(50, 50, 309, 99),
        [](BWindow* w) {
            BView* panel = Panel(w);
            LibStringView* shortPath = new LibStringView(LibRect(10, 8, 240, 15), "short", "");
            shortPath->SetTruncatedText("/home/anna/Applications/Sketchbook");
            LibStringView* longPath = new LibStringView(LibRect(10, 28, 240, 15), "long", "");
            longPath->SetTruncatedText("/home/anna/Applications/Graphics/Illustration/"
                                       "Sketchbook 2.1/Extras/Brushes");
            panel->AddChild(shortPath);
            panel->AddChild(longPath);
            return nullptr;
        },
        nullptr });
}

// #pragma mark - list views

void AddListViewCases(std::vector<GoldenCase>& cases)
{
    // The installer's list of install types: 70 wide in a scroll view.
    cases.push_back({ "listview-types", BRect(50, 50, 169, 179),
        [](BWindow* w) -> BView* {
            LibListView* list
                = new OwningListView<LibListView>(LibRect(10, 10, 70, 107), "install_type");
            for (const char* name : { "Typical", "Minimal", "Full", "Custom", "Sounds", "Fonts",
                     "Extras", "Samples", "Sources" })
                list->AddItem(new BStringItem(name));
            list->Select(1);
            Panel(w)->AddChild(new BScrollView("install_type_scroll", list,
                B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER));
            return list;
        },
        nullptr });
}

// #pragma mark - picture buttons

// 24 × 24 pixels of a folder on a button face, as the installer's folder
// button holds them: light and raised, darker and pressed in by a pixel, or
// greyed out.
std::vector<uint8> FolderPixels(bool pressed, bool disabled)
{
    BScreen screen;
    uint8 face
        = pressed ? screen.IndexForColor(184, 184, 184) : screen.IndexForColor(232, 232, 232);
    uint8 outline = disabled ? screen.IndexForColor(152, 152, 152) : screen.IndexForColor(0, 0, 0);
    uint8 paper
        = disabled ? screen.IndexForColor(216, 216, 216) : screen.IndexForColor(255, 204, 0);
    uint8 edge = screen.IndexForColor(96, 96, 96);
    std::vector<uint8> pixels(24 * 24, face);
    int offset = pressed ? 1 : 0;
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            uint8& pixel = pixels[size_t(y) * 24 + size_t(x)];
            if (x == 0 || y == 0 || x == 23 || y == 23) {
                pixel = edge;
                continue;
            }
            int fx = x - offset;
            int fy = y - offset;
            bool tab = fy >= 5 && fy <= 7 && fx >= 4 && fx <= 10;
            bool body = fy >= 7 && fy <= 18 && fx >= 4 && fx <= 19;
            if (!tab && !body)
                continue;
            bool border = (tab && (fy == 5 || fx == 4 || fx == 10))
                || (body && (fy == 7 || fy == 18 || fx == 4 || fx == 19));
            pixel = border ? outline : paper;
        }
    }
    return pixels;
}

void AddPictureButtonCases(std::vector<GoldenCase>& cases)
{
    cases.push_back({ "picturebutton-folder", BRect(50, 50, 169, 93),
        [](BWindow* w) {
            static const std::vector<uint8> normal = FolderPixels(false, false);
            static const std::vector<uint8> pressed = FolderPixels(true, false);
            static const std::vector<uint8> disabled = FolderPixels(false, true);
            BView* panel = Panel(w);
            LibPictureButton* buttons[3];
            for (int i = 0; i < 3; i++) {
                buttons[i] = new LibPictureButton(BPoint(10 + 40 * float(i), 10), 24, 24, "folder",
                    normal.data(), pressed.data(), 2003, disabled.data());
                panel->AddChild(buttons[i]);
            }
            buttons[1]->SetValue(B_CONTROL_ON);
            buttons[2]->SetEnabled(false);
            return nullptr;
        },
        nullptr });
    // The faces a button draws itself, without a bitmap resource.
    cases.push_back({ "picturebutton-faces", BRect(50, 50, 169, 93),
        [](BWindow* w) {
            BView* panel = Panel(w);
            LibPictureButton* buttons[3];
            for (int i = 0; i < 3; i++) {
                buttons[i] = new LibPictureButton(
                    BPoint(10 + 40 * float(i), 10), 24, 24, "face", "no such bitmap", 2003);
                panel->AddChild(buttons[i]);
            }
            buttons[1]->SetValue(B_CONTROL_ON);
            buttons[2]->SetEnabled(false);
            return nullptr;
        },
        nullptr });
}

std::vector<GoldenCase> Cases()
{
    std::vector<GoldenCase> cases;
    AddMenuCases(cases);
    AddStringViewCases(cases);
    AddListViewCases(cases);
    AddPictureButtonCases(cases);
    cases.push_back({ "bitmap-icons", BRect(50, 50, 299, 115),
        [](BWindow* w) {
            Panel(w)->AddChild(new IconView(BRect(0, 0, 249, 65)));
            return nullptr;
        },
        nullptr });
    return cases;
}

class LibInterfaceGoldenTest : public testing::TestWithParam<GoldenCase> { };

} // namespace

TEST_P(LibInterfaceGoldenTest, LooksAsRecorded)
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
    EXPECT_TRUE(MatchesGolden(std::string("toolkit/") + golden.name, Snapshot(window.Get())));
}

INSTANTIATE_TEST_SUITE_P(Controls, LibInterfaceGoldenTest, testing::ValuesIn(Cases()),
    [](const testing::TestParamInfo<GoldenCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (c == '-')
                c = '_';
        }
        return name;
    });

namespace {

struct TipCase {
    const char* name;
    const char* text;
    int32 width;
};

std::ostream& operator<<(std::ostream& stream, const TipCase& tip)
{
    return stream << tip.name;
}

class LibTipWinGoldenTest : public testing::TestWithParam<TipCase> { };

} // namespace

TEST_P(LibTipWinGoldenTest, LooksAsRecorded)
{
    const TipCase& tip = GetParam();
    ScopedWindow<LibTipWin> window;
    window->SetText(tip.text, tip.width);
    WithLock(window.Get(), [&] { window->MoveTo(BPoint(60, 60)); });
    window->Show();
    ASSERT_TRUE(WaitUntilSettled(window.Get()));
    EXPECT_TRUE(MatchesGolden(std::string("toolkit/") + tip.name, Snapshot(window.Get())));
}

INSTANTIATE_TEST_SUITE_P(Tips, LibTipWinGoldenTest,
    testing::Values(TipCase { "tip-line", "Change destination folder", 0 },
        TipCase { "tip-wrapped",
            "Typical: the application, its documentation and the sample files.", 160 }),
    [](const testing::TestParamInfo<TipCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            if (c == '-')
                c = '_';
        }
        return name;
    });
