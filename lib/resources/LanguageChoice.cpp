#include "LanguageChoice.h"

#include <AtomicFile.h>
#include <StorageScope.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::mutex sLock;
std::string sKey;

// A name cannot break the file's lines: tabs and line breaks become spaces.
std::string Field(const char* text)
{
    std::string field = text != nullptr ? text : "";
    for (char& c : field) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return field;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line))
        lines.push_back(line);
    return lines;
}

// The code of a line that belongs to `key`, or "".
std::string CodeOf(const std::string& line, const std::string& key)
{
    if (line.size() <= key.size() + 1 || line.compare(0, key.size(), key) != 0
        || line[key.size()] != '\t')
        return "";
    return line.substr(key.size() + 1);
}

bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Writes the lines beside the file and renames them over it, so that a
// reader never sees half a file.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines)
{
    if (!MakeFolders(path))
        return false;
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return BPrivate::WriteFileAtomically(path, text) == B_OK;
}

} // namespace

void LanguageChoice::SetKey(const char* signature, const char* productName)
{
    std::lock_guard guard(sLock);
    std::string signatureField = Field(signature);
    std::string nameField = Field(productName);
    if (signatureField.empty() && nameField.empty())
        sKey.clear();
    else
        sKey = signatureField + "\t" + nameField;
}

bool LanguageChoice::HasKey()
{
    std::lock_guard guard(sLock);
    return !sKey.empty();
}

std::string LanguageChoice::Path()
{
    // The password database's home when the environment is not believed
    // (Environment.h).
    return BPrivate::StorageScope::XdgFolder("XDG_CONFIG_HOME", ".config") + "/brenvik/language";
}

std::optional<std::string> LanguageChoice::Read()
{
    std::lock_guard guard(sLock);
    std::string path = Path();
    if (sKey.empty() || path.empty())
        return std::nullopt;
    for (const std::string& line : ReadLines(path)) {
        std::string code = CodeOf(line, sKey);
        if (!code.empty())
            return code;
    }
    return std::nullopt;
}

bool LanguageChoice::Write(const char* code)
{
    std::lock_guard guard(sLock);
    std::string path = Path();
    if (sKey.empty() || path.empty() || code == nullptr)
        return false;
    std::vector<std::string> lines;
    for (const std::string& line : ReadLines(path)) {
        if (CodeOf(line, sKey).empty())
            lines.push_back(line);
    }
    lines.push_back(sKey + "\t" + Field(code));
    return WriteLines(path, lines);
}

void LanguageChoice::Remove()
{
    std::lock_guard guard(sLock);
    std::string path = Path();
    if (sKey.empty() || path.empty())
        return;
    std::vector<std::string> lines = ReadLines(path);
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (CodeOf(line, sKey).empty())
            kept.push_back(line);
    }
    if (kept.size() != lines.size())
        WriteLines(path, kept);
}
