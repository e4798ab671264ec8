// BResources: binding to a BFile and copying from or to one.

#include "Resources.h"

#include "ResourceIO.h"

#include <File.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace BPrivate;

namespace {

// BResources keeps a file of its own, as on the platform, so the caller may
// close its BFile at once. Copying a node duplicates its descriptor; this
// helper hands out one more duplicate for the resource code to own.
class FileDescriptor : public BNode {
public:
    explicit FileDescriptor(const BFile& file) { BNode::operator=(file); }

    int Duplicate() const
    {
        return Descriptor() >= 0 ? fcntl(Descriptor(), F_DUPFD_CLOEXEC, 0) : -1;
    }
};

status_t OpenIO(const BFile* file, bool forWriting, std::unique_ptr<ResourceIO>* io)
{
    if (file == nullptr)
        return B_BAD_VALUE;
    if (file->InitCheck() != B_OK)
        return file->InitCheck();
    if (!file->IsReadable() && !forWriting)
        return B_NOT_ALLOWED;
    int fd = FileDescriptor(*file).Duplicate();
    if (fd < 0)
        return StatusFromErrno(errno);
    *io = std::make_unique<ResourceFdIO>(fd, file->IsWritable(), true);
    return B_OK;
}

std::string Describe(status_t status, const char* what)
{
    switch (status) {
    case B_BAD_VALUE:
        return std::string("no ") + what + " given";
    case B_NO_INIT:
        return std::string("the ") + what + " is not open";
    case B_BUSY:
        // Linux refuses to open a running program for writing.
        return std::string("the ") + what + " is a running program (text file busy)";
    case B_NOT_ALLOWED:
        return std::string("the ") + what + " is not open for reading";
    default:
        return std::string("the ") + what + " could not be opened";
    }
}

} // namespace

BResources::BResources(const BFile* file, bool clobber)
    : BResources()
{
    SetTo(file, clobber);
}

status_t BResources::SetTo(const BFile* file, bool clobber)
{
    Unset();
    std::unique_ptr<ResourceIO> io;
    status_t status = OpenIO(file, false, &io);
    if (status != B_OK)
        return fInitStatus = Fail(status, Describe(status, "file"));
    return Bind(std::move(io), clobber);
}

status_t BResources::MergeFrom(BFile* fromFile)
{
    std::unique_ptr<ResourceIO> io;
    status_t status = OpenIO(fromFile, false, &io);
    if (status != B_OK)
        return Fail(status, Describe(status, "file to merge"));
    return MergeFromIO(*io);
}

status_t BResources::WriteTo(BFile* file)
{
    std::unique_ptr<ResourceIO> io;
    status_t status = OpenIO(file, true, &io);
    if (status != B_OK)
        return Fail(status, Describe(status, "target file"));
    return WriteToIO(std::move(io));
}
