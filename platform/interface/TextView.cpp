// BTextView: the text, its styles, the selection and the settings. The
// layout is in TextViewLayout.cpp, drawing and input in TextViewInput.cpp.

#include <TextView.h>

#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <Utf8.h>

#include "RenderAccess.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace {

// The clipboard the program's text views share.
std::mutex sClipboardLock;
std::string sClipboard;

} // namespace

BTextView::BTextView(
    BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
    InitTextView(textRect, nullptr, nullptr);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
    const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS)
{
    InitTextView(textRect, initialFont, initialColor);
}

BTextView::~BTextView() = default;

void BTextView::InitTextView(BRect textRect, const BFont* font, const rgb_color* color)
{
    fTextRect = textRect;
    fTypingStyle.font = font != nullptr ? *font : *be_plain_font;
    fTypingStyle.color = color != nullptr ? *color : rgb_color { 0, 0, 0, 255 };
    fStyles.push_back(fTypingStyle);
    BView::SetFont(&fTypingStyle.font);
    SetViewColor(ui_color(B_DOCUMENT_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_DOCUMENT_BACKGROUND_COLOR));
    Relayout();
}

void BTextView::AttachedToWindow()
{
    BView::AttachedToWindow();
    Relayout();
    FixupScrollBars();
}

void BTextView::DetachedFromWindow()
{
    BView::DetachedFromWindow();
}

void BTextView::TargetedByScrollView(BScrollView* scrollView)
{
    fScrollView = scrollView;
    BView::TargetedByScrollView(scrollView);
}

void BTextView::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    FixupScrollBars();
}

void BTextView::MakeFocus(bool focused)
{
    if (focused == IsFocus())
        return;
    BView::MakeFocus(focused);
    if (fScrollView != nullptr)
        fScrollView->SetBorderHighlighted(focused);
    Invalidate();
}

void BTextView::WindowActivated(bool active)
{
    BView::WindowActivated(active);
    if (IsFocus())
        Invalidate();
}

void BTextView::Pulse()
{
    BView::Pulse();
}

void BTextView::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case B_CUT:
        Cut();
        break;
    case B_COPY:
        Copy();
        break;
    case B_PASTE:
        Paste();
        break;
    case B_SELECT_ALL:
        SelectAll();
        break;
    default:
        BView::MessageReceived(message);
        break;
    }
}

// #pragma mark - the text

void BTextView::SetText(const char* text, const text_run_array* runs)
{
    SetText(text, text != nullptr ? int32(std::strlen(text)) : 0, runs);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
    // The new text may be a piece of the old, which goes first.
    std::string copy = text != nullptr && length > 0 ? std::string(text, size_t(length)) : "";
    if (!fText.empty())
        DeleteText(0, TextLength());
    fStyles.assign(1, fTypingStyle);
    fSelectionStart = fSelectionEnd = fAnchor = 0;
    if (!copy.empty())
        InsertText(copy.data(), int32(copy.size()), 0, runs);
    Relayout();
    if (BScrollBar* bar = ScrollBar(B_VERTICAL))
        bar->SetValue(0);
    ScrollTo(BPoint(Bounds().left, 0));
    Invalidate();
}

void BTextView::Insert(const char* text, const text_run_array* runs)
{
    Insert(fSelectionStart, text, text != nullptr ? int32(std::strlen(text)) : 0, runs);
}

void BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
    Insert(fSelectionStart, text, length, runs);
}

void BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
    if (text == nullptr || length <= 0)
        return;
    length = int32(strnlen(text, size_t(length)));
    offset = std::clamp(offset, int32(0), TextLength());
    int32 room = fMaxBytes - TextLength();
    if (room <= 0)
        return;
    if (length > room) {
        // What does not fit is left out a whole character at a time.
        length = room;
        while (length > 0 && (uint8(text[length]) & 0xc0) == 0x80)
            length--;
        if (length == 0)
            return;
    }
    InsertText(text, length, offset, runs);
    if (fSelectionStart >= offset) {
        fSelectionStart += length;
        fSelectionEnd += length;
        fAnchor = fSelectionStart;
    } else if (fSelectionEnd > offset) {
        fSelectionEnd += length;
    }
    Relayout();
    Invalidate();
}

