// BTextView: drawing, the mouse and the keyboard.

#include <TextView.h>

#include <Window.h>

#include <Utf8.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace {

bool IsWordByte(char c)
{
    return std::isalnum(uint8(c)) || (uint8(c) & 0x80) != 0 || c == '_';
}

} // namespace

void BTextView::Draw(BRect updateRect)
{
    if (fLines.empty())
        return;
    bool showSelection = fSelectionStart != fSelectionEnd && (fSelectable || fEditable);
    BRegion selection;
    if (showSelection)
        GetTextRegion(fSelectionStart, fSelectionEnd, &selection);
    rgb_color highlight = tint_color(
        ViewColor() == B_TRANSPARENT_COLOR ? ui_color(B_DOCUMENT_BACKGROUND_COLOR) : ViewColor(),
        B_HIGHLIGHT_BACKGROUND_TINT);

    for (int32 index = 0; index < CountLines(); index++) {
        const Line& line = fLines[size_t(index)];
        if (line.top + line.height < updateRect.top)
            continue;
        if (line.top > updateRect.bottom)
            break;
        if (showSelection) {
            SetHighColor(highlight);
            for (int32 i = 0; i < selection.CountRects(); i++) {
                BRect rect = selection.RectAt(i);
                if (rect.top >= line.top && rect.top < line.top + line.height)
                    FillRect(rect);
            }
        }
        int32 end = index + 1 < CountLines() ? fLines[size_t(index) + 1].offset : TextLength();
        float baseline = line.top + line.ascent;
        float x = LineLeft(line);
        float lineX = 0;
        SetDrawingMode(B_OP_OVER);
        for (int32 offset = line.offset; offset < end;) {
            int32 runEnd = RunEnd(offset, end);
            // Tabs and the line's newline take room but draw nothing.
            int32 piece = offset;
            while (piece < runEnd && fText[size_t(piece)] != '\t' && fText[size_t(piece)] != '\n')
                piece = NextCharOffset(piece);
            if (piece > offset) {
                const Style& style = fStyles[fStyleOf[size_t(offset)]];
                SetFont(&style.font);
                SetHighColor(style.color);
                if (fTypingHidden) {
                    std::string dots;
                    std::vector<BPrivate::DecodedChar> chars;
                    BPrivate::DecodeUtf8(fText.data() + offset, piece - offset, &chars);
                    for (size_t i = 0; i < chars.size(); i++)
                        dots += "\xE2\x80\xA2";
                    DrawString(dots.c_str(), BPoint(x + lineX, baseline));
                } else {
                    DrawString(fText.data() + offset, piece - offset, BPoint(x + lineX, baseline));
                }
                lineX += MeasureRange(offset, piece, lineX);
                offset = piece;
            }
            if (offset < runEnd) {
                lineX += CharWidth(offset, lineX);
                offset = NextCharOffset(offset);
            }
        }
        SetDrawingMode(B_OP_COPY);
    }
    SetFont(&fTypingStyle.font);
    DrawCaret();
}

void BTextView::DrawCaret()
{
    if (!fEditable || !IsFocus() || fSelectionStart != fSelectionEnd || Window() == nullptr
        || !Window()->IsActive())
        return;
    float height = 0;
    BPoint point = PointAt(fSelectionStart, &height);
    SetHighColor(fTypingStyle.color);
    StrokeLine(point, BPoint(point.x, point.y + height - 1));
}

// #pragma mark - the mouse

