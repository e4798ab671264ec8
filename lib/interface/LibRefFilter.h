#pragma once

// LibRefFilter: which entries a file panel lists: those whose MIME type is
// in a list, optionally every plain file, and symbolic links judged by the
// type of what they point to.

#include <FilePanel.h>

#include <LibStringList.h>

class LibRefFilter : public BRefFilter {
public:
    LibRefFilter();
    ~LibRefFilter() override;

    bool Filter(
        const entry_ref* ref, BNode* node, struct stat* stat, const char* mimeType) override;

    // Accepts entries of this MIME type (compared exactly).
    void AddType(const char* type);
    // Accepts every plain file, whatever its type (off by default).
    void AllowAllFiles(const bool& allow);
    // Judges a symbolic link by its target's type (on by default); off, a
    // link is judged by its own type.
    void AllowSoftLinks(const bool& allow);

private:
    bool IsAccepted(const char* type);

    LibStringList fTypes;
    bool fAllowAllFiles = false;
    bool fAllowSoftLinks = true;
};
