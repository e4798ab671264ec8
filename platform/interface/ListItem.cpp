#include <ListItem.h>

#include <Font.h>
#include <Message.h>
#include <View.h>

#include <cmath>

namespace {

// The text's distance from an item's left edge, and per outline level.
constexpr float kTextInset = 4;
constexpr float kOutlineIndent = 10;

} // namespace

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fOutlineLevel(outlineLevel)
    , fExpanded(expanded)
{
}

BListItem::BListItem(BMessage* data)
    : BArchivable(data)
    , fOutlineLevel(0)
    , fExpanded(true)
{
    if (data == nullptr)
        return;
    bool value = false;
    if (data->FindBool("_sel", &value) == B_OK)
        fSelected = value;
    if (data->FindBool("_disable", &value) == B_OK)
        fEnabled = !value;
    if (data->FindBool("_li_expanded", &value) == B_OK)
        fExpanded = value;
    int32 level = 0;
    if (data->FindInt32("_li_outline_level", &level) == B_OK && level >= 0)
        fOutlineLevel = uint32(level);
}

BListItem::~BListItem() = default;

status_t BListItem::Archive(BMessage* data, bool deep) const
{
    status_t status = BArchivable::Archive(data, deep);
    if (status == B_OK && fSelected)
        status = data->AddBool("_sel", true);
    if (status == B_OK && !fEnabled)
        status = data->AddBool("_disable", true);
    if (status == B_OK && fExpanded)
        status = data->AddBool("_li_expanded", true);
    if (status == B_OK && fOutlineLevel != 0)
        status = data->AddInt32("_li_outline_level", int32(fOutlineLevel));
    return status;
}

float BListItem::Height() const
{
    return fHeight;
}

float BListItem::Width() const
{
    return fWidth;
}

bool BListItem::IsSelected() const
{
    return fSelected;
}

void BListItem::Select()
{
    fSelected = true;
}

void BListItem::Deselect()
{
    fSelected = false;
}

void BListItem::SetEnabled(bool enabled)
{
    fEnabled = enabled;
}

bool BListItem::IsEnabled() const
{
    return fEnabled;
}

void BListItem::SetHeight(float height)
{
    fHeight = height;
}

void BListItem::SetWidth(float width)
{
    fWidth = width;
}

void BListItem::Update(BView* owner, const BFont* font)
{
    font_height height;
    font->GetHeight(&height);
    SetWidth(owner->Bounds().Width());
    SetHeight(std::ceil(height.ascent + height.descent + height.leading));
}

bool BListItem::IsExpanded() const
{
    return fExpanded;
}

void BListItem::SetExpanded(bool expanded)
{
    fExpanded = expanded;
}

uint32 BListItem::OutlineLevel() const
{
    return fOutlineLevel;
}

// #pragma mark - BStringItem

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded)
    , fText(text != nullptr ? text : "")
    , fHasText(text != nullptr)
{
}

BStringItem::BStringItem(BMessage* data)
    : BListItem(data)
    , fHasText(false)
{
    const char* text = nullptr;
    if (data != nullptr && data->FindString("_label", &text) == B_OK) {
        fText = text;
        fHasText = true;
    }
}

BStringItem::~BStringItem() = default;

BArchivable* BStringItem::Instantiate(BMessage* data)
{
    if (!validate_instantiation(data, "BStringItem"))
        return nullptr;
    return new BStringItem(data);
}

status_t BStringItem::Archive(BMessage* data, bool deep) const
{
    status_t status = BListItem::Archive(data, deep);
    if (status == B_OK)
        status = data->AddString("class", "BStringItem");
    if (status == B_OK && fHasText)
        status = data->AddString("_label", fText.c_str());
    return status;
}

void BStringItem::DrawItem(BView* owner, BRect frame, bool complete)
{
    if (!fHasText)
        return;
    rgb_color low = owner->LowColor();
    rgb_color high = owner->HighColor();
    if (IsSelected() || complete) {
        rgb_color background
            = IsSelected() ? ui_color(B_LIST_SELECTED_BACKGROUND_COLOR) : owner->ViewColor();
        owner->SetLowColor(background);
        owner->FillRect(frame, B_SOLID_LOW);
    } else {
        owner->SetLowColor(owner->ViewColor());
    }
    rgb_color text = IsSelected() ? ui_color(B_LIST_SELECTED_ITEM_TEXT_COLOR)
                                  : ui_color(B_LIST_ITEM_TEXT_COLOR);
    if (!IsEnabled())
        text = tint_color(owner->ViewColor(), B_DISABLED_LABEL_TINT);
    owner->SetHighColor(text);
    float x = frame.left + kTextInset + OutlineLevel() * kOutlineIndent;
    owner->DrawString(fText.c_str(), BPoint(x, frame.top + fBaselineOffset));
    owner->SetLowColor(low);
    owner->SetHighColor(high);
}

void BStringItem::SetText(const char* text)
{
    fText = text != nullptr ? text : "";
    fHasText = text != nullptr;
}

const char* BStringItem::Text() const
{
    return fHasText ? fText.c_str() : nullptr;
}

void BStringItem::Update(BView* owner, const BFont* font)
{
    BListItem::Update(owner, font);
    font_height height;
    font->GetHeight(&height);
    if (fHasText)
        SetWidth(font->StringWidth(fText.c_str()));
    // One line of text with a pixel of room above and below it.
    fBaselineOffset = 1 + std::ceil(height.ascent + height.leading / 2);
    SetHeight(std::ceil(height.ascent) + std::ceil(height.descent) + std::ceil(height.leading) + 1);
}