void BTextView::MouseDown(BPoint where)
{
    if (!fSelectable && !fEditable)
        return;
    if (!IsFocus())
        MakeFocus(true);
    int32 clicks = 1;
    int32 modifiers = 0;
    if (BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr) {
        message->FindInt32("clicks", &clicks);
        message->FindInt32("modifiers", &modifiers);
    }
    int32 offset = OffsetAt(where);
    if (clicks == 2 && fSelectable) {
        Select(WordStart(offset), WordEnd(offset));
    } else if (clicks >= 3 && fSelectable) {
        int32 line = LineAt(offset);
        Select(OffsetAt(line), OffsetAt(line + 1));
    } else if ((modifiers & B_SHIFT_KEY) != 0 && fSelectable) {
        int32 anchor = fAnchor;
        Select(std::min(anchor, offset), std::max(anchor, offset));
        fAnchor = anchor;
    } else {
        Select(offset, offset);
    }
    fTracking = fSelectable;
    if (fTracking)
        SetMouseEventMask(B_POINTER_EVENTS, B_LOCK_WINDOW_FOCUS);
}

void BTextView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTracking) {
        int32 offset = OffsetAt(where);
        int32 anchor = fAnchor;
        Select(std::min(anchor, offset), std::max(anchor, offset));
        fAnchor = anchor;
        ScrollToOffset(offset);
    }
    BView::MouseMoved(where, transit, dragMessage);
}

void BTextView::MouseUp(BPoint where)
{
    fTracking = false;
    BView::MouseUp(where);
}

// #pragma mark - the keyboard

int32 BTextView::WordStart(int32 offset) const
{
    while (offset > 0 && IsWordByte(fText[size_t(offset - 1)]))
        offset--;
    return offset;
}

int32 BTextView::WordEnd(int32 offset) const
{
    while (offset < TextLength() && IsWordByte(fText[size_t(offset)]))
        offset++;
    return offset;
}

void BTextView::MoveCaret(int32 offset, bool extend)
{
    offset = std::clamp(offset, int32(0), TextLength());
    if (extend && fSelectable) {
        int32 anchor = fAnchor;
        Select(std::min(anchor, offset), std::max(anchor, offset));
        fAnchor = anchor;
    } else {
        Select(offset, offset);
    }
    fTypingStyleSet = false;
    ScrollToOffset(offset);
}

void BTextView::HandleArrow(char key, bool extend)
{
    // The end of the selection that moves: the one away from the anchor.
    int32 moving = fAnchor == fSelectionStart ? fSelectionEnd : fSelectionStart;
    if (!extend && fSelectionStart != fSelectionEnd
        && (key == B_LEFT_ARROW || key == B_RIGHT_ARROW)) {
        MoveCaret(key == B_LEFT_ARROW ? fSelectionStart : fSelectionEnd, false);
        return;
    }
    float height = 0;
    BPoint point = PointAt(moving, &height);
    float keepX = fCaretX >= 0 ? fCaretX : point.x;
    switch (key) {
    case B_LEFT_ARROW:
        MoveCaret(PreviousCharOffset(moving), extend);
        return;
    case B_RIGHT_ARROW:
        MoveCaret(NextCharOffset(moving), extend);
        return;
    case B_UP_ARROW:
    case B_DOWN_ARROW: {
        int32 line = LineAt(moving) + (key == B_UP_ARROW ? -1 : 1);
        int32 target;
        if (line < 0)
            target = 0;
        else if (line >= CountLines())
            target = TextLength();
        else
            target = OffsetAt(BPoint(keepX, fLines[size_t(line)].top));
        MoveCaret(target, extend);
        fCaretX = keepX;
        return;
    }
    }
}

void BTextView::InsertTyped(const char* bytes, int32 length)
{
    std::vector<BPrivate::DecodedChar> chars;
    BPrivate::DecodeUtf8(bytes, length, &chars);
    for (const BPrivate::DecodedChar& decoded : chars) {
        if (fDisallowed.count(decoded.codePoint) != 0)
            return;
    }
    if (fSelectionStart != fSelectionEnd)
        Delete();
    int32 offset = fSelectionStart;
    std::string text(bytes, size_t(length));
    if (fAutoindent && text == "\n") {
        // The new line starts with the previous line's indentation.
        int32 lineStart = OffsetAt(LineAt(offset));
        int32 indentEnd = lineStart;
        while (indentEnd < offset
            && (fText[size_t(indentEnd)] == ' ' || fText[size_t(indentEnd)] == '\t'))
            indentEnd++;
        text += fText.substr(size_t(lineStart), size_t(indentEnd - lineStart));
    }
    Insert(offset, text.c_str(), int32(text.size()));
    fTypingStyleSet = false;
    ScrollToOffset(fSelectionStart);
}

