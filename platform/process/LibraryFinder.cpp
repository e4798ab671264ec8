#include "LibraryFinder.h"

#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <fstream>
#include <glob.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include <Environment.h>
#include <PathHelpers.h>

#include "ProcessRunner.h"

namespace BPrivate {

namespace {

#if defined(__x86_64__)
constexpr const char* kAbi = "libc6,x86-64";
constexpr const char* kTriplet = "x86_64-linux-gnu";
constexpr uint16 kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr const char* kAbi = "libc6,AArch64";
constexpr const char* kTriplet = "aarch64-linux-gnu";
constexpr uint16 kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr const char* kAbi = "libc6";
constexpr const char* kTriplet = "i386-linux-gnu";
constexpr uint16 kMachine = EM_386;
#else
#error "the loader's rules for this machine are not known"
#endif

// ld.so.conf files may include each other; a loop ends here.
constexpr int kMaxIncludeDepth = 8;

std::string Trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(start, end - start + 1);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

// The ABI words of a cache entry's flags, without the "OS ABI" and "hwcap"
// details: "libc6,x86-64, OS ABI: Linux 3.2.0" gives "libc6,x86-64".
std::string AbiOf(const std::string& flags)
{
    std::string abi;
    for (const std::string& part : Split(flags, ',')) {
        std::string word = Trimmed(part);
        if (word.rfind("OS ABI", 0) == 0 || word.rfind("hwcap", 0) == 0)
            continue;
        abi += abi.empty() ? word : "," + word;
    }
    return abi;
}

bool IsRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

LibraryFinder::LibraryFinder()
    : fCacheRead(false)
{
    const char* variable = Environment::Get("LD_LIBRARY_PATH");
    if (variable != nullptr) {
        // Both ':' and ';' separate folders for the loader.
        std::string path = variable;
        for (char& c : path) {
            if (c == ';')
                c = ':';
        }
        for (const std::string& folder : Split(path, ':')) {
            if (!folder.empty())
                fSearchPath.push_back(folder);
        }
    }
    fDefaultFolders = { std::string("/lib/") + kTriplet, std::string("/usr/lib/") + kTriplet,
        "/lib", "/usr/lib" };
}

void LibraryFinder::SetCacheListing(const std::string& listing)
{
    fCache = ParseCache(listing, OwnAbi());
    fCacheRead = true;
}

void LibraryFinder::SetConfiguredFolders(const std::vector<std::string>& folders)
{
    fConfiguredFolders = folders;
    fCacheRead = true;
}

std::string LibraryFinder::OwnAbi()
{
    return kAbi;
}

std::vector<LibraryFinder::CacheEntry> LibraryFinder::ParseCache(
    const std::string& listing, const std::string& abi)
{
    std::vector<CacheEntry> entries;
    for (const std::string& line : Split(listing, '\n')) {
        size_t arrow = line.rfind(" => ");
        size_t open = line.find(" (");
        if (arrow == std::string::npos || open == std::string::npos || open > arrow)
            continue;
        size_t close = line.rfind(')', arrow);
        if (close == std::string::npos || close < open)
            continue;
        CacheEntry entry;
        entry.name = Trimmed(line.substr(0, open));
        entry.flags = line.substr(open + 2, close - open - 2);
        entry.path = Trimmed(line.substr(arrow + 4));
        if (entry.name.empty() || entry.path.empty() || AbiOf(entry.flags) != abi)
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool LibraryFinder::IsLoadable(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    unsigned char header[20];
    struct stat info;
    bool read = fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
        && pread(fd, header, sizeof(header), 0) == ssize_t(sizeof(header));
    close(fd);
    if (!read || std::memcmp(header, ELFMAG, SELFMAG) != 0)
        return false;
    unsigned char wantedClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    if (header[EI_CLASS] != wantedClass || header[EI_DATA] != ELFDATA2LSB)
        return false;
    uint16 machine = uint16(header[18] | header[19] << 8);
    return machine == kMachine;
}

std::vector<std::string> LibraryFinder::ConfiguredFolders(const std::string& confPath, int depth)
{
    std::vector<std::string> folders;
    std::ifstream file(confPath);
    if (!file || depth > kMaxIncludeDepth)
        return folders;
    std::string base = confPath.substr(0, confPath.find_last_of('/') + 1);
    std::string line;
    while (std::getline(file, line)) {
        line = Trimmed(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        if (line.rfind("include", 0) == 0 && line.size() > 7
            && (line[7] == ' ' || line[7] == '\t')) {
            std::string pattern = Trimmed(line.substr(8));
            if (!pattern.empty() && pattern[0] != '/')
                pattern = base + pattern;
            glob_t matches;
            if (glob(pattern.c_str(), 0, nullptr, &matches) == 0) {
                for (size_t i = 0; i < matches.gl_pathc; i++) {
                    for (std::string& folder : ConfiguredFolders(matches.gl_pathv[i], depth + 1))
                        folders.push_back(std::move(folder));
                }
            }
            globfree(&matches);
            continue;
        }
        if (line[0] == '/')
            folders.push_back(line);
    }
    return folders;
}

void LibraryFinder::ReadCache()
{
    if (fCacheRead)
        return;
    fCacheRead = true;
    ProcessOptions options;
    options.captureOutput = true;
    ProcessResult result;
    if (ProcessRunner::Run({ "/sbin/ldconfig", "-p" }, options, &result) == B_OK) {
        fCache = ParseCache(result.output, OwnAbi());
        return;
    }
    fConfiguredFolders = ConfiguredFolders("/etc/ld.so.conf");
}

status_t LibraryFinder::FindInFolders(
    const std::vector<std::string>& folders, const std::string& name, std::string* path) const
{
    for (const std::string& folder : folders) {
        std::string candidate = JoinPath(folder, name);
        if (IsLoadable(candidate)) {
            *path = candidate;
            return B_OK;
        }
    }
    return B_ENTRY_NOT_FOUND;
}

status_t LibraryFinder::Find(const std::string& name, std::string* path, std::string* how)
{
    std::string found;
    std::string rule;
    // A name with a '/' is a path to the loader, not a name to search for.
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return B_BAD_VALUE;
    if (FindInFolders(fSearchPath, name, &found) == B_OK) {
        rule = "LD_LIBRARY_PATH";
    } else {
        ReadCache();
        for (const CacheEntry& entry : fCache) {
            if (entry.name == name && IsRegularFile(entry.path)) {
                found = entry.path;
                rule = "loader cache";
                break;
            }
        }
        if (found.empty() && FindInFolders(fConfiguredFolders, name, &found) == B_OK)
            rule = "ld.so.conf folder";
        if (found.empty() && FindInFolders(fDefaultFolders, name, &found) == B_OK)
            rule = "default folder";
        if (found.empty()) {
            // A development name ("libfoo.so") is met by a versioned library.
            std::string versioned = name + ".";
            for (const CacheEntry& entry : fCache) {
                if (entry.name.rfind(versioned, 0) == 0 && IsRegularFile(entry.path)) {
                    found = entry.path;
                    rule = "loader cache, as " + entry.name;
                    break;
                }
            }
        }
    }
    if (found.empty())
        return B_ENTRY_NOT_FOUND;
    if (path != nullptr)
        *path = found;
    if (how != nullptr)
        *how = rule;
    return B_OK;
}

} // namespace BPrivate
