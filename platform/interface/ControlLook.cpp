#include "ControlLook.h"

#include <View.h>

#include <cmath>

namespace BPrivate {
namespace ControlLook {

rgb_color Lighten(rgb_color base, float tint)
{
    return tint_color(base, tint);
}

rgb_color Darken(rgb_color base, float tint)
{
    return tint_color(base, tint);
}

namespace {

// A rectangle outline whose four corner pixels are left out, which gives
// the slightly rounded corners of the platform's buttons.
void StrokeCutRect(BView* view, BRect rect, rgb_color color)
{
    view->BeginLineArray(4);
    view->AddLine(BPoint(rect.left + 1, rect.top), BPoint(rect.right - 1, rect.top), color);
    view->AddLine(BPoint(rect.left + 1, rect.bottom), BPoint(rect.right - 1, rect.bottom), color);
    view->AddLine(BPoint(rect.left, rect.top + 1), BPoint(rect.left, rect.bottom - 1), color);
    view->AddLine(BPoint(rect.right, rect.top + 1), BPoint(rect.right, rect.bottom - 1), color);
    view->EndLineArray();
}

// Light lines along the top and left edges, dark ones along the bottom and
// right edges.
void StrokeBevel(BView* view, BRect rect, rgb_color topLeft, rgb_color bottomRight)
{
    view->BeginLineArray(4);
    view->AddLine(BPoint(rect.left, rect.bottom), BPoint(rect.left, rect.top), topLeft);
    view->AddLine(BPoint(rect.left + 1, rect.top), BPoint(rect.right, rect.top), topLeft);
    view->AddLine(BPoint(rect.right, rect.top + 1), BPoint(rect.right, rect.bottom), bottomRight);
    view->AddLine(
        BPoint(rect.right - 1, rect.bottom), BPoint(rect.left + 1, rect.bottom), bottomRight);
    view->EndLineArray();
}

} // namespace

void DrawButton(
    BView* view, BRect frame, rgb_color base, bool pressed, bool enabled, bool isDefault)
{
    BRect rect = frame;
    if (isDefault) {
        // The heavier border of the default button: a dark outline and a
        // shaded band around the ordinary face.
        StrokeCutRect(
            view, rect, enabled ? Darken(base, B_DARKEN_4_TINT) : Darken(base, B_DARKEN_2_TINT));
        rect.InsetBy(1, 1);
        view->SetHighColor(Darken(base, B_DARKEN_1_TINT));
        view->StrokeRect(rect);
        rect.InsetBy(1, 1);
        view->StrokeRect(rect);
        rect.InsetBy(1, 1);
    }
    rgb_color outline = enabled ? Darken(base, B_DARKEN_4_TINT) : Darken(base, B_DARKEN_2_TINT);
    StrokeCutRect(view, rect, outline);
    // The outline's cut corners show the background, not the face.
    rect.InsetBy(1, 1);
    rgb_color face;
    if (!enabled)
        face = Lighten(base, B_LIGHTEN_1_TINT);
    else if (pressed)
        face = Darken(base, B_DARKEN_1_TINT);
    else
        face = Lighten(base, B_LIGHTEN_2_TINT);
    view->SetHighColor(face);
    view->FillRect(rect);
    if (!enabled)
        return;
    if (pressed) {
        StrokeBevel(view, rect, Darken(base, B_DARKEN_2_TINT), Lighten(base, B_LIGHTEN_1_TINT));
    } else {
        StrokeBevel(view, rect, Lighten(base, B_LIGHTEN_MAX_TINT), Darken(base, B_DARKEN_1_TINT));
        rect.InsetBy(1, 1);
        view->BeginLineArray(2);
        rgb_color shadow = Darken(base, B_NO_TINT);
        view->AddLine(BPoint(rect.right, rect.top + 1), BPoint(rect.right, rect.bottom), shadow);
        view->AddLine(
            BPoint(rect.left + 1, rect.bottom), BPoint(rect.right - 1, rect.bottom), shadow);
        view->EndLineArray();
    }
}

void DrawCheckBox(BView* view, BRect box, rgb_color base, bool checked, bool enabled, bool pressed)
{
    BRect rect = box;
    if (enabled) {
        StrokeBevel(view, rect, Darken(base, B_DARKEN_1_TINT), Lighten(base, B_LIGHTEN_MAX_TINT));
        rect.InsetBy(1, 1);
        StrokeBevel(view, rect, Darken(base, B_DARKEN_4_TINT), base);
    } else {
        StrokeBevel(view, rect, Darken(base, B_DARKEN_1_TINT), Lighten(base, B_LIGHTEN_1_TINT));
        rect.InsetBy(1, 1);
        StrokeBevel(view, rect, Darken(base, B_DARKEN_2_TINT), base);
    }
    rect.InsetBy(1, 1);
    rgb_color fill = enabled
        ? (pressed ? Darken(base, B_DARKEN_1_TINT) : rgb_color { 255, 255, 255, 255 })
        : Lighten(base, B_LIGHTEN_1_TINT);
    view->SetHighColor(fill);
    view->FillRect(rect);
    if (!checked)
        return;
    // The mark: a cross two pixels wide, drawn pixel by pixel so that it is
    // crisp at every size.
    rgb_color mark = enabled ? rgb_color { 0, 0, 0, 255 } : Darken(base, B_DARKEN_2_TINT);
    view->SetHighColor(mark);
    BRect inner = rect.InsetByCopy(1, 1);
    int32 size = int32(std::lround(std::min(inner.Width(), inner.Height())));
    for (int32 i = 0; i < size; i++) {
        float x = inner.left + i;
        float y1 = inner.top + i;
        float y2 = inner.top + size - 1 - i;
        view->FillRect(BRect(x, y1, x + 1, y1));
        view->FillRect(BRect(x, y2, x + 1, y2));
    }
}

void DrawFocusLine(BView* view, float left, float right, float y)
{
    view->SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
    view->StrokeLine(BPoint(left, y), BPoint(right, y));
}

void DrawFancyBorder(BView* view, BRect frame, rgb_color base)
{
    // An etched groove: a shadow line with a highlight line beside it.
    rgb_color shadow = Darken(base, B_DARKEN_2_TINT);
    rgb_color light = Lighten(base, B_LIGHTEN_MAX_TINT);
    StrokeBevel(view, frame, shadow, light);
    StrokeBevel(view, frame.InsetByCopy(1, 1), light, shadow);
}

void DrawPlainBorder(BView* view, BRect frame, rgb_color base)
{
    StrokeBevel(view, frame, Lighten(base, B_LIGHTEN_MAX_TINT), Darken(base, B_DARKEN_2_TINT));
}

void DrawSunkenFrame(BView* view, BRect frame, rgb_color base, bool focused)
{
    StrokeBevel(view, frame, Darken(base, B_DARKEN_1_TINT), Lighten(base, B_LIGHTEN_MAX_TINT));
    BRect inner = frame.InsetByCopy(1, 1);
    if (focused) {
        view->SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
        view->StrokeRect(inner);
    } else {
        StrokeBevel(view, inner, Darken(base, B_DARKEN_4_TINT), base);
    }
}

void DrawRaisedFace(BView* view, BRect frame, rgb_color base, bool pressed)
{
    view->SetHighColor(pressed ? Darken(base, B_DARKEN_1_TINT) : base);
    view->FillRect(frame);
    if (pressed)
        StrokeBevel(view, frame, Darken(base, B_DARKEN_2_TINT), Lighten(base, B_LIGHTEN_1_TINT));
    else
        StrokeBevel(view, frame, Lighten(base, B_LIGHTEN_MAX_TINT), Darken(base, B_DARKEN_2_TINT));
}

void DrawArrow(BView* view, BRect frame, ArrowDirection direction, rgb_color color)
{
    // A triangle of whole pixels: rows (or columns) that shrink by one pixel
    // on each side.
    view->SetHighColor(color);
    float centerX = std::floor((frame.left + frame.right) / 2);
    float centerY = std::floor((frame.top + frame.bottom) / 2);
    const int32 kDepth = 3;
    for (int32 i = 0; i < kDepth; i++) {
        float reach = float(kDepth - 1 - i);
        switch (direction) {
        case kArrowUp:
            view->FillRect(BRect(centerX - i, centerY - 1 + i, centerX + i, centerY - 1 + i));
            break;
        case kArrowDown:
            view->FillRect(
                BRect(centerX - reach, centerY - 1 + i, centerX + reach, centerY - 1 + i));
            break;
        case kArrowLeft:
            view->FillRect(BRect(centerX - 1 + i, centerY - i, centerX - 1 + i, centerY + i));
            break;
        case kArrowRight:
            view->FillRect(
                BRect(centerX - 1 + i, centerY - reach, centerX - 1 + i, centerY + reach));
            break;
        }
    }
}

rgb_color LabelColor(rgb_color base, bool enabled)
{
    if (enabled)
        return ui_color(B_CONTROL_TEXT_COLOR);
    return Darken(base, B_DISABLED_LABEL_TINT);
}

float CenteredBaseline(BView* view, BRect frame)
{
    font_height height;
    view->GetFontHeight(&height);
    float textHeight = std::ceil(height.ascent) + std::ceil(height.descent);
    return std::floor(frame.top + (frame.Height() + 1 - textHeight) / 2 + std::ceil(height.ascent))
        - 1;
}

} // namespace ControlLook
} // namespace BPrivate
