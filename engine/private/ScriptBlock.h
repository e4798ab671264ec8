#pragma once

// Tagged blocks in shell scripts. A block is the line "#BEGIN_<tag>", the
// contents, and the line "#END_<tag>", each ended by a newline. Products
// put their lines into the user's start-up scripts this way, so that a later
// installation or the de-installer can find them again and take them out.
//
// A marker is recognised only as a whole line: the line, without surrounding
// blanks, tabs and carriage returns, must equal the marker. So the tag "Foo"
// never takes the block of "FooBar", and a script saved with CRLF line ends
// still matches. A block is well formed when its begin line is followed by
// its end line with no second begin line of the same tag, and no line that
// reads as another block's marker, in between; a
// begin line without its end (a block the user half deleted) makes the whole
// text malformed for that tag, and nothing is then changed, because any
// guess at where the block ends could delete the user's own lines.
//
// Everything here works on bytes: lines may be of any length and hold any
// byte but the newline.

#include <string>
#include <string_view>
#include <vector>

#include <SupportDefs.h>

class ScriptBlock {
public:
    // Byte range [begin, end) of one block in a text, from the first byte
    // of its begin line to the byte after its end line's newline (or the
    // end of the text when that line has none).
    struct Span {
        size_t begin;
        size_t end;
    };

    // What an insertion did.
    struct Insertion {
        // The block as written, from "#BEGIN_" to the end line's newline.
        std::string block;
        // A newline was written before the block, because the text's last
        // line had none. Taking the block out again removes it too.
        bool separatorAdded = false;
        // The number of old blocks of the tag that were taken out first.
        int32 removed = 0;
    };

    // Tags must be usable as markers: not empty, at most kMaxTagLength
    // bytes, no control characters (newline, carriage return, tab, NUL...)
    // and no blank at either end, which the line comparison would drop.
    static constexpr size_t kMaxTagLength = 200;
    static status_t CheckTag(const std::string& tag);
    // Contents must not hold a line that reads as a marker of any tag: after
    // blanks (spaces, tabs, carriage returns, vertical tabs, form feeds),
    // "#BEGIN_" or "#END_" and anything after it. Their own tag's would end
    // their block early; another tag's would let this product's lines open
    // or close another product's block, so that a removal of that block
    // took the user's lines between them. B_BAD_DATA for such contents.
    static status_t CheckContents(const std::string& contents);
    // The number (from 1) of the first such line, 0 when there is none;
    // *markerLine receives the line.
    static int32 FindMarkerLine(const std::string& contents, std::string* markerLine = nullptr);
    // Whether one line (without its newline) reads as a marker of any tag.
    static bool IsAnyMarkerLine(std::string_view line);

    static constexpr std::string_view kBeginPrefix = "#BEGIN_";
    static constexpr std::string_view kEndPrefix = "#END_";
    static std::string BeginLine(const std::string& tag) { return "#BEGIN_" + tag; }
    static std::string EndLine(const std::string& tag) { return "#END_" + tag; }

    // Whether `block` is one whole block of the tag as Format writes it: its
    // begin line, contents without a marker line of the tag, its end line,
    // each followed by a newline.
    static bool IsBlockOf(const std::string& tag, const std::string& block);

    // The block's bytes: begin line, contents, end line, each followed by a
    // newline.
    static std::string Format(const std::string& tag, const std::string& contents);

    // Whether one line (without its newline) is the marker.
    static bool IsMarkerLine(std::string_view line, std::string_view marker);

    // The well-formed blocks of the tag, in order. B_BAD_DATA when the text
    // is malformed for the tag (the spans found so far are then useless): a
    // begin line without its end, a second begin line before it, or a line
    // that reads as any other block's marker in between (no block written
    // here holds one, so the begin line is not one of ours, and the lines up
    // to an end line may be the user's).
    static status_t Find(const std::string& text, const std::string& tag, std::vector<Span>* spans);

    // The text without the blocks of the tag. When `separatorAdded` (the
    // block was written after a newline that the text lacked) and the last
    // block removed ended the text, that newline is taken out as well, so
    // that the text is again what it was before the block came.
    static status_t Remove(const std::string& text, const std::string& tag, bool separatorAdded,
        std::string* result, int32* removed = nullptr);

    // The text without the block whose bytes are exactly `block` (begin and
    // end lines included), which must be a whole block of the tag
    // (IsBlockOf; otherwise B_BAD_VALUE and nothing is taken out). The
    // block goes only when its bytes are in the text exactly once, starting
    // a line; lines of other products around it that read as this tag's
    // markers do not matter then. Twice or more (*copies says how often),
    // nobody can tell which copy was written: everything stays. Not there,
    // the blocks of the tag that differ (the user edited it, or another
    // installation of the product wrote its own) stay, and *others receives
    // their bytes (B_BAD_DATA when the text is malformed for the tag).
    static status_t RemoveExact(const std::string& text, const std::string& tag,
        const std::string& block, bool separatorAdded, std::string* result,
        int32* removed = nullptr, std::vector<std::string>* others = nullptr,
        int32* copies = nullptr);
    // How often `block` occurs in the text (overlapping copies included).
    static int32 CountCopies(const std::string& text, const std::string& block);

    // The text with the old blocks of the tag removed and the new block
    // appended at the end, after a newline when the last line has none.
    static status_t Insert(const std::string& text, const std::string& tag,
        const std::string& contents, std::string* result, Insertion* insertion = nullptr);
};

// `text` as one word for sh: in single quotes, each ' written as '\''.
std::string ShellQuoted(const std::string& text);
