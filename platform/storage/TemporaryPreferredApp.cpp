#include "TemporaryPreferredApp.h"

#include <MimeDatabase.h>
#include <MimeType.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace BPrivate {

namespace {

bool EntryExistsAt(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string FolderAbove(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return std::string();
    return path.substr(0, slash);
}

} // namespace

TemporaryPreferredApp::TemporaryPreferredApp(const char* type, const char* signature)
    : fType(type)
    , fFile(MimeDatabase::FileFor(MimeDatabase::WritableFolder(), type))
{
    fExisted = EntryExistsAt(fFile);
    if (fExisted && MimeDatabase::Read(type, &fBefore) != B_OK)
        return;
    for (std::string folder = FolderAbove(fFile); !folder.empty() && !EntryExistsAt(folder);
         folder = FolderAbove(folder))
        fMadeFolders.push_back(folder);
    // A failure is no reason not to install.
    fWritten = BMimeType(type).SetPreferredApp(signature, B_OPEN) == B_OK;
}

TemporaryPreferredApp::~TemporaryPreferredApp()
{
    if (!fWritten)
        return;
    if (fExisted) {
        MimeDatabase::Write(fType.c_str(), fBefore);
        return;
    }
    unlink(fFile.c_str());
    // Only folders that are empty again: another program may have put
    // something into them meanwhile.
    for (const std::string& folder : fMadeFolders) {
        if (rmdir(folder.c_str()) != 0)
            break;
    }
}

} // namespace BPrivate
