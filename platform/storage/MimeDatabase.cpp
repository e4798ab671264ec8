#include "MimeDatabase.h"

#include "AtomicFile.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <Directory.h>

#include "PathHelpers.h"
#include "StorageScope.h"

namespace BPrivate {

namespace {

std::string Lower(const char* text)
{
    std::string lower = text;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string SystemFolder()
{
    return StorageScope::SystemRoot() + "/var/lib/brenvik/mime";
}

std::string UserFolder()
{
    return JoinPath(StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share"), "brenvik/mime");
}

std::string EscapeValue(const std::string& value)
{
    std::string escaped;
    for (char c : value) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    return escaped;
}

std::string UnescapeValue(const std::string& value)
{
    std::string plain;
    for (size_t i = 0; i < value.size(); i++) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            i++;
            plain += value[i] == 'n' ? '\n' : value[i];
        } else {
            plain += value[i];
        }
    }
    return plain;
}

status_t WriteAtomically(const std::string& path, const std::string& text)
{
    std::string folder;
    std::string leaf;
    SplitPath(path, &folder, &leaf);
    status_t status = create_directory(folder.c_str(), 0755);
    if (status != B_OK)
        return status;
    // Other users read the system store.
    return WriteFileAtomically(path, text, 0644);
}

} // namespace

std::string MimeDatabase::WritableFolder()
{
    return StorageScope::Current() == B_USER_SCOPE ? UserFolder() : SystemFolder();
}

std::vector<std::string> MimeDatabase::ReadableFolders()
{
    if (StorageScope::Current() == B_USER_SCOPE)
        return { UserFolder(), SystemFolder() };
    return { SystemFolder() };
}

std::string MimeDatabase::FileFor(const std::string& folder, const char* type)
{
    // The supertype's folder gets a suffix too, so that no type (not even
    // one like "../x", which is a valid MIME string) can lead outside the
    // store.
    std::string lower = Lower(type);
    size_t slash = lower.find('/');
    if (slash == std::string::npos)
        return JoinPath(folder, lower + ".mime");
    return JoinPath(folder, lower.substr(0, slash) + ".d/" + lower.substr(slash + 1) + ".mime");
}

status_t MimeDatabase::Read(const char* type, MimeRecord* record)
{
    if (type == nullptr || record == nullptr)
        return B_BAD_VALUE;
    for (const std::string& folder : ReadableFolders()) {
        std::ifstream file(FileFor(folder, type), std::ios::binary);
        if (!file)
            continue;
        std::stringstream text;
        text << file.rdbuf();
        *record = Decode(text.str());
        return B_OK;
    }
    return B_ENTRY_NOT_FOUND;
}

status_t MimeDatabase::Write(const char* type, const MimeRecord& record)
{
    if (type == nullptr)
        return B_BAD_VALUE;
    return WriteAtomically(FileFor(WritableFolder(), type), Encode(record));
}

status_t MimeDatabase::Remove(const char* type)
{
    if (type == nullptr)
        return B_BAD_VALUE;
    if (unlink(FileFor(WritableFolder(), type).c_str()) != 0)
        return StatusFromErrno(errno);
    return B_OK;
}

std::string MimeDatabase::Encode(const MimeRecord& record)
{
    std::string text;
    for (const auto& [key, values] : record) {
        for (const std::string& value : values)
            text += key + "=" + EscapeValue(value) + "\n";
    }
    return text;
}

MimeRecord MimeDatabase::Decode(const std::string& text)
{
    MimeRecord record;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
            continue;
        record[line.substr(0, equals)].push_back(UnescapeValue(line.substr(equals + 1)));
    }
    return record;
}

} // namespace BPrivate
