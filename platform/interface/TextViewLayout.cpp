// BTextView: breaking the text into lines and the geometry questions
// (offsets, points, lines, heights) answered from the lines.

#include <TextView.h>

#include <ScrollBar.h>

#include "RenderAccess.h"

#include <algorithm>
#include <cmath>

void BTextView::Relayout()
{
    // The advance of every character, measured one run of a style at a time
    // (a tab's depends on where it stands and is found while breaking).
    int32 length = TextLength();
    fAdvances.assign(size_t(length), 0);
    std::vector<BPrivate::GlyphPlacement> glyphs;
    for (int32 offset = 0; offset < length; offset = RunEnd(offset, length)) {
        int32 end = RunEnd(offset, length);
        const Style& style = fStyles[fStyleOf[size_t(offset)]];
        BPrivate::RenderAccess::Font(style.font)
            .Layout(fText.data() + offset, end - offset, 1, &glyphs);
        for (const BPrivate::GlyphPlacement& glyph : glyphs)
            fAdvances[size_t(offset) + size_t(glyph.byteOffset)] = glyph.advance;
    }

    fLines.clear();
    float available = fWordWrap ? fTextRect.Width() + 1 : 1e9f;
    float top = fTextRect.top;
    int32 lineStart = 0;
    while (true) {
        int32 end = -1;
        bool newline = false;
        float x = 0;
        int32 breakAt = -1;
        int32 i = lineStart;
        while (i < length) {
            char c = fText[size_t(i)];
            if (c == '\n') {
                end = i;
                newline = true;
                break;
            }
            int32 next = NextCharOffset(i);
            float width = CharWidth(i, x);
            bool space = c == ' ' || c == '\t';
            // Spaces may hang past the edge; a word that does not fit moves
            // to the next line, or is cut when it is wider than a line.
            if (!space && x + width > available && i > lineStart) {
                end = breakAt > lineStart ? breakAt : i;
                break;
            }
            x += width;
            if (space)
                breakAt = next;
            i = next;
        }
        if (end < 0)
            end = length;

        Line line { lineStart, top, 0, 0, 0 };
        font_height height { 0, 0, 0 };
        float maxAscent = 0;
        float maxDescent = 0;
        float maxLeading = 0;
        int32 styleFrom = lineStart < length ? lineStart : std::max(int32(0), length - 1);
        int32 styleTo = std::max(end, styleFrom + 1);
        for (int32 offset = styleFrom; offset < styleTo;) {
            const Style& style = length > 0 ? StyleAt(offset) : fTypingStyle;
            style.font.GetHeight(&height);
            maxAscent = std::max(maxAscent, height.ascent);
            maxDescent = std::max(maxDescent, height.descent);
            maxLeading = std::max(maxLeading, height.leading);
            offset = length > 0 ? RunEnd(offset, std::min(styleTo, length)) : styleTo;
            if (offset >= length)
                break;
        }
        line.ascent = std::ceil(maxAscent);
        line.height = line.ascent + std::ceil(maxDescent) + std::ceil(maxLeading);
        int32 contentEnd = end;
        while (contentEnd > lineStart
            && (fText[size_t(contentEnd - 1)] == ' ' || fText[size_t(contentEnd - 1)] == '\t'))
            contentEnd--;
        line.width = MeasureRange(lineStart, contentEnd, 0);
        fLines.push_back(line);
        top += line.height;

        if (!newline && end >= length)
            break;
        lineStart = newline ? end + 1 : end;
        if (lineStart > length)
            break;
        if (lineStart == length && !newline)
            break;
    }
    FixupScrollBars();
}

float BTextView::CharWidth(int32 offset, float x) const
{
    if (fText[size_t(offset)] == '\t') {
        float advance = fTabWidth - std::fmod(x, fTabWidth);
        return advance < 1 ? advance + fTabWidth : advance;
    }
    return fAdvances[size_t(offset)];
}

float BTextView::MeasureRange(int32 start, int32 end, float lineStart) const
{
    float x = lineStart;
    for (int32 offset = start; offset < end; offset = NextCharOffset(offset))
        x += CharWidth(offset, x);
    return x - lineStart;
}

int32 BTextView::NextCharOffset(int32 offset) const
{
    int32 length = TextLength();
    if (offset >= length)
        return length;
    offset++;
    while (offset < length && (uint8(fText[size_t(offset)]) & 0xc0) == 0x80)
        offset++;
    return offset;
}

int32 BTextView::PreviousCharOffset(int32 offset) const
{
    if (offset <= 0)
        return 0;
    offset--;
    while (offset > 0 && (uint8(fText[size_t(offset)]) & 0xc0) == 0x80)
        offset--;
    return offset;
}

float BTextView::LineLeft(const Line& line) const
{
    float room = fTextRect.Width() + 1 - line.width;
    if (fAlignment == B_ALIGN_RIGHT)
        return fTextRect.left + std::max(0.0f, room);
    if (fAlignment == B_ALIGN_CENTER)
        return fTextRect.left + std::max(0.0f, std::floor(room / 2));
    return fTextRect.left;
}

void BTextView::FixupScrollBars()
{
    BScrollBar* bar = ScrollBar(B_VERTICAL);
    if (bar == nullptr || fLines.empty())
        return;
    // The text, with the text rectangle's top margin below it too.
    float data = fTextRect.top * 2 + TextHeight(0, CountLines() - 1);
    float visible = Bounds().Height() + 1;
    bar->SetRange(0, std::max(0.0f, data - visible));
    bar->SetProportion(data > 0 ? std::min(1.0f, visible / data) : 1.0f);
    float line = LineHeight(0);
    bar->SetSteps(line, std::max(line, visible - line));
}

