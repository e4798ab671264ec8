#pragma once

// BResources: the typed, numbered and named data blocks of a BeOS resource
// file, or of the resource container appended to an ELF executable. Only the
// x86 (little-endian) container is read and written; a PowerPC file is
// refused with B_UNSUPPORTED rather than misread.
//
// Item data are read from the file when asked for, never the whole file.
// Changes stay in memory until Sync(), which also runs when the object is
// unset or destroyed; writing always rewrites the whole container in the
// platform's own layout.

#include <SupportDefs.h>

#include <functional>
#include <memory>
#include <string>

class BFile;
class BPositionIO;

namespace BPrivate {
class ResourceContainer;
class ResourceIO;
struct ResourceFileLayout;
struct ResourceItem;
} // namespace BPrivate

class BResources {
public:
    BResources();
    explicit BResources(const BFile* file, bool clobber = false);
    // Our own: binds to the file at path (symbolic links followed), see SetTo.
    explicit BResources(const char* path, bool clobber = false);
    virtual ~BResources();

    BResources(const BResources&) = delete;
    BResources& operator=(const BResources&) = delete;

    // Binds to a file. With clobber, the file's resources are discarded: a
    // file that holds no resource container is truncated and becomes an
    // empty resource file; an ELF file keeps its ELF part.
    status_t SetTo(const BFile* file, bool clobber = false);
    // Our own: opens the file read-write when allowed, else read-only.
    status_t SetTo(const char* path, bool clobber = false);
    // Our own: openMode is 0 (read-only) or 2 (read-write), the platform's
    // B_READ_ONLY and B_READ_WRITE. A running executable cannot be opened for
    // writing on Linux ("text file busy"): it is then bound read-only, so its
    // resources can still be read, and every change fails with
    // B_NOT_ALLOWED without any message.
    status_t SetTo(const char* path, uint32 openMode, bool clobber);
    void Unset();
    status_t InitCheck() const;

    const void* LoadResource(type_code type, int32 id, size_t* outSize);
    const void* LoadResource(type_code type, const char* name, size_t* outSize);
    // Loads every resource of a type into memory (all of them for type 0).
    status_t PreloadResourceType(type_code type = 0);

    status_t Sync();
    // Adds every resource of another file, replacing those of the same type
    // and id.
    status_t MergeFrom(BFile* fromFile);
    // Writes all resources into another file (replacing its resources) and
    // binds this object to that file.
    status_t WriteTo(BFile* file);

    // Replaces any resource of the same type and id; the new one goes last.
    status_t AddResource(
        type_code type, int32 id, const void* data, size_t length, const char* name = nullptr);

    bool HasResource(type_code type, int32 id);
    bool HasResource(type_code type, const char* name);

    bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
        const char** nameFound, size_t* lengthFound);
    bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound, const char** nameFound,
        size_t* lengthFound);
    bool GetResourceInfo(
        type_code byType, int32 andID, const char** nameFound, size_t* lengthFound);
    bool GetResourceInfo(
        type_code byType, const char* andName, int32* idFound, size_t* lengthFound);
    bool GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
        size_t* lengthFound, const char** nameFound);

    status_t RemoveResource(const void* resource);
    status_t RemoveResource(type_code type, int32 id);

    // Writes into an existing resource at an offset, extending it as needed
    // (a gap is filled with zero bytes).
    status_t WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length);
    // Reads part of a resource straight from the file (without loading the
    // whole item); a range past the end of the resource is shortened.
    status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length);

    // A malloc()ed copy, freed by the caller; NULL when there is none.
    void* FindResource(type_code type, int32 id, size_t* lengthFound);
    void* FindResource(type_code type, const char* name, size_t* lengthFound);

    // Our own additions.
    // Adds a resource whose data the writer puts straight into the file, at
    // their final place, through the stream it is given: positions count
    // from the data's start, and the data end where the stream's size says
    // (its furthest write, or what SetSize made it). None of the data is
    // held in memory, so a resource of hundreds of megabytes costs no more
    // than a small one. Pending changes are written first; a resource of the
    // same type and id is replaced. When the writer fails, its status is
    // returned and the resource is not added.
    using DataWriter = std::function<status_t(BPositionIO& data)>;
    status_t AddStreamedResource(
        type_code type, int32 id, const char* name, const DataWriter& writer);
    // The number of resources.
    int32 CountResources() const;
    // The bytes of the file before its resources: the program they are
    // appended to (or a resource file's header). Reads outside them fail.
    off_t HostSize() const { return fIO ? fContainerOffset : 0; }
    // Our own: where a resource's data lie in the bound file, as they are
    // there (not loaded or changed in memory): the file's descriptor (kept
    // by this object) and the data's offset. False otherwise.
    bool GetFileRange(type_code type, int32 id, int* fd, off_t* offset) const;
    status_t ReadHost(void* data, off_t offset, size_t length);
    // Whether changes can be written.
    bool IsWritable() const;
    // One line explaining the last failure of SetTo, Sync or a change.
    const char* ErrorText() const { return fErrorText.c_str(); }
    status_t MergeFrom(const char* path);
    status_t WriteTo(const char* path);

private:
    using Item = BPrivate::ResourceItem;

    status_t OpenPath(const char* path, bool writable, bool modeChosenByCaller, bool clobber);
    status_t Bind(std::unique_ptr<BPrivate::ResourceIO> io, bool clobber);
    status_t Clobber(const BPrivate::ResourceFileLayout& layout, status_t locateStatus);
    status_t WriteContainer(BPrivate::ResourceIO& io);
    status_t WriteToIO(std::unique_ptr<BPrivate::ResourceIO> target);
    status_t MergeFromIO(BPrivate::ResourceIO& io);
    status_t LoadItem(Item& item);
    status_t ReadItemData(const Item& item, void* data, off_t offset, size_t length);
    void* CopyItemData(const Item* item, size_t* lengthFound);
    status_t CheckWritable();
    Item* FindItem(type_code type, int32 id) const;
    Item* FindItem(type_code type, const char* name) const;
    status_t Fail(status_t status, std::string text);

    std::unique_ptr<BPrivate::ResourceIO> fIO;
    std::unique_ptr<BPrivate::ResourceContainer> fContainer;
    off_t fContainerOffset = 0;
    // The file still needs its "RS" header (it was empty or damaged).
    bool fNeedsFileHeader = false;
    bool fModified = false;
    status_t fInitStatus = B_NO_INIT;
    std::string fErrorText;
};
