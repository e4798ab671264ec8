#include "ShellAssignments.h"

#include <cctype>
#include <cstring>

namespace {

bool IsNameStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Characters that stand for themselves outside quotes in every shell we
// translate for. '~' is missing on purpose: the shell expands it.
bool IsPlain(char c)
{
    return IsNameChar(c) || std::strchr("./:,+@%=-", c) != nullptr;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

void AddLiteral(std::vector<ShellAssignments::Piece>* pieces, char c)
{
    if (pieces->empty() || pieces->back().isVariable)
        pieces->push_back({ false, "" });
    pieces->back().text += c;
}

// Reads "$NAME" or "${NAME}" at value[*pos] (which is '$').
bool ReadVariable(
    const std::string& value, size_t* pos, std::vector<ShellAssignments::Piece>* pieces)
{
    size_t at = *pos + 1;
    bool braced = at < value.size() && value[at] == '{';
    if (braced)
        at++;
    size_t start = at;
    if (at >= value.size() || !IsNameStart(value[at]))
        return false;
    while (at < value.size() && IsNameChar(value[at]))
        at++;
    std::string name = value.substr(start, at - start);
    if (braced) {
        if (at >= value.size() || value[at] != '}')
            return false;
        at++;
    }
    pieces->push_back({ true, name });
    *pos = at;
    return true;
}

bool ReadDoubleQuoted(
    const std::string& value, size_t* pos, std::vector<ShellAssignments::Piece>* pieces)
{
    size_t at = *pos + 1;
    while (at < value.size() && value[at] != '"') {
        char c = value[at];
        if (c == '\\' || c == '`')
            return false;
        if (c == '$') {
            if (!ReadVariable(value, &at, pieces))
                return false;
            continue;
        }
        AddLiteral(pieces, c);
        at++;
    }
    if (at >= value.size())
        return false;
    *pos = at + 1;
    return true;
}

// Reads the word that is an assignment's value; only blanks may follow it.
bool ReadValue(const std::string& value, std::vector<ShellAssignments::Piece>* pieces)
{
    size_t at = 0;
    while (at < value.size() && !IsBlank(value[at])) {
        char c = value[at];
        if (c == '$') {
            if (!ReadVariable(value, &at, pieces))
                return false;
        } else if (c == '"') {
            if (!ReadDoubleQuoted(value, &at, pieces))
                return false;
        } else if (c == '\'') {
            size_t close = value.find('\'', at + 1);
            if (close == std::string::npos)
                return false;
            for (size_t i = at + 1; i < close; i++)
                AddLiteral(pieces, value[i]);
            at = close + 1;
        } else if (IsPlain(c)) {
            AddLiteral(pieces, c);
            at++;
        } else {
            return false;
        }
    }
    while (at < value.size() && IsBlank(value[at]))
        at++;
    return at == value.size();
}

bool ParseLine(std::string line, std::vector<ShellAssignments::Assignment>* assignments)
{
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        start++;
    line.erase(0, start);
    while (!line.empty() && IsBlank(line.back()))
        line.pop_back();
    if (line.empty() || line[0] == '#')
        return true;
    const char kExport[] = "export";
    size_t exportLength = sizeof(kExport) - 1;
    if (line.compare(0, exportLength, kExport) == 0 && line.size() > exportLength
        && IsBlank(line[exportLength])) {
        line.erase(0, exportLength);
        while (!line.empty() && IsBlank(line[0]))
            line.erase(0, 1);
        // "export NAME" after an assignment on a line of its own.
        if (ShellAssignments::IsName(line))
            return true;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    ShellAssignments::Assignment assignment;
    assignment.name = line.substr(0, equals);
    if (!ShellAssignments::IsName(assignment.name))
        return false;
    if (!ReadValue(line.substr(equals + 1), &assignment.value))
        return false;
    assignments->push_back(std::move(assignment));
    return true;
}

// A literal in fish's single quotes, where only '\'' and '\\' are special.
std::string FishQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

} // namespace

bool ShellAssignments::IsName(const std::string& name)
{
    if (name.empty() || !IsNameStart(name[0]))
        return false;
    for (char c : name) {
        if (!IsNameChar(c))
            return false;
    }
    return true;
}

bool ShellAssignments::Parse(const std::string& block, std::vector<Assignment>* assignments)
{
    assignments->clear();
    size_t start = 0;
    while (start <= block.size()) {
        size_t end = block.find('\n', start);
        if (end == std::string::npos)
            end = block.size();
        if (!ParseLine(block.substr(start, end - start), assignments)) {
            assignments->clear();
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool ShellAssignments::ToEnvironmentD(
    const std::vector<Assignment>& assignments, std::string* lines)
{
    std::string text;
    for (const Assignment& assignment : assignments) {
        text += assignment.name + "=\"";
        for (const Piece& piece : assignment.value) {
            if (piece.isVariable) {
                text += "${" + piece.text + "}";
                continue;
            }
            if (piece.text.find_first_of("$\\\"'`") != std::string::npos)
                return false;
            text += piece.text;
        }
        text += "\"\n";
    }
    *lines = std::move(text);
    return true;
}

std::string ShellAssignments::ToFish(const std::vector<Assignment>& assignments)
{
    std::string text;
    for (const Assignment& assignment : assignments) {
        text += "set -gx " + assignment.name + " ";
        if (assignment.value.empty())
            text += "''";
        // Adjacent quoted words make one argument in fish. A variable in
        // double quotes gives one word even when it is unset or a list;
        // fish joins path variables (names ending in PATH) with colons.
        for (const Piece& piece : assignment.value)
            text += piece.isVariable ? "\"$" + piece.text + "\"" : FishQuoted(piece.text);
        text += "\n";
    }
    return text;
}