void BTextView::Delete()
{
    Delete(fSelectionStart, fSelectionEnd);
}

void BTextView::Delete(int32 startOffset, int32 endOffset)
{
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    if (startOffset >= endOffset)
        return;
    DeleteText(startOffset, endOffset);
    int32 removed = endOffset - startOffset;
    auto adjust = [&](int32 value) {
        if (value >= endOffset)
            return value - removed;
        if (value > startOffset)
            return startOffset;
        return value;
    };
    fSelectionStart = adjust(fSelectionStart);
    fSelectionEnd = adjust(fSelectionEnd);
    fAnchor = adjust(fAnchor);
    Relayout();
    Invalidate();
}

void BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array* runs)
{
    // The inserted text takes the style before it (or the typing style when
    // the view is empty), unless runs are given.
    Style style = fText.empty()
            || (fStylable && offset == fSelectionStart && fSelectionStart == fSelectionEnd
                && fTypingStyleSet)
        ? fTypingStyle
        : StyleAt(std::max(int32(0), offset - 1));
    fText.insert(size_t(offset), text, size_t(length));
    fStyleOf.insert(fStyleOf.begin() + offset, size_t(length), StyleId(style));
    if (runs != nullptr && runs->count > 0)
        ApplyRuns(offset, length, runs);
}

void BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
    fText.erase(size_t(fromOffset), size_t(toOffset - fromOffset));
    fStyleOf.erase(fStyleOf.begin() + fromOffset, fStyleOf.begin() + toOffset);
}

const char* BTextView::Text() const
{
    return fText.c_str();
}

int32 BTextView::TextLength() const
{
    return int32(fText.size());
}

void BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
    if (buffer == nullptr || length < 0)
        return;
    offset = std::clamp(offset, int32(0), TextLength());
    length = std::min(length, TextLength() - offset);
    std::memcpy(buffer, fText.data() + offset, size_t(length));
    buffer[length] = '\0';
}

uchar BTextView::ByteAt(int32 offset) const
{
    if (offset < 0 || offset >= TextLength())
        return 0;
    return uchar(fText[size_t(offset)]);
}

// #pragma mark - clipboard and selection

void BTextView::Cut()
{
    if (!fEditable)
        return;
    Copy();
    Delete();
    ScrollToSelection();
}

void BTextView::Copy()
{
    if (fSelectionStart == fSelectionEnd || fTypingHidden)
        return;
    std::lock_guard guard(sClipboardLock);
    sClipboard = fText.substr(size_t(fSelectionStart), size_t(fSelectionEnd - fSelectionStart));
}

void BTextView::Paste()
{
    if (!fEditable)
        return;
    std::string text;
    {
        std::lock_guard guard(sClipboardLock);
        text = sClipboard;
    }
    Delete();
    Insert(text.c_str(), int32(text.size()));
    ScrollToSelection();
}

void BTextView::Clear()
{
    if (fEditable)
        Delete();
}

void BTextView::Select(int32 startOffset, int32 endOffset)
{
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    if (startOffset > endOffset)
        std::swap(startOffset, endOffset);
    if (startOffset == fSelectionStart && endOffset == fSelectionEnd)
        return;
    int32 oldStart = fSelectionStart;
    int32 oldEnd = fSelectionEnd;
    fSelectionStart = startOffset;
    fSelectionEnd = endOffset;
    fAnchor = startOffset;
    fCaretX = -1;
    fTypingStyleSet = false;
    InvalidateLines(LineAt(std::min(oldStart, startOffset)), LineAt(std::max(oldEnd, endOffset)));
}

void BTextView::SelectAll()
{
    Select(0, TextLength());
}

void BTextView::GetSelection(int32* startOffset, int32* endOffset) const
{
    if (startOffset != nullptr)
        *startOffset = fSelectionStart;
    if (endOffset != nullptr)
        *endOffset = fSelectionEnd;
}

