#include "GalleryWindow.h"

#include "GalleryInstaller.h"
#include "GalleryToolkit.h"

#include <Alert.h>
#include <Application.h>
#include <Bitmap.h>
#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <FilePanel.h>
#include <ListView.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Picture.h>
#include <PictureButton.h>
#include <PopUpMenu.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextView.h>

namespace brenvik::gallery {

namespace {

enum : uint32 {
    kMsgInfoAlert = 'gali',
    kMsgIdeaAlert = 'gald',
    kMsgWarningAlert = 'galw',
    kMsgStopAlert = 'gals',
    kMsgEmptyAlert = 'gale',
    kMsgPopUp = 'galp',
    kMsgFolderPanel = 'galf',
    kMsgIgnored = 'gal_',
};

constexpr float kColumnWidth = 200;
constexpr float kGap = 10;

// The left edge of column 0, 1 or 2.
float ColumnLeft(int column)
{
    return kGap + column * (kColumnWidth + kGap);
}

BRect ColumnFrame(int column, float top, float bottom)
{
    float left = ColumnLeft(column);
    return BRect(left, top, left + kColumnWidth - 1, bottom);
}

BPicture* RecordPicture(BView* view, rgb_color fill, rgb_color mark, bool pressed)
{
    BPicture* picture = new BPicture;
    view->BeginPicture(picture);
    view->SetHighColor(fill);
    view->FillRect(BRect(0, 0, 23, 23));
    view->SetHighColor(0, 0, 0);
    view->StrokeRect(BRect(0, 0, 23, 23));
    // A small triangle, moved down and right a pixel when pressed.
    float offset = pressed ? 1 : 0;
    view->SetHighColor(mark);
    view->FillTriangle(BPoint(8 + offset, 6 + offset), BPoint(8 + offset, 17 + offset),
        BPoint(17 + offset, 11.5f + offset));
    return view->EndPicture();
}

// Shows two bitmaps side by side: every colour of the system palette in an
// 8-bit bitmap, and a 32-bit colour ramp.
class BitmapView : public BView {
public:
    explicit BitmapView(BRect frame)
        : BView(frame, "bitmaps", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
        , fPalette(BRect(0, 0, 63, 63), B_CMAP8)
        , fRamp(BRect(0, 0, 63, 63), B_RGB32)
    {
        // 16 × 16 cells of 4 × 4 pixels, one for each palette index.
        uint8* bits = static_cast<uint8*>(fPalette.Bits());
        for (int y = 0; y < 64; y++) {
            for (int x = 0; x < 64; x++)
                bits[y * fPalette.BytesPerRow() + x] = uint8((y / 4) * 16 + x / 4);
        }
        // Red across, green down, blue falling along the diagonal; B_RGB32
        // keeps blue, green, red, alpha in memory order.
        uint8* ramp = static_cast<uint8*>(fRamp.Bits());
        for (int y = 0; y < 64; y++) {
            for (int x = 0; x < 64; x++) {
                uint8* pixel = ramp + y * fRamp.BytesPerRow() + x * 4;
                pixel[0] = uint8(255 - (x + y) * 2);
                pixel[1] = uint8(y * 4);
                pixel[2] = uint8(x * 4);
                pixel[3] = 255;
            }
        }
    }

    void AttachedToWindow() override
    {
        BView::AttachedToWindow();
        if (Parent() != nullptr)
            SetViewColor(Parent()->ViewColor());
        SetLowColor(ViewColor());
    }

    void Draw(BRect) override
    {
        DrawBitmap(&fPalette, BPoint(0, 0));
        DrawBitmap(&fRamp, BPoint(84, 0));
        SetHighColor(0, 0, 0);
        DrawString("8-bit", BPoint(16, 78));
        DrawString("32-bit", BPoint(97, 78));
    }

private:
    BBitmap fPalette;
    BBitmap fRamp;
};

} // namespace

GalleryWindow::GalleryWindow()
    : BWindow(BRect(40, 40, 40 + kWidth - 1, 40 + kHeight - 1), "Brenvik Gallery", B_TITLED_WINDOW,
        B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_ASYNCHRONOUS_CONTROLS)
{
    BuildViews();
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::BuildViews()
{
    fPanel = new BView(Bounds(), "gallery", B_FOLLOW_ALL, B_WILL_DRAW);
    fPanel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    AddChild(fPanel);

    fPanel->AddChild(BuildButtons(ColumnFrame(0, 6, 110)));
    fPanel->AddChild(BuildCheckBoxes(ColumnFrame(0, 118, 224)));
    fPanel->AddChild(BuildStringViews(ColumnFrame(0, 232, 316)));
    fPanel->AddChild(BuildViewLabelBox(ColumnFrame(0, 324, 406)));

    fPanel->AddChild(BuildBoxes(ColumnFrame(1, 6, 110)));
    fPanel->AddChild(BuildTextView(ColumnFrame(1, 118, 260)));
    fPanel->AddChild(BuildListView(ColumnFrame(1, 268, 406)));

    fPanel->AddChild(BuildMenuFields(ColumnFrame(2, 6, 86)));
    fPanel->AddChild(BuildPopUps(ColumnFrame(2, 94, 176)));
    fPanel->AddChild(BuildBitmaps(ColumnFrame(2, 184, 296)));
    fPanel->AddChild(BuildPictureButtons(ColumnFrame(2, 304, 406)));

    // The installer's toolkit, in a wider column of its own.
    fPanel->AddChild(BuildToolkit(BRect(ColumnLeft(3), 6, kWidth - kGap - 1, 406)));

    // The installer's own views, in a row below.
    BView* installer = BuildInstallerViews(BRect(kGap, 414, kWidth - kGap - 1, 646));
    fPanel->AddChild(installer);
    FillInstallerViews(installer);

    fPanel->AddChild(BuildTryButtons(BRect(kGap, 654, kWidth - kGap - 1, kHeight - 8)));
}

BView* GalleryWindow::BuildButtons(BRect frame)
{
    BBox* box = LabelledBox(frame, "buttons", "Buttons");
    BButton* enabled
        = new BButton(BRect(12, 24, 92, 48), "enabled", "Enabled", new BMessage(kMsgIgnored));
    BButton* standard
        = new BButton(BRect(106, 24, 186, 48), "default", "Default", new BMessage(kMsgIgnored));
    BButton* disabled
        = new BButton(BRect(12, 64, 92, 88), "disabled", "Disabled", new BMessage(kMsgIgnored));
    disabled->SetEnabled(false);
    // A button whose value is on is drawn pressed.
    BButton* pressed
        = new BButton(BRect(106, 64, 186, 88), "pressed", "Pressed", new BMessage(kMsgIgnored));
    pressed->SetValue(B_CONTROL_ON);
    box->AddChild(enabled);
    box->AddChild(standard);
    box->AddChild(disabled);
    box->AddChild(pressed);
    SetDefaultButton(standard);
    return box;
}

BView* GalleryWindow::BuildCheckBoxes(BRect frame)
{
    BBox* box = LabelledBox(frame, "check_boxes", "Check boxes");
    struct State {
        const char* label;
        bool on;
        bool enabled;
    };
    const State states[] = {
        { "Off", false, true },
        { "On", true, true },
        { "Disabled, off", false, false },
        { "Disabled, on", true, false },
    };
    float top = 22;
    for (const State& state : states) {
        BCheckBox* check = new BCheckBox(
            BRect(12, top, 186, top + 17), state.label, state.label, new BMessage(kMsgIgnored));
        check->SetValue(state.on ? B_CONTROL_ON : B_CONTROL_OFF);
        check->SetEnabled(state.enabled);
        box->AddChild(check);
        top += 20;
    }
    return box;
}

BView* GalleryWindow::BuildStringViews(BRect frame)
{
    BBox* box = LabelledBox(frame, "string_views", "String views");
    struct Line {
        const char* text;
        alignment align;
    };
    const Line lines[] = {
        { "Aligned left", B_ALIGN_LEFT },
        { "Centred", B_ALIGN_CENTER },
        { "Aligned right", B_ALIGN_RIGHT },
    };
    float top = 22;
    for (const Line& line : lines) {
        BStringView* text = new BStringView(BRect(12, top, 186, top + 15), line.text, line.text);
        text->SetAlignment(line.align);
        box->AddChild(text);
        top += 18;
    }
    return box;
}

BView* GalleryWindow::BuildPictureButtons(BRect frame)
{
    BBox* box = LabelledBox(frame, "picture_buttons", "Picture buttons");
    const char* captions[] = { "Off", "On", "Disabled" };
    BPictureButton* buttons[3];
    for (int i = 0; i < 3; i++) {
        float left = 20 + 60 * i;
        buttons[i] = new BPictureButton(BRect(left, 32, left + 23, 55), captions[i], nullptr,
            nullptr, new BMessage(kMsgIgnored), B_TWO_STATE_BUTTON);
        box->AddChild(buttons[i]);
        BStringView* caption
            = new BStringView(BRect(left - 16, 62, left + 39, 77), "caption", captions[i]);
        caption->SetAlignment(B_ALIGN_CENTER);
        box->AddChild(caption);
    }
    // The pictures are recorded in a view that is already in the window
    // (the box is not yet), then copied by each button.
    const rgb_color light = { 232, 232, 232, 255 };
    const rgb_color blue = { 40, 72, 152, 255 };
    const rgb_color white = { 255, 255, 255, 255 };
    const rgb_color grey = { 176, 176, 176, 255 };
    std::unique_ptr<BPicture> off(RecordPicture(fPanel, light, blue, false));
    std::unique_ptr<BPicture> on(
        RecordPicture(fPanel, rgb_color { 96, 128, 200, 255 }, white, true));
    std::unique_ptr<BPicture> disabledOff(RecordPicture(fPanel, light, grey, false));
    std::unique_ptr<BPicture> disabledOn(RecordPicture(fPanel, grey, light, true));
    for (BPictureButton* button : buttons) {
        button->SetEnabledOff(off.get());
        button->SetEnabledOn(on.get());
        button->SetDisabledOff(disabledOff.get());
        button->SetDisabledOn(disabledOn.get());
    }
    buttons[1]->SetValue(B_CONTROL_ON);
    buttons[2]->SetEnabled(false);
    return box;
}

BView* GalleryWindow::BuildBoxes(BRect frame)
{
    BBox* box = LabelledBox(frame, "boxes", "Boxes");
    struct Kind {
        const char* label;
        border_style border;
    };
    const Kind kinds[] = {
        { "Plain", B_PLAIN_BORDER },
        { "Fancy", B_FANCY_BORDER },
        { "None", B_NO_BORDER },
    };
    float left = 12;
    for (const Kind& kind : kinds) {
        BBox* inner = new BBox(BRect(left, 24, left + 51, 92), kind.label,
            B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW, kind.border);
        inner->SetLabel(kind.label);
        box->AddChild(inner);
        left += 59;
    }
    return box;
}

BView* GalleryWindow::BuildTextView(BRect frame)
{
    BBox* box = LabelledBox(frame, "text_views", "Text view");
    BRect textFrame(14, 24, 184 - B_V_SCROLL_BAR_WIDTH, frame.Height() - 14);
    BRect textRect = textFrame.OffsetToCopy(0, 0).InsetByCopy(3, 3);
    BTextView* text = new BTextView(
        textFrame, "text", textRect, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
    text->SetWordWrap(true);
    text->MakeEditable(true);
    text->SetText("Editable text wraps at word boundaries inside its text rectangle, and the "
                  "scroll bar beside it follows the text when it grows longer than the view.");
    text->Select(9, 19);
    box->AddChild(new BScrollView(
        "text_scroll", text, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER));
    return box;
}

BView* GalleryWindow::BuildListView(BRect frame)
{
    BBox* box = LabelledBox(frame, "list_views", "List view");
    BRect listFrame(14, 24, 184 - B_V_SCROLL_BAR_WIDTH, frame.Height() - 14);
    BListView* list = new BListView(listFrame, "list", B_MULTIPLE_SELECTION_LIST);
    const char* names[]
        = { "Typical", "Minimal", "Full", "Custom", "Sounds", "Documentation", "Extras", "Fonts" };
    for (const char* name : names)
        list->AddItem(new BStringItem(name));
    list->Select(1);
    list->Select(3, true);
    box->AddChild(new BScrollView(
        "list_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true, B_FANCY_BORDER));
    return box;
}

BView* GalleryWindow::BuildMenuFields(BRect frame)
{
    BBox* box = LabelledBox(frame, "menu_fields", "Menu fields");
    auto makeMenu = [](const char* const* labels, int count, int marked) {
        BPopUpMenu* menu = new BPopUpMenu("");
        for (int i = 0; i < count; i++) {
            if (labels[i] == nullptr)
                menu->AddSeparatorItem();
            else
                menu->AddItem(new BMenuItem(labels[i], new BMessage(kMsgIgnored)));
        }
        menu->ItemAt(marked)->SetMarked(true);
        return menu;
    };
    const char* languages[] = { "English", "Deutsch", nullptr, "Français" };
    const char* disks[] = { "System", "Data" };

    BMenuField* language = new BMenuField(
        BRect(12, 22, 186, 44), "language", "Language:", makeMenu(languages, 4, 0));
    language->SetDivider(70);
    BMenuField* disk
        = new BMenuField(BRect(12, 50, 186, 72), "disk", "Disk:", makeMenu(disks, 2, 1));
    disk->SetDivider(70);
    disk->SetEnabled(false);
    box->AddChild(language);
    box->AddChild(disk);
    return box;
}

BView* GalleryWindow::BuildPopUps(BRect frame)
{
    BBox* box = LabelledBox(frame, "pop_ups", "Pop-up menus");
    BPopUpMenu* menu = new BPopUpMenu("");
    const char* kinds[] = { "Typical", "Minimal", "Full" };
    for (const char* kind : kinds)
        menu->AddItem(new BMenuItem(kind, new BMessage(kMsgIgnored)));
    menu->ItemAt(2)->SetMarked(true);
    // Without a label a menu field is a plain pop-up.
    BMenuField* field = new BMenuField(BRect(12, 22, 186, 44), "kind", nullptr, menu);
    field->SetDivider(0);
    box->AddChild(field);
    box->AddChild(new BButton(
        BRect(12, 50, 186, 74), "popup", "Pop-up menu" B_UTF8_ELLIPSIS, new BMessage(kMsgPopUp)));
    return box;
}

BView* GalleryWindow::BuildViewLabelBox(BRect frame)
{
    // A box labelled by a check box instead of a text.
    BBox* box = new BBox(frame, "view_label");
    BCheckBox* label = new BCheckBox(
        BRect(0, 0, 110, 17), "view_label_check", "Labelled by a view", new BMessage(kMsgIgnored));
    label->SetValue(B_CONTROL_ON);
    label->ResizeToPreferred();
    box->SetLabel(label);
    BStringView* text
        = new BStringView(BRect(12, 28, 186, 43), "view_label_text", "A box may carry any view");
    box->AddChild(text);
    BStringView* more = new BStringView(
        BRect(12, 46, 186, 61), "view_label_more", "in its top border as its label.");
    box->AddChild(more);
    return box;
}

BView* GalleryWindow::BuildBitmaps(BRect frame)
{
    BBox* box = LabelledBox(frame, "bitmaps_box", "Bitmaps");
    box->AddChild(new BitmapView(BRect(26, 26, 175, 109)));
    return box;
}

BView* GalleryWindow::BuildTryButtons(BRect frame)
{
    BBox* box = LabelledBox(frame, "try", "Try them");
    struct Choice {
        const char* label;
        uint32 what;
    };
    const Choice choices[] = {
        { "Info" B_UTF8_ELLIPSIS, kMsgInfoAlert },
        { "Idea" B_UTF8_ELLIPSIS, kMsgIdeaAlert },
        { "Warning" B_UTF8_ELLIPSIS, kMsgWarningAlert },
        { "Stop" B_UTF8_ELLIPSIS, kMsgStopAlert },
        { "Empty" B_UTF8_ELLIPSIS, kMsgEmptyAlert },
        { "Folder" B_UTF8_ELLIPSIS, kMsgFolderPanel },
    };
    constexpr int kCount = 6;
    float width = (frame.Width() - 24 - (kCount - 1) * 8) / kCount;
    float left = 12;
    for (const Choice& choice : choices) {
        box->AddChild(new BButton(BRect(left, 22, left + width - 1, 46), choice.label, choice.label,
            new BMessage(choice.what)));
        left += width + 8;
    }
    return box;
}

void GalleryWindow::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgInfoAlert:
    case kMsgIdeaAlert:
    case kMsgWarningAlert:
    case kMsgStopAlert:
    case kMsgEmptyAlert:
        ShowAlert(message->what);
        break;
    case kMsgPopUp:
        ShowPopUp();
        break;
    case kMsgFolderPanel:
        ShowFolderPanel();
        break;
    case kMsgShowReplace:
        ShowReplaceDialog(FindView("installer"), this, message->GetString("language", "en"));
        break;
    case kMsgReplaceAnswer:
        HandleReplaceAnswer(FindView("installer"), message);
        break;
    case kMsgToolkitHover:
        HandleToolkitHover(FindView("toolkit"), message->GetInt32("item", -1));
        break;
    case kMsgIgnored:
        break;
    default:
        BWindow::MessageReceived(message);
        break;
    }
}

void GalleryWindow::ShowAlert(uint32 what)
{
    BAlert* alert = nullptr;
    switch (what) {
    case kMsgInfoAlert:
        alert = new BAlert("Info", "The installation is complete.", "OK", nullptr, nullptr,
            B_WIDTH_AS_USUAL, B_INFO_ALERT);
        break;
    case kMsgIdeaAlert:
        alert = new BAlert("Idea",
            "You can choose another destination folder with the folder button.", "OK", nullptr,
            nullptr, B_WIDTH_AS_USUAL, B_IDEA_ALERT);
        break;
    case kMsgWarningAlert:
        alert
            = new BAlert("Warning", "The file 'ReadMe' already exists. Do you wish to replace it?",
                "Don't Replace", "Replace", nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT);
        break;
    case kMsgStopAlert:
        alert = new BAlert("Stop",
            "There is not enough free space on the disk to install the selected files.", "Cancel",
            "Retry", "Continue", B_WIDTH_AS_USUAL, B_STOP_ALERT);
        break;
    default:
        alert = new BAlert(
            "Empty", "No icon, one line.", "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_EMPTY_ALERT);
        break;
    }
    // Without an invoker the alert shows and the window goes on at once.
    alert->Go(nullptr);
}

void GalleryWindow::ShowPopUp()
{
    BView* button = FindView("popup");
    if (button == nullptr)
        return;
    BPopUpMenu* menu = new BPopUpMenu("pop-up", false, false);
    menu->AddItem(new BMenuItem("Open", new BMessage(kMsgIgnored)));
    menu->AddItem(new BMenuItem("Duplicate", new BMessage(kMsgIgnored)));
    menu->AddSeparatorItem();
    BMenuItem* disabled = new BMenuItem("Move to Trash", new BMessage(kMsgIgnored));
    disabled->SetEnabled(false);
    menu->AddItem(disabled);
    menu->SetAsyncAutoDestruct(true);
    BPoint where = button->ConvertToScreen(button->Bounds().LeftBottom());
    menu->Go(where, true, false, true);
}

void GalleryWindow::ShowFolderPanel()
{
    if (!fFolderPanel) {
        BMessenger target(this);
        fFolderPanel
            = std::make_unique<BFilePanel>(B_OPEN_PANEL, &target, nullptr, B_DIRECTORY_NODE, false);
    }
    fFolderPanel->Show();
}

bool GalleryWindow::QuitRequested()
{
    if (fQuitsApplication)
        be_app->PostMessage(B_QUIT_REQUESTED);
    return true;
}

} // namespace brenvik::gallery
