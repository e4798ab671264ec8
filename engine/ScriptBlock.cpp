#include "ScriptBlock.h"

#include <algorithm>

namespace {

bool IsTrimmed(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// What reads as a marker to ScriptBlock, or to any other tool or person:
// blanks of any kind before the "#".
bool IsBlank(char c)
{
    return IsTrimmed(c) || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view line)
{
    while (!line.empty() && IsTrimmed(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && IsTrimmed(line.back()))
        line.remove_suffix(1);
    return line;
}

// Calls visit(start, end) for each line of text: [start, end) holds the
// line without its newline; the next line starts at end + 1.
template <typename Visit> void ForEachLine(const std::string& text, Visit visit)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        visit(start, end);
        start = end + 1;
    }
}

} // namespace

status_t ScriptBlock::CheckTag(const std::string& tag)
{
    if (tag.empty() || tag.size() > kMaxTagLength)
        return B_BAD_VALUE;
    for (unsigned char c : tag) {
        if (c < 0x20 || c == 0x7F)
            return B_BAD_VALUE;
    }
    if (tag.front() == ' ' || tag.back() == ' ')
        return B_BAD_VALUE;
    return B_OK;
}

bool ScriptBlock::IsAnyMarkerLine(std::string_view line)
{
    while (!line.empty() && IsBlank(line.front()))
        line.remove_prefix(1);
    return line.substr(0, kBeginPrefix.size()) == kBeginPrefix
        || line.substr(0, kEndPrefix.size()) == kEndPrefix;
}

int32 ScriptBlock::FindMarkerLine(const std::string& contents, std::string* markerLine)
{
    int32 number = 0;
    int32 found = 0;
    ForEachLine(contents, [&](size_t start, size_t stop) {
        number++;
        std::string_view line(contents.data() + start, stop - start);
        if (found == 0 && IsAnyMarkerLine(line)) {
            found = number;
            if (markerLine != nullptr)
                *markerLine = std::string(line);
        }
    });
    return found;
}

status_t ScriptBlock::CheckContents(const std::string& contents)
{
    return FindMarkerLine(contents) == 0 ? B_OK : B_BAD_DATA;
}