void BTextView::Highlight(int32 startOffset, int32 endOffset)
{
    InvalidateLines(LineAt(startOffset), LineAt(endOffset));
}

// #pragma mark - styles

const BTextView::Style& BTextView::StyleAt(int32 offset) const
{
    if (fStyleOf.empty())
        return fTypingStyle;
    offset = std::clamp(offset, int32(0), TextLength() - 1);
    return fStyles[fStyleOf[size_t(offset)]];
}

uint16 BTextView::StyleId(const Style& style)
{
    for (size_t i = 0; i < fStyles.size(); i++) {
        if (fStyles[i] == style)
            return uint16(i);
    }
    if (fStyles.size() >= 0xffff) {
        // Styles no text uses any more are dropped before the table grows
        // past its index size.
        std::vector<Style> used;
        std::vector<uint16> remap(fStyles.size(), 0);
        std::vector<bool> seen(fStyles.size(), false);
        for (uint16 id : fStyleOf)
            seen[id] = true;
        for (size_t i = 0; i < fStyles.size(); i++) {
            if (seen[i]) {
                remap[i] = uint16(used.size());
                used.push_back(fStyles[i]);
            }
        }
        for (uint16& id : fStyleOf)
            id = remap[id];
        fStyles.swap(used);
    }
    fStyles.push_back(style);
    return uint16(fStyles.size() - 1);
}

int32 BTextView::RunEnd(int32 offset, int32 limit) const
{
    int32 end = offset + 1;
    while (end < limit && fStyleOf[size_t(end)] == fStyleOf[size_t(offset)])
        end++;
    return end;
}

void BTextView::SetStyleRange(int32 start, int32 end, const Style& style)
{
    uint16 id = StyleId(style);
    for (int32 offset = std::max(start, int32(0)); offset < end && offset < TextLength(); offset++)
        fStyleOf[size_t(offset)] = id;
}

void BTextView::ApplyRuns(int32 offset, int32 length, const text_run_array* runs)
{
    for (int32 i = 0; i < runs->count; i++) {
        const text_run& run = runs->runs[i];
        int32 start = offset + std::clamp(run.offset, int32(0), length);
        int32 end = i + 1 < runs->count
            ? offset + std::clamp(runs->runs[i + 1].offset, int32(0), length)
            : offset + length;
        SetStyleRange(start, end, Style { run.font, run.color });
    }
}

void BTextView::ApplyFont(Style* style, const BFont* font, uint32 mode, const rgb_color* color)
{
    if (font != nullptr) {
        BPrivate::RenderFont result = BPrivate::RenderAccess::Font(style->font);
        const BPrivate::RenderFont& source = BPrivate::RenderAccess::Font(*font);
        if ((mode & B_FONT_FAMILY_AND_STYLE) != 0)
            result.SetFamilyAndStyle(source.FamilyAndStyle());
        if ((mode & B_FONT_SIZE) != 0)
            result.SetSize(source.Size());
        if ((mode & B_FONT_SHEAR) != 0)
            result.SetShear(source.Shear());
        if ((mode & B_FONT_ROTATION) != 0)
            result.SetRotation(source.Rotation());
        if ((mode & B_FONT_SPACING) != 0)
            result.SetSpacing(source.Spacing());
        if ((mode & B_FONT_ENCODING) != 0)
            result.SetEncoding(source.Encoding());
        if ((mode & B_FONT_FACE) != 0)
            result.SetFace(source.Face());
        if ((mode & B_FONT_FLAGS) != 0)
            result.SetFlags(source.Flags());
        BPrivate::RenderAccess::SetFont(&style->font, result);
    }
    if (color != nullptr)
        style->color = *color;
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
    if (fStylable && fSelectionStart != fSelectionEnd) {
        SetFontAndColor(fSelectionStart, fSelectionEnd, font, mode, color);
        return;
    }
    // Without styles every character takes the change; a stylable view
    // with nothing selected takes it for what is typed next.
    ApplyFont(&fTypingStyle, font, mode, color);
    if (fStylable) {
        fTypingStyleSet = true;
    } else {
        fStyles.assign(1, fTypingStyle);
        std::fill(fStyleOf.begin(), fStyleOf.end(), uint16(0));
    }
    BView::SetFont(&fTypingStyle.font);
    Relayout();
    Invalidate();
}

