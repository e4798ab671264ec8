#include "DesktopEntries.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ProcessRunner.h"
#include <Environment.h>
#include <PathHelpers.h>
#include <StorageScope.h>

namespace BPrivate {

namespace {

std::string Trim(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t\r");
    return start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

// A desktop file id names "applications/a/b.desktop" as "a-b.desktop".
bool LooksLikeDesktopId(const std::string& signature)
{
    if (signature.size() > 8 && signature.compare(signature.size() - 8, 8, ".desktop") == 0)
        return true;
    return signature.find('/') == std::string::npos && signature.find('.') != std::string::npos
        && signature.find(' ') == std::string::npos;
}

std::string FileForId(const std::string& folder, const std::string& id)
{
    std::string leaf = id;
    if (leaf.size() <= 8 || leaf.compare(leaf.size() - 8, 8, ".desktop") != 0)
        leaf += ".desktop";
    // "a-b.desktop" may be "a/b.desktop"; try the flat name, then each
    // dash as a folder separator from the left.
    std::string candidate = JoinPath(folder, leaf);
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0)
        return candidate;
    for (size_t dash = leaf.find('-'); dash != std::string::npos; dash = leaf.find('-', dash + 1)) {
        std::string nested = leaf;
        nested[dash] = '/';
        candidate = JoinPath(folder, nested);
        if (stat(candidate.c_str(), &info) == 0)
            return candidate;
    }
    return "";
}

bool FindIn(const std::string& folder, const std::string& signature, int depth, std::string* path)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        std::string child = JoinPath(folder, name);
        struct stat info;
        if (stat(child.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode) && depth < 4) {
            found = FindIn(child, signature, depth + 1, path);
        } else if (S_ISREG(info.st_mode) && name.size() > 8
            && name.compare(name.size() - 8, 8, ".desktop") == 0) {
            std::string entrySignature;
            found = DesktopEntries::IsUsable(child, &entrySignature)
                && strcasecmp(entrySignature.c_str(), signature.c_str()) == 0;
            if (found)
                *path = child;
        }
        if (found)
            break;
    }
    closedir(dir);
    return found;
}

} // namespace

std::vector<std::string> DesktopEntries::Folders()
{
    std::vector<std::string> folders
        = { JoinPath(StorageScope::XdgFolder("XDG_DATA_HOME", ".local/share"), "applications") };
    const char* dirs = Environment::Get("XDG_DATA_DIRS");
    std::string list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share:/usr/share";
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string folder = list.substr(start, colon - start);
        if (!folder.empty() && folder[0] == '/')
            folders.push_back(JoinPath(CleanPath(folder), "applications"));
        start = colon + 1;
    }
    return folders;
}

bool DesktopEntries::IsUsable(const std::string& path, std::string* signature)
{
    std::ifstream file(path);
    std::string line;
    bool inMainGroup = false;
    std::string tryExec;
    while (std::getline(file, line)) {
        line = Trim(line);
        if (!line.empty() && line[0] == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (key == "Hidden" && value == "true")
            return false;
        if (key == "TryExec")
            tryExec = value;
        if (key == "X-Brenvik-Signature" && signature != nullptr)
            *signature = value;
    }
    std::string program;
    return tryExec.empty() || ProcessRunner::FindProgram(tryExec, &program) == B_OK;
}

status_t DesktopEntries::Find(const std::string& signature, std::string* path)
{
    if (signature.empty() || path == nullptr)
        return B_BAD_VALUE;
    std::vector<std::string> folders = Folders();
    if (LooksLikeDesktopId(signature)) {
        for (const std::string& folder : folders) {
            std::string candidate = FileForId(folder, signature);
            if (!candidate.empty()) {
                // The first entry of an id hides the later ones.
                if (!IsUsable(candidate))
                    break;
                *path = candidate;
                return B_OK;
            }
        }
    }
    for (const std::string& folder : folders) {
        if (FindIn(folder, signature, 0, path))
            return B_OK;
    }
    return B_ENTRY_NOT_FOUND;
}

} // namespace BPrivate
