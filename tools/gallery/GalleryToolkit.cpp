#include "GalleryToolkit.h"

#include <Box.h>
#include <ListItem.h>
#include <Message.h>
#include <Screen.h>
#include <ScrollView.h>
#include <View.h>

#include <LibListView.h>
#include <LibMenuButton.h>
#include <LibMenuField.h>
#include <LibPictureButton.h>
#include <LibRect.h>
#include <LibStringView.h>
#include <LibTipManager.h>

#include <vector>

namespace brenvik::gallery {

BBox* LabelledBox(BRect frame, const char* name, const char* label)
{
    BBox* box = new BBox(frame, name);
    box->SetLabel(label);
    return box;
}

namespace {

constexpr uint32 kMsgToolkitIgnored = 'gal_';

// 24 × 24 pixels of a folder on a button face: raised, pressed in by a
// pixel, or greyed out.
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
            if (tab || body) {
                bool border = (tab && (fy == 5 || fx == 4 || fx == 10))
                    || (body && (fy == 7 || fy == 18 || fx == 4 || fx == 19));
                pixel = border ? outline : paper;
            }
        }
    }
    return pixels;
}

// A list of install types that owns its items and moves them when dragged.
class TypeList : public LibListView {
public:
    explicit TypeList(BRect frame)
        : LibListView(frame, "toolkit_types")
    {
        for (const char* name : { "Typical", "Minimal", "Full", "Custom", "Extras", "Sources" })
            AddItem(new BStringItem(name));
        SetHoverCommand(kMsgToolkitHover);
        AllowReorder(true);
    }

    ~TypeList() override
    {
        for (int32 i = CountItems() - 1; i >= 0; i--)
            delete RemoveItem(i);
    }

    void ItemReordered(const int32& from, const int32& to) override
    {
        MoveItem(from, to);
        Select(to);
    }
};

BView* BuildMenuButtons(BRect frame)
{
    BBox* box = LabelledBox(frame, "toolkit_menus", "Menu buttons");
    LibMenuButton* disk = new LibMenuButton(BPoint(12, 22), "toolkit_disk", "Disk", 70, 130);
    for (const char* name : { "System", "Data" })
        disk->AddItem(name, new BMessage(kMsgToolkitIgnored));
    disk->AddSeparatorItem();
    disk->AddItem("Network", new BMessage(kMsgToolkitIgnored));
    disk->SetEnableItem("Network", false);
    LibMenuButton* off = new LibMenuButton(BPoint(12, 50), "toolkit_off", "Disk", 70, 130);
    off->AddItem("Data", new BMessage(kMsgToolkitIgnored));
    off->SetEnabled(false);
    // The installer's language menu: a small pop-up in a smaller font.
    LibMenuField* language
        = new LibMenuField(LibRect(12, 80, 20, 20), "toolkit_language", 10, true);
    for (const char* name : { "English", "Deutsch", "Français" })
        language->Add(name, new BMessage(kMsgToolkitIgnored));
    LibStringView* caption
        = new LibStringView(LibRect(40, 82, 160, 15), "toolkit_language_text", "Language menu");
    box->AddChild(disk);
    box->AddChild(off);
    box->AddChild(language);
    box->AddChild(caption);
    return box;
}

BView* BuildPath(BRect frame)
{
    BBox* box = LabelledBox(frame, "toolkit_path", "Path cut to its view");
    LibStringView* path
        = new LibStringView(LibRect(12, 22, frame.Width() - 24, 15), "toolkit_destination", "");
    path->SetTruncatedText("/home/anna/Applications/Graphics/Illustration/Sketchbook 2.1/Brushes");
    box->AddChild(path);
    return box;
}

BView* BuildPictureButtons(BRect frame)
{
    BBox* box = LabelledBox(frame, "toolkit_pictures", "Picture buttons, tool tip");
    static const std::vector<uint8> normal = FolderPixels(false, false);
    static const std::vector<uint8> pressed = FolderPixels(true, false);
    static const std::vector<uint8> disabled = FolderPixels(false, true);
    const char* names[] = { "toolkit_folder", "toolkit_folder_on", "toolkit_folder_off" };
    for (int i = 0; i < 3; i++) {
        LibPictureButton* button = new LibPictureButton(BPoint(24 + 64 * float(i), 26), 24, 24,
            names[i], normal.data(), pressed.data(), kMsgToolkitIgnored, disabled.data());
        button->AddTip(LibTipManager::kMsgTipRequest, "Change destination folder");
        if (i == 1)
            button->SetValue(B_CONTROL_ON);
        if (i == 2)
            button->SetEnabled(false);
        box->AddChild(button);
    }
    return box;
}

BView* BuildList(BRect frame)
{
    BBox* box = LabelledBox(frame, "toolkit_list", "List: hover, drag to reorder");
    TypeList* list = new TypeList(LibRect(14, 24, 90, frame.Height() - 54));
    list->Select(0);
    box->AddChild(new BScrollView("toolkit_types_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
        false, true, B_FANCY_BORDER));
    box->AddChild(new LibStringView(LibRect(14, frame.Height() - 20, frame.Width() - 28, 15),
        "toolkit_hover", "Pointer over: none"));
    return box;
}

} // namespace

BView* BuildToolkit(BRect frame)
{
    BView* column = new BView(frame, "toolkit", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    column->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    float width = frame.Width();
    column->AddChild(BuildMenuButtons(BRect(0, 0, width, 108)));
    column->AddChild(BuildPath(BRect(0, 116, width, 160)));
    column->AddChild(BuildPictureButtons(BRect(0, 168, width, 236)));
    column->AddChild(BuildList(BRect(0, 244, width, frame.Height())));
    return column;
}

void HandleToolkitHover(BView* toolkit, int32 item)
{
    if (toolkit == nullptr)
        return;
    LibListView* list = dynamic_cast<LibListView*>(toolkit->FindView("toolkit_types"));
    LibStringView* hover = dynamic_cast<LibStringView*>(toolkit->FindView("toolkit_hover"));
    if (list == nullptr || hover == nullptr)
        return;
    BStringItem* over = dynamic_cast<BStringItem*>(list->ItemAt(item));
    std::string text = std::string("Pointer over: ") + (over != nullptr ? over->Text() : "none");
    hover->SetText(text.c_str());
}

} // namespace brenvik::gallery