bool ScriptBlock::IsBlockOf(const std::string& tag, const std::string& block)
{
    const std::string head = BeginLine(tag) + "\n";
    const std::string tail = "\n" + EndLine(tag) + "\n";
    if (CheckTag(tag) != B_OK || block.size() < head.size() + tail.size()
        || block.compare(0, head.size(), head) != 0
        || block.compare(block.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    // Between its own begin and end lines, a line of the tag's markers would
    // make it two blocks, or one and a half.
    std::string contents = block.substr(head.size(), block.size() - head.size() - tail.size());
    bool whole = true;
    ForEachLine(contents, [&](size_t start, size_t stop) {
        std::string_view line(contents.data() + start, stop - start);
        if (IsMarkerLine(line, BeginLine(tag)) || IsMarkerLine(line, EndLine(tag)))
            whole = false;
    });
    return whole;
}

std::string ScriptBlock::Format(const std::string& tag, const std::string& contents)
{
    return BeginLine(tag) + "\n" + contents + "\n" + EndLine(tag) + "\n";
}

bool ScriptBlock::IsMarkerLine(std::string_view line, std::string_view marker)
{
    return Trimmed(line) == marker;
}

status_t ScriptBlock::Find(
    const std::string& text, const std::string& tag, std::vector<Span>* spans)
{
    status_t status = CheckTag(tag);
    if (status != B_OK)
        return status;
    std::string begin = BeginLine(tag);
    std::string end = EndLine(tag);
    spans->clear();
    bool open = false;
    size_t openedAt = 0;
    ForEachLine(text, [&](size_t start, size_t stop) {
        std::string_view line(text.data() + start, stop - start);
        if (IsMarkerLine(line, begin)) {
            // A second begin before the end: nobody can tell which lines
            // belong to which block.
            if (open)
                status = B_BAD_DATA;
            open = true;
            openedAt = start;
        } else if (IsMarkerLine(line, end) && open) {
            spans->push_back({ openedAt, std::min(stop + 1, text.size()) });
            open = false;
        } else if (open && IsAnyMarkerLine(line)) {
            // Another block's marker inside this one: no block of ours holds
            // one, so the begin line is not ours (another product's lines
            // may hold it), and what follows up to an end line may well be
            // the user's.
            status = B_BAD_DATA;
        }
        // An end line outside a block is the user's text; it stays.
    });
    if (open)
        status = B_BAD_DATA;
    return status;
}

status_t ScriptBlock::Remove(const std::string& text, const std::string& tag, bool separatorAdded,
    std::string* result, int32* removed)
{
    std::vector<Span> spans;
    status_t status = Find(text, tag, &spans);
    if (status != B_OK)
        return status;
    std::string kept;
    kept.reserve(text.size());
    size_t from = 0;
    bool lastTakenEndsText = false;
    for (const Span& span : spans) {
        kept.append(text, from, span.begin - from);
        from = span.end;
        lastTakenEndsText = span.end == text.size();
    }
    kept.append(text, from, std::string::npos);
    if (separatorAdded && lastTakenEndsText && !kept.empty() && kept.back() == '\n')
        kept.pop_back();
    if (removed != nullptr)
        *removed = int32(spans.size());
    *result = std::move(kept);
    return B_OK;
}

int32 ScriptBlock::CountCopies(const std::string& text, const std::string& block)
{
    if (block.empty())
        return 0;
    int32 copies = 0;
    for (size_t at = text.find(block); at != std::string::npos; at = text.find(block, at + 1))
        copies++;
    return copies;
}

status_t ScriptBlock::RemoveExact(const std::string& text, const std::string& tag,
    const std::string& block, bool separatorAdded, std::string* result, int32* removed,
    std::vector<std::string>* others, int32* copies)
{
    if (removed != nullptr)
        *removed = 0;
    if (others != nullptr)
        others->clear();
    if (copies != nullptr)
        *copies = 0;
    // Only the bytes of one whole block of the tag are ever taken out: a
    // record that names anything else cannot make the removal reach the
    // user's lines.
    if (!IsBlockOf(tag, block))
        return B_BAD_VALUE;
    int32 found = CountCopies(text, block);
    if (copies != nullptr)
        *copies = found;
    size_t at = text.find(block);
    if (found == 1 && (at == 0 || text[at - 1] == '\n')) {
        // There once, as a whole line range: those bytes are the block that
        // was written, whatever lines of other products surround it (a
        // begin or end line of this tag among them changes nothing).
        std::string kept = text.substr(0, at) + text.substr(at + block.size());
        if (separatorAdded && at + block.size() == text.size() && !kept.empty()
            && kept.back() == '\n')
            kept.pop_back();
        if (removed != nullptr)
            *removed = 1;
        *result = std::move(kept);
        return B_OK;
    }
    *result = text;
    // Twice or more: nobody can tell which copy is the one that was written,
    // so all stay. Not there: what blocks of the tag there are stay too,
    // and the caller hears of them.
    if (found > 1)
        return B_OK;
    std::vector<Span> spans;
    status_t status = Find(text, tag, &spans);
    if (status != B_OK)
        return status;
    for (const Span& span : spans) {
        if (others != nullptr)
            others->emplace_back(text, span.begin, span.end - span.begin);
    }
    return B_OK;
}

status_t ScriptBlock::Insert(const std::string& text, const std::string& tag,
    const std::string& contents, std::string* result, Insertion* insertion)
{
    status_t status = CheckContents(contents);
    if (status != B_OK)
        return status;
    Insertion done;
    std::string kept;
    status = Remove(text, tag, false, &kept, &done.removed);
    if (status != B_OK)
        return status;
    if (!kept.empty() && kept.back() != '\n') {
        kept += '\n';
        done.separatorAdded = true;
    }
    done.block = Format(tag, contents);
    kept += done.block;
    *result = std::move(kept);
    if (insertion != nullptr)
        *insertion = std::move(done);
    return B_OK;
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}
