#include "InstallImage.h"

#include <Bitmap.h>
#include <Font.h>
#include <MenuItem.h>
#include <Message.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <TranslationUtils.h>
#include <Window.h>

#include <LibMessageBox.h>

#include <cmath>

namespace {

constexpr float kNameSize = 18;
constexpr float kDetailSize = 14;
constexpr float kNameColumn = 20;
constexpr float kVersionColumn = 50;
constexpr float kDateColumn = 70;
constexpr float kCompanyColumn = 90;
constexpr float kEmailColumn = 110;

const rgb_color kNameColor = { 0, 0, 255, 255 };
const rgb_color kDetailColor = { 0, 0, 0, 255 };

} // namespace

InstallImage::InstallImage(BPoint where, bool editable)
    : BBox(BRect(where.x, where.y, where.x + kWidth, where.y + kHeight), "InstallImage",
        B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
        B_FANCY_BORDER)
    , fEditable(editable)
    , fShowImage(true)
{
    // Only the rotation is taken from the bold font: the texts keep the
    // view's own face and run upward.
    BFont font(be_bold_font);
    font.SetRotation(90);
    SetFont(&font, B_FONT_ROTATION);
}

InstallImage::~InstallImage()
{
    ClearImage();
}

float InstallImage::GetStringLocation(const char* text)
{
    float width = StringWidth(text != nullptr ? text : "");
    return width + (Frame().Height() - width) * 0.5f;
}

void InstallImage::SetText(LibString& text, float& location, const char* value, float size)
{
    text = value != nullptr ? value : "";
    SetFontSize(size);
    location = GetStringLocation(text);
}

void InstallImage::SetAppName(const char* name)
{
    SetText(fAppName, fAppNameLocation, name, kNameSize);
}

void InstallImage::SetVersion(const char* version)
{
    SetText(fVersion, fVersionLocation, version, kDetailSize);
}

void InstallImage::SetDate(const char* date)
{
    SetText(fDate, fDateLocation, date, kDetailSize);
}

void InstallImage::SetCompany(const char* company)
{
    SetText(fCompany, fCompanyLocation, company, kDetailSize);
}

void InstallImage::SetEmail(const char* email)
{
    SetText(fEmail, fEmailLocation, email, kDetailSize);
}

void InstallImage::SetImage(BMessage& archive)
{
    ClearImage();
    if (!archive.IsEmpty()) {
        auto image = std::make_unique<BBitmap>(&archive);
        if (image->InitCheck() == B_OK)
            fImage = std::move(image);
    }
    Invalidate();
}

void InstallImage::GetImage(BMessage& archive)
{
    if (fImage != nullptr)
        fImage->Archive(&archive, true);
}

void InstallImage::ClearImage()
{
    fImage.reset();
}

void InstallImage::ProcessImage(const entry_ref& ref)
{
    ClearImage();
    BPath path(&ref);
    fImage.reset(BTranslationUtils::GetBitmap(path.Path() != nullptr ? path.Path() : ""));
    if (fImage != nullptr) {
        BRect bounds = fImage->Bounds();
        if (std::ceil(bounds.Width()) != kWidth - 1 || std::ceil(bounds.Height()) != kHeight - 1) {
            LibWarning("Image is not the correct size of %dx%d. You may use this image, but it "
                       "will appear in the installer as shown here.",
                int(kWidth), int(kHeight));
        }
        fShowImage = true;
    } else {
        LibError("Image file not current supported");
    }
    if (Window() != nullptr)
        Window()->PostMessage(kMsgImageChanged);
    Invalidate();
}

void InstallImage::MessageReceived(BMessage* message)
{
    entry_ref ref;
    if (message->WasDropped() && message->FindRef("refs", &ref) == B_OK)
        ProcessImage(ref);
    BBox::MessageReceived(message);
}

void InstallImage::DrawColumn(const LibString& text, float column, float location)
{
    if (text.Length() > 0)
        DrawString(text, BPoint(column, location));
}

void InstallImage::Draw(BRect updateRect)
{
    if (fShowImage && fImage != nullptr) {
        DrawBitmap(fImage.get(), BPoint(0, 0));
    } else {
        SetFontSize(kNameSize);
        SetHighColor(kNameColor);
        DrawColumn(fAppName, kNameColumn, fAppNameLocation);
        SetFontSize(kDetailSize);
        SetHighColor(kDetailColor);
        DrawColumn(fVersion, kVersionColumn, fVersionLocation);
        DrawColumn(fDate, kDateColumn, fDateLocation);
        DrawColumn(fCompany, kCompanyColumn, fCompanyLocation);
        DrawColumn(fEmail, kEmailColumn, fEmailLocation);
    }
    BBox::Draw(updateRect);
}

void InstallImage::MouseDown(BPoint where)
{
    int32 buttons = 0;
    BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
    if (current != nullptr)
        current->FindInt32("buttons", &buttons);
    if (fEditable && buttons == B_TERTIARY_MOUSE_BUTTON) {
        BPopUpMenu menu("img_menu");
        menu.AddItem(new BMenuItem("Remove", nullptr));
        if (menu.Go(ConvertToScreen(where)) != nullptr) {
            ClearImage();
            fShowImage = false;
        }
    } else {
        fShowImage = !fShowImage;
    }
    Invalidate();
}