void BTextView::SetFontAndColor(
    int32 startOffset, int32 endOffset, const BFont* font, uint32 mode, const rgb_color* color)
{
    if (!fStylable) {
        // The platform applies a range change to all of an unstyled text.
        ApplyFont(&fTypingStyle, font, mode, color);
        fStyles.assign(1, fTypingStyle);
        std::fill(fStyleOf.begin(), fStyleOf.end(), uint16(0));
        BView::SetFont(&fTypingStyle.font);
        Relayout();
        Invalidate();
        return;
    }
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    // Each style in the range changes by itself, keeping what the mask
    // leaves alone.
    std::vector<int32> changed(fStyles.size(), -1);
    for (int32 offset = startOffset; offset < endOffset; offset++) {
        uint16 old = fStyleOf[size_t(offset)];
        if (changed.size() < fStyles.size())
            changed.resize(fStyles.size(), -1);
        if (changed[old] < 0) {
            Style style = fStyles[old];
            ApplyFont(&style, font, mode, color);
            changed[old] = StyleId(style);
        }
        fStyleOf[size_t(offset)] = uint16(changed[old]);
    }
    Relayout();
    Invalidate();
}

void BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
    const Style& style = StyleAt(offset);
    if (font != nullptr)
        *font = style.font;
    if (color != nullptr)
        *color = style.color;
}

void BTextView::GetFontAndColor(BFont* font, uint32* mode, rgb_color* color, bool* sameColor) const
{
    const Style& style = fSelectionStart == fSelectionEnd ? fTypingStyle : StyleAt(fSelectionStart);
    if (font != nullptr)
        *font = style.font;
    if (color != nullptr)
        *color = style.color;
    bool sameFont = true;
    bool same = true;
    for (int32 offset = fSelectionStart; offset < fSelectionEnd; offset++) {
        const Style& other = fStyles[fStyleOf[size_t(offset)]];
        sameFont = sameFont && other.font == style.font;
        same = same && other.color == style.color;
    }
    if (mode != nullptr)
        *mode = sameFont ? B_FONT_ALL : 0;
    if (sameColor != nullptr)
        *sameColor = same;
}

void BTextView::SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs)
{
    if (runs == nullptr || !fStylable)
        return;
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    ApplyRuns(startOffset, endOffset - startOffset, runs);
    Relayout();
    Invalidate();
}

text_run_array* BTextView::RunArray(int32 startOffset, int32 endOffset, int32* length) const
{
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    std::vector<std::pair<int32, Style>> runs;
    if (startOffset >= endOffset) {
        runs.push_back({ 0, StyleAt(startOffset) });
    } else {
        for (int32 offset = startOffset; offset < endOffset; offset = RunEnd(offset, endOffset))
            runs.push_back({ offset - startOffset, fStyles[fStyleOf[size_t(offset)]] });
    }
    text_run_array* array = AllocRunArray(int32(runs.size()), length);
    if (array == nullptr)
        return nullptr;
    for (size_t i = 0; i < runs.size(); i++) {
        array->runs[i].offset = runs[i].first;
        array->runs[i].font = runs[i].second.font;
        array->runs[i].color = runs[i].second.color;
    }
    return array;
}

text_run_array* BTextView::AllocRunArray(int32 entryCount, int32* outSize)
{
    if (entryCount <= 0)
        return nullptr;
    size_t size = sizeof(text_run_array) + sizeof(text_run) * size_t(entryCount - 1);
    void* memory = std::malloc(size);
    if (memory == nullptr)
        return nullptr;
    text_run_array* array = static_cast<text_run_array*>(memory);
    array->count = entryCount;
    for (int32 i = 0; i < entryCount; i++)
        new (&array->runs[i]) text_run { 0, BFont(), rgb_color { 0, 0, 0, 255 } };
    if (outSize != nullptr)
        *outSize = int32(size);
    return array;
}

