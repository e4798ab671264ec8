#pragma once

// ControlLook: how the kit's controls draw themselves, in one place: the grey
// panel look with bevelled edges (light above and to the left, shadow below
// and to the right), etched group borders, sunken frames around scrolled
// views and a blue line under the label of the focused control.

#include <InterfaceDefs.h>
#include <Rect.h>

class BView;

namespace BPrivate {
namespace ControlLook {

enum ArrowDirection { kArrowUp, kArrowDown, kArrowLeft, kArrowRight };

// Shades of a base colour, by the platform's tints.
rgb_color Lighten(rgb_color base, float tint);
rgb_color Darken(rgb_color base, float tint);

// A push button face inside `frame` (its bounds). A default button keeps a
// 3-pixel ring for its heavier border around the face.
void DrawButton(
    BView* view, BRect frame, rgb_color base, bool pressed, bool enabled, bool isDefault);

// The small box of a check box, with its mark when checked.
void DrawCheckBox(BView* view, BRect box, rgb_color base, bool checked, bool enabled, bool pressed);

// The line under a focused control's label.
void DrawFocusLine(BView* view, float left, float right, float y);

// Borders of boxes and scrolled views.
void DrawFancyBorder(BView* view, BRect frame, rgb_color base);
void DrawPlainBorder(BView* view, BRect frame, rgb_color base);
void DrawSunkenFrame(BView* view, BRect frame, rgb_color base, bool focused);

// A raised bevelled face, as buttons of scroll bars and menus have.
void DrawRaisedFace(BView* view, BRect frame, rgb_color base, bool pressed);

// A filled triangle pointing in `direction`, centred in `frame`.
void DrawArrow(BView* view, BRect frame, ArrowDirection direction, rgb_color color);

// The label colour of a control in its state.
rgb_color LabelColor(rgb_color base, bool enabled);

// The baseline that centres one line of the view's font vertically in
// `frame`.
float CenteredBaseline(BView* view, BRect frame);

} // namespace ControlLook
} // namespace BPrivate
