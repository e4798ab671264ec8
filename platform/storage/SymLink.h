#pragma once

// BSymLink: a symbolic link node.

#include <Node.h>

class BPath;

class BSymLink : public BNode {
public:
    BSymLink();
    BSymLink(const entry_ref* ref);
    BSymLink(const BEntry* entry);
    BSymLink(const char* path);
    BSymLink(const BDirectory* dir, const char* path);
    ~BSymLink() override;

    // The link's text, NUL-terminated in `buffer`; returns its length, or
    // B_BAD_VALUE when the node is not a link.
    ssize_t ReadLink(char* buffer, size_t size);

    // The path the link points to, taken relative to `dirPath` (the folder
    // that holds the link) when the link is relative.
    ssize_t MakeLinkedPath(const char* dirPath, BPath* path);
    ssize_t MakeLinkedPath(const BDirectory* dir, BPath* path);

    bool IsAbsolute();
};
