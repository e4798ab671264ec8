// RenderFont::TruncateString: fitting a string into a width with the
// platform's ellipsis "…" (U+2026) in place of what is cut.
//
// - B_TRUNCATE_END keeps the beginning: "Installation fol…".
// - B_TRUNCATE_BEGINNING keeps the end: "…/apps/Foo/readme".
// - B_TRUNCATE_MIDDLE keeps both ends, the beginning getting up to half of
//   the room: "/boot/ho…o/readme".
// - B_TRUNCATE_SMART cuts out whole words or path components: the kept
//   beginning ends just after a separator (a space or one of / \ - _) and
//   the kept end starts at one. Of all such cuts that fit, those keeping
//   something of both ends come first, then the one keeping the most
//   characters: "/boot/home/…/readme". When no such cut keeps at least half
//   as many characters as the middle cut would, it cuts in the middle.
//
// Widths are sums of character advances (the layer does not kern), so the
// result always fits: every character kept is measured exactly as drawn.

#include <RenderFont.h>

#include <cstring>

namespace BPrivate {

namespace {

constexpr char kEllipsis[] = "\xe2\x80\xa6";
// Tolerance for sums of fractional advances.
constexpr float kSlack = 0.001f;

struct Measured {
    std::string text;
    std::vector<GlyphPlacement> places;
    float total = 0;

    size_t Count() const { return places.size(); }
    // Width of the first `count` characters.
    float PrefixWidth(size_t count) const
    {
        return count < places.size() ? places[count].x : total;
    }
    // Width of the characters from `start` to the end.
    float SuffixWidth(size_t start) const { return total - PrefixWidth(start); }
    size_t ByteOffset(size_t index) const
    {
        return index < places.size() ? size_t(places[index].byteOffset) : text.size();
    }
    bool IsBoundary(size_t index) const
    {
        if (index >= places.size())
            return false;
        char c = text[size_t(places[index].byteOffset)];
        return c != '\0' && std::strchr(" /\\-_", c) != nullptr;
    }
};

size_t LongestPrefix(const Measured& measured, float room)
{
    size_t count = 0;
    while (count < measured.Count() && measured.PrefixWidth(count + 1) <= room + kSlack)
        count++;
    return count;
}

size_t ShortestSuffixStart(const Measured& measured, size_t from, float room)
{
    size_t start = measured.Count();
    while (start > from && measured.SuffixWidth(start - 1) <= room + kSlack)
        start--;
    return start;
}

// The boundary-aligned cut keeping the most characters within `room`:
// `end` characters at the beginning and the characters from `start` on.
// Returns false when there is none.
bool BestWordCut(const Measured& measured, float room, size_t* end, size_t* start)
{
    size_t count = measured.Count();
    size_t bestKept = 0;
    bool bestBothEnds = false;
    bool found = false;
    for (size_t k = 0; k <= count; k++) {
        if (k > 0 && !measured.IsBoundary(k - 1))
            continue;
        float left = room - measured.PrefixWidth(k);
        if (left < -kSlack)
            break;
        for (size_t s = k; s <= count; s++) {
            if (s < count && !measured.IsBoundary(s))
                continue;
            if (measured.SuffixWidth(s) > left + kSlack)
                continue;
            size_t kept = k + (count - s);
            bool bothEnds = k > 0 && s < count;
            if (kept > 0
                && (!found || (bothEnds && !bestBothEnds)
                    || (bothEnds == bestBothEnds && kept >= bestKept))) {
                found = true;
                bestKept = kept;
                bestBothEnds = bothEnds;
                *end = k;
                *start = s;
            }
            break;
        }
    }
    return found;
}

} // namespace

std::string RenderFont::TruncateString(const char* string, uint32 mode, float width) const
{
    if (string == nullptr)
        return std::string();
    RenderFont utf8 = *this;
    utf8.fEncoding = B_UNICODE_UTF8;
    Measured measured;
    measured.text = ToUtf8(string, -1);
    measured.total
        = utf8.Layout(measured.text.data(), int32(measured.text.size()), 1.0f, &measured.places);
    if (measured.total <= width + kSlack)
        return measured.text;
    float room = width - utf8.StringWidth(kEllipsis);
    if (room < -kSlack)
        return std::string();

    const std::string& text = measured.text;
    switch (mode) {
    case B_TRUNCATE_BEGINNING: {
        size_t start = ShortestSuffixStart(measured, 0, room);
        return kEllipsis + text.substr(measured.ByteOffset(start));
    }
    case B_TRUNCATE_MIDDLE:
    case B_TRUNCATE_SMART: {
        size_t end = LongestPrefix(measured, room / 2);
        size_t start = ShortestSuffixStart(measured, end, room - measured.PrefixWidth(end));
        size_t wordEnd = 0;
        size_t wordStart = 0;
        if (mode == B_TRUNCATE_SMART && BestWordCut(measured, room, &wordEnd, &wordStart)
            && 2 * (wordEnd + measured.Count() - wordStart) >= end + measured.Count() - start) {
            end = wordEnd;
            start = wordStart;
        }
        return text.substr(0, measured.ByteOffset(end)) + kEllipsis
            + text.substr(measured.ByteOffset(start));
    }
    case B_TRUNCATE_END:
    default: {
        size_t end = LongestPrefix(measured, room);
        return text.substr(0, measured.ByteOffset(end)) + kEllipsis;
    }
    }
}

} // namespace BPrivate
