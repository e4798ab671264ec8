#include "LibPictureButton.h"

#include <Application.h>
#include <Bitmap.h>
#include <Message.h>
#include <Picture.h>
#include <View.h>
#include <Window.h>

#include <LibConvert.h>
#include <oResources.h>

#include "LibBitmap.h"
#include "LibRect.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

BRect ButtonFrame(BPoint where, int32 width, int32 height)
{
    return BRect(where.x, where.y, where.x + float(std::max(width, int32(1)) - 1),
        where.y + float(std::max(height, int32(1)) - 1));
}

// A picture of raw B_CMAP8 pixels, or null without pixels.
std::unique_ptr<BPicture> PixelPicture(const uint8* pixels, int32 width, int32 height)
{
    if (pixels == nullptr || width < 1 || height < 1)
        return nullptr;
    LibBitmap bitmap(BRect(0, 0, float(width - 1), float(height - 1)), pixels, B_CMAP8);
    if (bitmap.InitCheck() != B_OK)
        return nullptr;
    return std::unique_ptr<BPicture>(LibBitmapToPicture(&bitmap));
}

// The faces of a self-drawn button.
enum class Face { kNormal, kPressed, kDisabledOn, kDisabledOff };

// Draws a button face of the bitmap's view's size into a picture: the fill,
// a rounded dark border, a light edge inside it at the top and left, and the
// bitmap centred on it (faded on the disabled faces).
std::unique_ptr<BPicture> FacePicture(BView* view, Face face, const BBitmap* image)
{
    const rgb_color light = { 232, 232, 232, 255 };
    const rgb_color border = { 96, 96, 96, 255 };
    const rgb_color white = { 255, 255, 255, 255 };
    const rgb_color edge = { 152, 152, 152, 255 };
    rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
    bool lightFace = face == Face::kNormal || face == Face::kDisabledOff;
    bool disabled = face == Face::kDisabledOn || face == Face::kDisabledOff;
    BRect bounds = view->Bounds();

    auto picture = std::make_unique<BPicture>();
    view->BeginPicture(picture.get());
    view->SetHighColor(lightFace ? light : panel);
    view->FillRoundRect(bounds, 2, 2);
    view->SetHighColor(lightFace ? white : edge);
    view->StrokeLine(
        BPoint(bounds.left + 1, bounds.bottom - 2), BPoint(bounds.left + 1, bounds.top + 1));
    view->StrokeLine(BPoint(bounds.right - 2, bounds.top + 1));
    view->SetHighColor(border);
    view->StrokeRoundRect(bounds, 2, 2);
    if (image != nullptr) {
        BRect size = image->Bounds();
        BPoint at(std::floor((bounds.Width() - size.Width()) / 2),
            std::floor((bounds.Height() - size.Height()) / 2));
        view->SetDrawingMode(B_OP_ALPHA);
        view->DrawBitmap(image, at);
        if (disabled) {
            rgb_color veil = lightFace ? light : panel;
            veil.alpha = 144;
            view->SetHighColor(veil);
            view->FillRect(bounds.InsetByCopy(2, 2));
        }
        view->SetDrawingMode(B_OP_COPY);
    }
    view->EndPicture();
    return picture;
}

// The four faces, drawn in a view of an off-screen bitmap of the button's
// size; null entries when the view cannot be made.
std::array<std::unique_ptr<BPicture>, 4> FacePictures(
    int32 width, int32 height, const char* resourceName)
{
    std::array<std::unique_ptr<BPicture>, 4> faces;
    BRect bounds(0, 0, float(std::max(width, int32(1)) - 1), float(std::max(height, int32(1)) - 1));
    BBitmap canvas(bounds, B_RGBA32, true);
    if (canvas.InitCheck() != B_OK)
        return faces;
    BView* view = new BView(bounds, "faces", B_FOLLOW_NONE, B_WILL_DRAW);
    canvas.AddChild(view);
    oResources resources(0);
    std::unique_ptr<BBitmap> image(
        resourceName != nullptr ? resources.GetBitmap(resourceName) : nullptr);
    canvas.Lock();
    const Face order[] = { Face::kNormal, Face::kPressed, Face::kDisabledOn, Face::kDisabledOff };
    for (size_t i = 0; i < faces.size(); i++)
        faces[i] = FacePicture(view, order[i], image.get());
    canvas.Unlock();
    return faces;
}

} // namespace

LibPictureButton::LibPictureButton(BPoint where, const int32& width, const int32& height,
    const char* name, const uint8* normal, const uint8* pressed, const uint32& command,
    const uint8* disabled, uint32 behavior, uint32 resizingMode)
    : BPictureButton(ButtonFrame(where, width, height), name,
        PixelPicture(normal, width, height).get(), PixelPicture(pressed, width, height).get(),
        new BMessage(command), behavior, resizingMode, B_WILL_DRAW | B_NAVIGABLE)
{
    std::unique_ptr<BPicture> disabledOff = PixelPicture(disabled, width, height);
    if (disabledOff != nullptr)
        SetDisabledOff(disabledOff.get());
    SetLabel(name);
}

LibPictureButton::LibPictureButton(BPoint where, const int32& width, const int32& height,
    const char* name, const char* resourceName, const uint32& command, uint32 behavior,
    uint32 resizingMode)
    : BPictureButton(ButtonFrame(where, width, height), name, nullptr, nullptr,
        new BMessage(command), behavior, resizingMode, B_WILL_DRAW | B_NAVIGABLE)
{
    std::array<std::unique_ptr<BPicture>, 4> faces = FacePictures(width, height, resourceName);
    if (faces[0] != nullptr) {
        SetEnabledOff(faces[0].get());
        SetEnabledOn(faces[1].get());
        SetDisabledOn(faces[2].get());
        SetDisabledOff(faces[3].get());
    }
    SetLabel(name);
}

LibPictureButton::~LibPictureButton() = default;

void LibPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    fTip.MouseMoved(this, transit);
    BPictureButton::MouseMoved(where, transit, dragMessage);
}

void LibPictureButton::MouseDown(BPoint where)
{
    fTip.MouseDown(this);
    BPictureButton::MouseDown(where);
}

void LibPictureButton::MakeFocus(bool focused)
{
    fFocused = focused;
    BPictureButton::MakeFocus(focused);
}
