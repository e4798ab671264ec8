#include <SymLink.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>
#include <vector>

#include <Directory.h>
#include <Path.h>

BSymLink::BSymLink() = default;

BSymLink::BSymLink(const entry_ref* ref)
    : BNode(ref)
{
}

BSymLink::BSymLink(const BEntry* entry)
    : BNode(entry)
{
}

BSymLink::BSymLink(const char* path)
    : BNode(path)
{
}

BSymLink::BSymLink(const BDirectory* dir, const char* path)
    : BNode(dir, path)
{
}

BSymLink::~BSymLink() = default;

ssize_t BSymLink::ReadLink(char* buffer, size_t size)
{
    if (buffer == nullptr || size == 0)
        return B_BAD_VALUE;
    if (InitCheck() != B_OK)
        return B_NO_INIT;
    if (!IsSymLink())
        return B_BAD_VALUE;
    std::vector<char> text(PATH_MAX + 1);
    ssize_t length = readlink(PathString().c_str(), text.data(), text.size());
    if (length < 0)
        return StatusFromErrno(errno);
    size_t copied = std::min(size_t(length), size - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return length;
}

ssize_t BSymLink::MakeLinkedPath(const char* dirPath, BPath* path)
{
    if (dirPath == nullptr || path == nullptr)
        return B_BAD_VALUE;
    char text[PATH_MAX + 1];
    ssize_t length = ReadLink(text, sizeof(text));
    if (length < 0)
        return length;
    status_t status = text[0] == '/' ? path->SetTo(text) : path->SetTo(dirPath, text);
    if (status != B_OK)
        return status;
    return ssize_t(std::strlen(path->Path()));
}

ssize_t BSymLink::MakeLinkedPath(const BDirectory* dir, BPath* path)
{
    if (dir == nullptr || dir->InitCheck() != B_OK)
        return B_BAD_VALUE;
    return MakeLinkedPath(dir->PathString().c_str(), path);
}

bool BSymLink::IsAbsolute()
{
    char text[PATH_MAX + 1];
    return ReadLink(text, sizeof(text)) > 0 && text[0] == '/';
}