void BTextView::InvalidateLines(int32 fromLine, int32 toLine)
{
    if (fLines.empty())
        return;
    fromLine = std::clamp(fromLine, int32(0), CountLines() - 1);
    toLine = std::clamp(toLine, int32(0), CountLines() - 1);
    if (fromLine > toLine)
        std::swap(fromLine, toLine);
    const Line& first = fLines[size_t(fromLine)];
    const Line& last = fLines[size_t(toLine)];
    BRect bounds = Bounds();
    Invalidate(BRect(bounds.left, first.top, bounds.right, last.top + last.height));
}

// #pragma mark - geometry

int32 BTextView::CountLines() const
{
    return int32(fLines.size());
}

int32 BTextView::CurrentLine() const
{
    return LineAt(fSelectionStart);
}

void BTextView::GoToLine(int32 lineNumber)
{
    lineNumber = std::clamp(lineNumber, int32(0), CountLines() - 1);
    int32 offset = OffsetAt(lineNumber);
    Select(offset, offset);
    ScrollToOffset(offset);
}

int32 BTextView::LineAt(int32 offset) const
{
    offset = std::clamp(offset, int32(0), TextLength());
    int32 line = 0;
    for (int32 i = 0; i < CountLines(); i++) {
        if (fLines[size_t(i)].offset <= offset)
            line = i;
        else
            break;
    }
    return line;
}

int32 BTextView::LineAt(BPoint point) const
{
    if (fLines.empty())
        return 0;
    for (int32 i = 0; i < CountLines(); i++) {
        const Line& line = fLines[size_t(i)];
        if (point.y < line.top + line.height)
            return i;
    }
    return CountLines() - 1;
}

BPoint BTextView::PointAt(int32 offset, float* height) const
{
    offset = std::clamp(offset, int32(0), TextLength());
    const Line& line = fLines[size_t(LineAt(offset))];
    float x = LineLeft(line) + MeasureRange(line.offset, offset, 0);
    if (height != nullptr)
        *height = line.height;
    return BPoint(x, line.top);
}

int32 BTextView::OffsetAt(BPoint point) const
{
    int32 lineIndex = LineAt(point);
    const Line& line = fLines[size_t(lineIndex)];
    int32 end = lineIndex + 1 < CountLines() ? fLines[size_t(lineIndex) + 1].offset : TextLength();
    // The end of a line that was broken or ended by a newline is before that
    // character, so that a click right of the text lands on this line.
    if (end > line.offset && lineIndex + 1 < CountLines())
        end = PreviousCharOffset(end);
    float x = LineLeft(line);
    for (int32 offset = line.offset; offset < end; offset = NextCharOffset(offset)) {
        float width = CharWidth(offset, x - LineLeft(line));
        if (point.x < x + width / 2)
            return offset;
        x += width;
    }
    return end;
}

int32 BTextView::OffsetAt(int32 line) const
{
    if (line < 0)
        return 0;
    if (line >= CountLines())
        return TextLength();
    return fLines[size_t(line)].offset;
}

float BTextView::LineWidth(int32 lineNumber) const
{
    if (lineNumber < 0 || lineNumber >= CountLines())
        return 0;
    return fLines[size_t(lineNumber)].width;
}

float BTextView::LineHeight(int32 lineNumber) const
{
    if (lineNumber < 0 || lineNumber >= CountLines())
        return 0;
    return fLines[size_t(lineNumber)].height;
}

float BTextView::TextHeight(int32 startLine, int32 endLine) const
{
    startLine = std::max(startLine, int32(0));
    endLine = std::min(endLine, CountLines() - 1);
    float height = 0;
    for (int32 line = startLine; line <= endLine; line++)
        height += fLines[size_t(line)].height;
    return height;
}

void BTextView::GetTextRegion(int32 startOffset, int32 endOffset, BRegion* outRegion) const
{
    if (outRegion == nullptr)
        return;
    outRegion->MakeEmpty();
    startOffset = std::clamp(startOffset, int32(0), TextLength());
    endOffset = std::clamp(endOffset, int32(0), TextLength());
    if (startOffset >= endOffset)
        return;
    int32 firstLine = LineAt(startOffset);
    int32 lastLine = LineAt(endOffset);
    for (int32 index = firstLine; index <= lastLine; index++) {
        const Line& line = fLines[size_t(index)];
        float left = index == firstLine ? PointAt(startOffset).x : fTextRect.left;
        float right = index == lastLine ? PointAt(endOffset).x - 1 : fTextRect.right;
        if (right < left)
            continue;
        outRegion->Include(BRect(left, line.top, right, line.top + line.height - 1));
    }
}

void BTextView::ScrollToOffset(int32 offset)
{
    float height = 0;
    BPoint point = PointAt(offset, &height);
    BRect bounds = Bounds();
    float y = bounds.top;
    if (point.y < bounds.top)
        y = point.y;
    else if (point.y + height > bounds.bottom + 1)
        y = point.y + height - bounds.Height() - 1;
    float x = bounds.left;
    if (!fWordWrap) {
        if (point.x < bounds.left)
            x = point.x;
        else if (point.x > bounds.right)
            x = point.x - bounds.Width();
    }
    if (x != bounds.left || y != bounds.top)
        ScrollTo(BPoint(std::max(0.0f, x), std::max(0.0f, y)));
}

void BTextView::ScrollToSelection()
{
    ScrollToOffset(fSelectionStart);
}
