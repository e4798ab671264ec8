// BResources: resources whose data are written straight into the file.

#include "Resources.h"

#include "ResourceContainer.h"
#include "ResourceIO.h"

#include <DataIO.h>

#include <algorithm>
#include <cstring>

using namespace BPrivate;

namespace {

// The info table stores a name's size, NUL included, in 16 bits.
constexpr size_t kMaxNameLength = 0xFFFE;
// The container stores offsets and sizes in 32 bits; what follows the data
// (the info table) needs room too.
constexpr uint64 kContainerLimit = UINT32_MAX - 1024 * 1024;

// The place of one resource's data in the file, as a stream that starts at
// the data and grows as it is written.
class DataWindow final : public BPositionIO {
public:
    DataWindow(ResourceIO& io, off_t base, off_t limit)
        : fIO(io)
        , fBase(base)
        , fLimit(limit)
    {
    }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        if (position < 0)
            return B_BAD_VALUE;
        if (position >= fSize)
            return 0;
        return fIO.ReadAt(
            fBase + position, buffer, size_t(std::min<off_t>(off_t(size), fSize - position)));
    }

    ssize_t WriteAt(off_t position, const void* buffer, size_t size) override
    {
        if (position < 0 || position > fLimit || off_t(size) > fLimit - position) {
            fOverflowed = true;
            return B_BUFFER_OVERFLOW;
        }
        ssize_t done = fIO.WriteAt(fBase + position, buffer, size);
        if (done > 0)
            fSize = std::max(fSize, position + done);
        return done;
    }

    off_t Seek(off_t position, uint32 seekMode) override
    {
        off_t base = seekMode == SEEK_CUR ? fPosition : seekMode == SEEK_END ? fSize : 0;
        if (base + position < 0)
            return B_BAD_VALUE;
        return fPosition = base + position;
    }

    off_t Position() const override { return fPosition; }

    // The data end here; the file itself is cut when the container is
    // written after them.
    status_t SetSize(off_t size) override
    {
        if (size < 0 || size > fLimit) {
            fOverflowed = size > fLimit;
            return B_BAD_VALUE;
        }
        fSize = size;
        return B_OK;
    }

    status_t GetSize(off_t* size) const override
    {
        *size = fSize;
        return B_OK;
    }

    off_t Size() const { return fSize; }
    // Whether a write went past what the container can hold.
    bool Overflowed() const { return fOverflowed; }

private:
    ResourceIO& fIO;
    off_t fBase;
    off_t fLimit;
    off_t fSize = 0;
    off_t fPosition = 0;
    bool fOverflowed = false;
};

} // namespace

// The resource is added empty, at the end of the container, and the
// container written: its data then start where the info table begins, and
// stay there when the table moves behind them. Nothing before them moves.
status_t BResources::AddStreamedResource(
    type_code type, int32 id, const char* name, const DataWriter& writer)
{
    status_t status = CheckWritable();
    if (status != B_OK)
        return status;
    if (name != nullptr && std::strlen(name) > kMaxNameLength)
        return Fail(B_BAD_VALUE, "resource name too long");
    // A resource this one replaces comes back if the writer fails.
    std::unique_ptr<Item> replaced;
    if (Item* existing = FindItem(type, id)) {
        if ((status = LoadItem(*existing)) != B_OK)
            return status;
        replaced = std::make_unique<Item>(*existing);
        replaced->modified = true;
    }
    auto item = std::make_unique<Item>();
    item->type = type;
    item->id = id;
    item->name = name != nullptr ? name : "";
    item->loaded = true;
    item->modified = true;
    fContainer->Add(std::move(item));
    fModified = true;
    Item* added = FindItem(type, id);
    if ((status = Sync()) == B_OK) {
        off_t start = fContainerOffset + added->offset;
        DataWindow data(*fIO, start, off_t(kContainerLimit) - added->offset);
        status = writer(data);
        if (status != B_OK && data.Overflowed()) {
            status = Fail(B_BUFFER_OVERFLOW,
                "the resources would pass the 4 GiB (" + std::to_string(kContainerLimit)
                    + " bytes) a resource container can hold");
        }
        added->size = size_t(data.Size());
        added->loaded = false;
        added->modified = false;
        fModified = true;
        if (status == B_OK)
            status = Sync();
    }
    if (status != B_OK) {
        std::string error = fErrorText;
        fContainer->RemoveAt(fContainer->IndexOf(type, id));
        if (replaced != nullptr)
            fContainer->Add(std::move(replaced));
        fModified = true;
        Sync();
        fErrorText = error;
    }
    return status;
}