text_run_array* BTextView::CopyRunArray(const text_run_array* original, int32 entryCount)
{
    if (original == nullptr)
        return nullptr;
    int32 count = entryCount < 0 ? original->count : std::min(entryCount, original->count);
    text_run_array* copy = AllocRunArray(count);
    if (copy == nullptr)
        return nullptr;
    for (int32 i = 0; i < count; i++)
        copy->runs[i] = original->runs[i];
    return copy;
}

void BTextView::FreeRunArray(text_run_array* array)
{
    if (array == nullptr)
        return;
    for (int32 i = 0; i < array->count; i++)
        array->runs[i].~text_run();
    std::free(array);
}

// #pragma mark - settings

void BTextView::SetTextRect(BRect rect)
{
    if (rect == fTextRect)
        return;
    fTextRect = rect;
    Relayout();
    Invalidate();
}

BRect BTextView::TextRect() const
{
    return fTextRect;
}

void BTextView::SetStylable(bool stylable)
{
    fStylable = stylable;
}

bool BTextView::IsStylable() const
{
    return fStylable;
}

void BTextView::SetTabWidth(float width)
{
    fTabWidth = width > 0 ? width : fTabWidth;
    Relayout();
    Invalidate();
}

float BTextView::TabWidth() const
{
    return fTabWidth;
}

void BTextView::MakeSelectable(bool selectable)
{
    if (selectable == fSelectable)
        return;
    fSelectable = selectable;
    if (!selectable)
        Select(fSelectionStart, fSelectionStart);
    Invalidate();
}

bool BTextView::IsSelectable() const
{
    return fSelectable;
}

void BTextView::MakeEditable(bool editable)
{
    if (editable == fEditable)
        return;
    fEditable = editable;
    Invalidate();
}

bool BTextView::IsEditable() const
{
    return fEditable;
}

void BTextView::SetWordWrap(bool wrap)
{
    if (wrap == fWordWrap)
        return;
    fWordWrap = wrap;
    Relayout();
    Invalidate();
}

bool BTextView::DoesWordWrap() const
{
    return fWordWrap;
}

void BTextView::SetMaxBytes(int32 max)
{
    fMaxBytes = max >= 0 ? max : 0x7fffffff;
    if (TextLength() > fMaxBytes) {
        int32 cut = fMaxBytes;
        while (cut > 0 && (uint8(fText[size_t(cut)]) & 0xc0) == 0x80)
            cut--;
        Delete(cut, TextLength());
    }
}

int32 BTextView::MaxBytes() const
{
    return fMaxBytes;
}

void BTextView::DisallowChar(uint32 character)
{
    fDisallowed.insert(character);
}

void BTextView::AllowChar(uint32 character)
{
    fDisallowed.erase(character);
}

void BTextView::SetAlignment(alignment flag)
{
    fAlignment = flag;
    Relayout();
    Invalidate();
}

alignment BTextView::Alignment() const
{
    return fAlignment;
}

void BTextView::SetAutoindent(bool state)
{
    fAutoindent = state;
}

bool BTextView::DoesAutoindent() const
{
    return fAutoindent;
}

void BTextView::SetColorSpace(color_space colors)
{
    fColorSpace = colors;
}

color_space BTextView::ColorSpace() const
{
    return fColorSpace;
}

void BTextView::HideTyping(bool enabled)
{
    fTypingHidden = enabled;
    Invalidate();
}

bool BTextView::IsTypingHidden() const
{
    return fTypingHidden;
}

void BTextView::GetPreferredSize(float* width, float* height)
{
    float widest = 0;
    for (int32 i = 0; i < CountLines(); i++)
        widest = std::max(widest, LineWidth(i));
    if (width != nullptr)
        *width = std::max(Bounds().Width(), fTextRect.left + widest);
    if (height != nullptr)
        *height = std::max(Bounds().Height(), fTextRect.top + TextHeight(0, CountLines() - 1));
}

void BTextView::ResizeToPreferred()
{
    BView::ResizeToPreferred();
}
