#pragma once

// Finding a shared library the way the dynamic loader (ld.so) would, for the
// installer's requirements check:
// 1. every non-empty folder of LD_LIBRARY_PATH (empty fields stand for the
//    working folder of a program not yet started, so they are skipped);
// 2. the loader's cache, as `ldconfig -p` lists it, keeping only the entries
//    of our own ABI ("libc6,x86-64" on x86-64); without ldconfig, the folders
//    named by /etc/ld.so.conf and the files it includes;
// 3. the default folders of the loader.
// A file found in a folder counts only when it is an ELF object of our class,
// byte order and machine, as the loader skips the others (a 32-bit library
// in /usr/lib32 does not satisfy a 64-bit program).
//
// The exact name is looked for first everywhere; an unversioned name
// ("libfoo.so", a link that only development packages ship) is then also
// satisfied by a cache entry of a versioned name ("libfoo.so.1").
//
// Every source can be replaced, so that tests control what is found.

#include <string>
#include <vector>

#include <SupportDefs.h>

namespace BPrivate {

class LibraryFinder {
public:
    struct CacheEntry {
        std::string name;
        std::string flags;
        std::string path;
    };

    // Reads LD_LIBRARY_PATH now; the cache is read on first need.
    LibraryFinder();

    void SetSearchPath(const std::vector<std::string>& folders) { fSearchPath = folders; }
    // The text `ldconfig -p` would print.
    void SetCacheListing(const std::string& listing);
    // Folders searched when there is no cache listing (from ld.so.conf).
    void SetConfiguredFolders(const std::vector<std::string>& folders);
    void SetDefaultFolders(const std::vector<std::string>& folders) { fDefaultFolders = folders; }

    // Where the loader would find `name`: B_OK with the path, else
    // B_ENTRY_NOT_FOUND. `how` says which rule found it ("LD_LIBRARY_PATH",
    // "loader cache", "default folder"), in words for a log line.
    status_t Find(const std::string& name, std::string* path, std::string* how = nullptr);

    // Parses `ldconfig -p` output, keeping the entries whose ABI flags are
    // `abi` (the words before any "OS ABI" or "hwcap" part).
    static std::vector<CacheEntry> ParseCache(const std::string& listing, const std::string& abi);
    // Our ABI as ldconfig names it ("libc6,x86-64").
    static std::string OwnAbi();
    // Whether the file is an ELF object this program's loader would load.
    static bool IsLoadable(const std::string& path);
    // The folders named by an ld.so.conf file, following its "include" lines.
    static std::vector<std::string> ConfiguredFolders(const std::string& confPath, int depth = 0);

private:
    void ReadCache();
    status_t FindInFolders(
        const std::vector<std::string>& folders, const std::string& name, std::string* path) const;

    std::vector<std::string> fSearchPath;
    std::vector<std::string> fDefaultFolders;
    std::vector<std::string> fConfiguredFolders;
    std::vector<CacheEntry> fCache;
    bool fCacheRead;
};

} // namespace BPrivate
