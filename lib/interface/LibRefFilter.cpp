#include "LibRefFilter.h"

#include <Entry.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>

#include <sys/stat.h>

LibRefFilter::LibRefFilter() = default;

LibRefFilter::~LibRefFilter() = default;

void LibRefFilter::AddType(const char* type)
{
    if (type != nullptr)
        fTypes.Add(type);
}

void LibRefFilter::AllowAllFiles(const bool& allow)
{
    fAllowAllFiles = allow;
}

void LibRefFilter::AllowSoftLinks(const bool& allow)
{
    fAllowSoftLinks = allow;
}

bool LibRefFilter::IsAccepted(const char* type)
{
    return type != nullptr && fTypes.InList(type);
}

bool LibRefFilter::Filter(
    const entry_ref* ref, BNode* /*node*/, struct stat* stat, const char* mimeType)
{
    if (stat == nullptr)
        return IsAccepted(mimeType);
    if (fAllowAllFiles && S_ISREG(stat->st_mode))
        return true;
    if (!fAllowAllFiles && S_ISLNK(stat->st_mode) && fAllowSoftLinks) {
        // Judged by what it points to; a link to nothing has no type.
        BEntry target(ref, true);
        BNode node(&target);
        char type[B_MIME_TYPE_LENGTH];
        if (ref == nullptr || node.InitCheck() != B_OK || BNodeInfo(&node).GetType(type) != B_OK)
            return false;
        return IsAccepted(type);
    }
    return IsAccepted(mimeType);
}
