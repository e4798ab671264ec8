#include "PanelEntryItem.h"

#include <Bitmap.h>
#include <Font.h>
#include <NodeInfoIcons.h>
#include <View.h>

#include <algorithm>
#include <cmath>

namespace BPrivate {

namespace {

constexpr float kIconInset = 3;
constexpr float kIconSize = 16;
constexpr float kTextGap = 5;

} // namespace

PanelEntryItem::PanelEntryItem(const PanelEntry& entry)
    : fEntry(entry)
{
    // The icon the file manager would show; a row without one just has its
    // name.
    auto icon = std::make_unique<BBitmap>(BRect(0, 0, kIconSize - 1, kIconSize - 1), B_CMAP8);
    if (icon->InitCheck() == B_OK && GetTrackerIcon(&fEntry.ref, icon.get(), B_MINI_ICON) == B_OK) {
        fIcon = std::move(icon);
    }
}

PanelEntryItem::~PanelEntryItem() = default;

void PanelEntryItem::DrawItem(BView* owner, BRect frame, bool complete)
{
    rgb_color low = owner->LowColor();
    rgb_color high = owner->HighColor();
    rgb_color background
        = IsSelected() ? ui_color(B_LIST_SELECTED_BACKGROUND_COLOR) : owner->ViewColor();
    if (IsSelected() || complete) {
        owner->SetLowColor(background);
        owner->FillRect(frame, B_SOLID_LOW);
    } else {
        owner->SetLowColor(background);
    }
    if (fIcon != nullptr) {
        float top = std::floor(frame.top + (frame.Height() + 1 - kIconSize) / 2);
        owner->SetDrawingMode(B_OP_OVER);
        owner->DrawBitmap(fIcon.get(), BPoint(frame.left + kIconInset, top));
        owner->SetDrawingMode(B_OP_COPY);
    }
    rgb_color text = IsSelected() ? ui_color(B_LIST_SELECTED_ITEM_TEXT_COLOR)
                                  : ui_color(B_LIST_ITEM_TEXT_COLOR);
    if (!IsEnabled())
        text = tint_color(background, B_DISABLED_LABEL_TINT);
    owner->SetHighColor(text);
    float x = frame.left + kIconInset + kIconSize + kTextGap;
    owner->DrawString(fEntry.name.c_str(), BPoint(x, frame.top + fBaselineOffset));
    owner->SetLowColor(low);
    owner->SetHighColor(high);
}

void PanelEntryItem::Update(BView* owner, const BFont* font)
{
    BListItem::Update(owner, font);
    font_height height;
    font->GetHeight(&height);
    float textHeight
        = std::ceil(height.ascent) + std::ceil(height.descent) + std::ceil(height.leading);
    float rowHeight = std::max(textHeight, kIconSize + 2);
    SetHeight(rowHeight);
    SetWidth(kIconInset + kIconSize + kTextGap + font->StringWidth(fEntry.name.c_str()));
    fBaselineOffset = std::floor((rowHeight + 1 - textHeight) / 2) + std::ceil(height.ascent);
}

} // namespace BPrivate
