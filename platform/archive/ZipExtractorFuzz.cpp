// libFuzzer target: the zip reader and extractor on arbitrary archives,
// extracted into a sandbox. Besides crashes and sanitizer reports it stops on
// any write beside the folder extracted into, on a link left behind that
// resolves outside that folder (or is absolute), on a change of the folder's
// own mode, and on a failed extraction that leaves anything behind.
//
// An input is one archive, or two joined by kNextArchive: the second is then
// merged over what the first left, as the installer does with two payload
// entries of the same name. Seeds: ZipFuzzSeedsMain.cpp.

#include "ZipExtractor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

using namespace BPrivate;

namespace {

constexpr std::string_view kNextArchive = "\n--brenvik-next-archive--\n";
constexpr mode_t kFolderMode = 0750;
constexpr const char* kKeptText = "untouched";

std::string gRoot;
std::string gFolder;
std::string gBeside;

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "ZipExtractorFuzz: %s\n", what.c_str());
    std::abort();
}

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        Fault("cannot list " + folder);
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.insert(entry->d_name);
    }
    closedir(dir);
    return names;
}

// Removes a tree that the extraction left, whatever the modes of its folders.
void RemoveTree(int parent, const char* name)
{
    struct stat st;
    if (fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        fchmodat(parent, name, 0700, 0);
        int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            DIR* dir = fdopendir(fd);
            std::vector<std::string> children;
            while (dirent* entry = readdir(dir)) {
                if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                    children.push_back(entry->d_name);
            }
            for (const std::string& child : children)
                RemoveTree(dirfd(dir), child.c_str());
            closedir(dir);
        }
        unlinkat(parent, name, AT_REMOVEDIR);
    } else
        unlinkat(parent, name, 0);
}

void EmptyFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& name : Names(folder))
        RemoveTree(fd, name.c_str());
    close(fd);
}

// Where the link at path (below the folder) leads, by its words alone: up
// past the folder is outside.
bool LeadsOutsideByName(const std::string& path, const std::string& target)
{
    if (target.empty() || target[0] == '/')
        return true;
    std::vector<std::string> at;
    std::string whole = path.substr(0, path.rfind('/') + 1) + target;
    size_t start = 0;
    while (start <= whole.size()) {
        size_t slash = std::min(whole.find('/', start), whole.size());
        std::string part = whole.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part != "..")
            at.push_back(part);
        else if (at.empty())
            return true;
        else
            at.pop_back();
    }
    return false;
}

// Where it leads as the kernel resolves it, links on disk included.
bool LeadsOutsideOnDisk(int folderFd, const std::string& path)
{
    open_how how = {};
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    long fd = syscall(SYS_openat2, folderFd, path.c_str(), &how, sizeof(how));
    if (fd >= 0) {
        close(int(fd));
        return false;
    }
    // ENOENT and ENOTDIR: a link to something missing, which is no escape.
    return errno == EXDEV || errno == ELOOP;
}

void CheckLinks(int folderFd, const std::string& relative)
{
    int fd = relative.empty()
        ? dup(folderFd)
        : openat(folderFd, relative.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = fdopendir(fd);
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        std::string path = relative.empty() ? entry->d_name : relative + "/" + entry->d_name;
        struct stat st;
        if (fstatat(folderFd, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            Fault("cannot stat " + path);
        if (S_ISDIR(st.st_mode)) {
            CheckLinks(folderFd, path);
        } else if (S_ISLNK(st.st_mode)) {
            char target[4096];
            ssize_t length = readlinkat(folderFd, path.c_str(), target, sizeof(target));
            if (length < 0)
                Fault("cannot read the link " + path);
            std::string text(target, size_t(length));
            if (LeadsOutsideByName(path, text) || LeadsOutsideOnDisk(folderFd, path))
                Fault("the link " + path + " -> " + text + " leads outside the folder");
        } else if (!S_ISREG(st.st_mode)) {
            Fault(path + " is neither a file, a folder nor a link");
        } else if ((st.st_mode & (S_ISUID | S_ISGID)) != 0) {
            Fault(path + " is set-id");
        }
    }
    closedir(dir);
}

// Everything beside the folder is as it was, and so is the folder's mode.
void CheckSurroundings()
{
    if (Names(gRoot) != std::set<std::string> { "beside", "folder" })
        Fault("something was written beside the folder");
    if (Names(gBeside) != std::set<std::string> { "kept" })
        Fault("something was written into a sibling of the folder");
    char text[32] = {};
    int fd = open((gBeside + "/kept").c_str(), O_RDONLY | O_CLOEXEC);
    ssize_t length = fd >= 0 ? read(fd, text, sizeof(text) - 1) : -1;
    if (fd >= 0)
        close(fd);
    if (length < 0 || std::strcmp(text, kKeptText) != 0)
        Fault("a file beside the folder was changed");
    struct stat st;
    if (stat(gFolder.c_str(), &st) != 0 || (st.st_mode & 07777) != kFolderMode)
        Fault("the folder's own mode was changed");
}

status_t ExtractOne(
    std::string_view bytes, ZipExisting existing, bool useOpenat2, std::string* topName)
{
    ZipExtractOptions options;
    options.existing = existing;
    options.maxItemSize = 4 * 1024 * 1024;
    options.useOpenat2 = useOpenat2;
    ZipExtractor extractor;
    status_t status = extractor.Extract(
        MakeMemorySource(std::span(reinterpret_cast<const uint8*>(bytes.data()), bytes.size())),
        gFolder.c_str(), options);
    *topName = extractor.TopName();
    return status;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/zipfuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        Fault("cannot make a sandbox");
    gRoot = pattern;
    gFolder = gRoot + "/folder";
    gBeside = gRoot + "/beside";
    if (mkdir(gFolder.c_str(), kFolderMode) != 0 || chmod(gFolder.c_str(), kFolderMode) != 0
        || mkdir(gBeside.c_str(), 0755) != 0)
        Fault("cannot make the sandbox's folders");
    FILE* kept = std::fopen((gBeside + "/kept").c_str(), "w");
    if (kept == nullptr || std::fputs(kKeptText, kept) < 0 || std::fclose(kept) != 0)
        Fault("cannot write into the sandbox");
    std::atexit([] {
        int fd = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        RemoveTree(fd, gRoot.c_str() + 1);
        close(fd);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view first = input, second;
    if (size_t join = input.find(kNextArchive); join != std::string_view::npos) {
        first = input.substr(0, join);
        second = input.substr(join + kNextArchive.size());
    }
    // The step-by-step resolution that older kernels need gets its share.
    bool useOpenat2 = size % 2 == 0;

    std::string top;
    status_t status = ExtractOne(first, ZipExisting::kMerge, useOpenat2, &top);
    CheckSurroundings();
    std::set<std::string> left = Names(gFolder);
    if (status != B_OK && !left.empty())
        Fault("a failed extraction left " + *left.begin());
    if (status == B_OK && left != std::set<std::string> { top })
        Fault("the folder does not hold exactly the item " + top);
    int folderFd = open(gFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    CheckLinks(folderFd, "");

    if (!second.empty()) {
        std::string secondTop;
        status_t again = ExtractOne(second, ZipExisting::kMerge, useOpenat2, &secondTop);
        CheckSurroundings();
        std::set<std::string> now = Names(gFolder);
        if (again != B_OK && now != left)
            Fault("a failed extraction changed what the folder holds");
        CheckLinks(folderFd, "");
    }
    close(folderFd);
    EmptyFolder(gFolder);
    return 0;
}
