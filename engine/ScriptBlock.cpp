#include "ScriptBlock.h"

#include <algorithm>

namespace {

bool IsTrimmed(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
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

status_t ScriptBlock::CheckContents(const std::string& tag, const std::string& contents)
{
    std::string begin = BeginLine(tag);
    std::string end = EndLine(tag);
    status_t status = B_OK;
    ForEachLine(contents, [&](size_t start, size_t stop) {
        std::string_view line(contents.data() + start, stop - start);
        if (IsMarkerLine(line, begin) || IsMarkerLine(line, end))
            status = B_BAD_DATA;
    });
    return status;
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
    return RemoveMatching(text, tag, nullptr, separatorAdded, result, removed, nullptr);
}

status_t ScriptBlock::RemoveExact(const std::string& text, const std::string& tag,
    const std::string& block, bool separatorAdded, std::string* result, int32* removed,
    std::vector<std::string>* others)
{
    return RemoveMatching(text, tag, &block, separatorAdded, result, removed, others);
}

status_t ScriptBlock::RemoveMatching(const std::string& text, const std::string& tag,
    const std::string* block, bool separatorAdded, std::string* result, int32* removed,
    std::vector<std::string>* others)
{
    std::vector<Span> spans;
    status_t status = Find(text, tag, &spans);
    if (status != B_OK)
        return status;
    if (others != nullptr)
        others->clear();
    std::string kept;
    kept.reserve(text.size());
    size_t from = 0;
    int32 taken = 0;
    bool lastTakenEndsText = false;
    for (const Span& span : spans) {
        std::string_view bytes(text.data() + span.begin, span.end - span.begin);
        if (block != nullptr && bytes != *block) {
            if (others != nullptr)
                others->emplace_back(bytes);
            continue;
        }
        kept.append(text, from, span.begin - from);
        from = span.end;
        taken++;
        lastTakenEndsText = span.end == text.size();
    }
    kept.append(text, from, std::string::npos);
    if (separatorAdded && lastTakenEndsText && !kept.empty() && kept.back() == '\n')
        kept.pop_back();
    if (removed != nullptr)
        *removed = taken;
    *result = std::move(kept);
    return B_OK;
}

status_t ScriptBlock::Insert(const std::string& text, const std::string& tag,
    const std::string& contents, std::string* result, Insertion* insertion)
{
    status_t status = CheckContents(tag, contents);
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