void BTextView::DeleteBackward()
{
    if (fSelectionStart != fSelectionEnd) {
        Delete();
    } else if (fSelectionStart > 0) {
        Delete(PreviousCharOffset(fSelectionStart), fSelectionStart);
    }
    ScrollToOffset(fSelectionStart);
}

void BTextView::DeleteForward()
{
    if (fSelectionStart != fSelectionEnd)
        Delete();
    else if (fSelectionStart < TextLength())
        Delete(fSelectionStart, NextCharOffset(fSelectionStart));
    ScrollToOffset(fSelectionStart);
}

bool BTextView::ScrollWithKey(char key)
{
    BRect bounds = Bounds();
    float bottom
        = std::max(0.0f, TextHeight(0, CountLines() - 1) + fTextRect.top * 2 - bounds.Height() - 1);
    float top = bounds.top;
    float step = LineHeight(0);
    float page = std::max(step, bounds.Height() + 1 - step);
    switch (key) {
    case B_UP_ARROW:
        top -= step;
        break;
    case B_DOWN_ARROW:
        top += step;
        break;
    case B_PAGE_UP:
        top -= page;
        break;
    case B_PAGE_DOWN:
        top += page;
        break;
    case B_HOME:
        top = 0;
        break;
    case B_END:
        top = bottom;
        break;
    default:
        return false;
    }
    ScrollTo(BPoint(bounds.left, std::clamp(top, 0.0f, std::max(bottom, bounds.top))));
    return true;
}

void BTextView::KeyDown(const char* bytes, int32 numBytes)
{
    if (bytes == nullptr || numBytes <= 0)
        return;
    bool extend = (modifiers() & B_SHIFT_KEY) != 0;
    char key = bytes[0];
    if (!fEditable) {
        // A text that cannot be edited scrolls with the arrows, Page Up,
        // Page Down, Home and End; everything else (Tab among it) goes on.
        if (!ScrollWithKey(key))
            BView::KeyDown(bytes, numBytes);
        return;
    }
    switch (key) {
    case B_LEFT_ARROW:
    case B_RIGHT_ARROW:
    case B_UP_ARROW:
    case B_DOWN_ARROW:
        HandleArrow(key, extend);
        return;
    case B_HOME:
        MoveCaret(OffsetAt(LineAt(fSelectionStart)), extend);
        return;
    case B_END: {
        int32 line = LineAt(fSelectionEnd);
        int32 end = line + 1 < CountLines() ? PreviousCharOffset(OffsetAt(line + 1)) : TextLength();
        MoveCaret(end, extend);
        return;
    }
    case B_PAGE_UP:
    case B_PAGE_DOWN: {
        BPoint point = PointAt(fSelectionStart);
        float page = Bounds().Height();
        point.y += key == B_PAGE_UP ? -page : page;
        MoveCaret(OffsetAt(point), extend);
        return;
    }
    case B_BACKSPACE:
        DeleteBackward();
        return;
    case B_DELETE:
        DeleteForward();
        return;
    case B_ESCAPE:
    case B_INSERT:
    case B_FUNCTION_KEY:
        BView::KeyDown(bytes, numBytes);
        return;
    }
    // A field that takes no tab (DisallowChar) passes Tab on, which moves
    // the focus, as in a one-line field of a dialog.
    bool tabTaken = key == B_TAB && fDisallowed.count(uint32(B_TAB)) == 0;
    if (uint8(key) < 0x20 && key != B_ENTER && !tabTaken) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    InsertTyped(bytes, numBytes);
}
