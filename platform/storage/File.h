#pragma once

// BFile: an open regular file. Symbolic links are followed; a folder is
// refused with B_IS_A_DIRECTORY. Open modes are those of StorageDefs.h;
// B_CREATE_FILE makes the file with permissions 0666 less the umask.

#include <DataIO.h>
#include <Node.h>
#include <StorageDefs.h>

class BFile : public BNode, public BPositionIO {
public:
    BFile();
    BFile(const entry_ref* ref, uint32 openMode);
    BFile(const BEntry* entry, uint32 openMode);
    BFile(const char* path, uint32 openMode);
    BFile(const BDirectory* dir, const char* path, uint32 openMode);
    ~BFile() override;

    status_t SetTo(const entry_ref* ref, uint32 openMode);
    status_t SetTo(const BEntry* entry, uint32 openMode);
    status_t SetTo(const char* path, uint32 openMode);
    status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
    void Unset();

    bool IsReadable() const;
    bool IsWritable() const;

    ssize_t Read(void* buffer, size_t size) override;
    ssize_t Write(const void* buffer, size_t size) override;
    ssize_t ReadAt(off_t position, void* buffer, size_t size) override;
    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override;
    off_t Seek(off_t position, uint32 seekMode) override;
    off_t Position() const override;
    status_t SetSize(off_t size) override;
    status_t GetSize(off_t* size) const override;

private:
    status_t OpenPath(const std::string& path, uint32 openMode);

    uint32 fMode;
};
