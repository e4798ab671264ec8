#pragma once

// The resources of one container, in container order (the order in which they
// were added). An item either still lives in the file (its data are read from
// their offset when asked for) or holds its data in memory (loaded, added or
// changed since the last write).

#include <SupportDefs.h>

#include <memory>
#include <string>
#include <vector>

namespace BPrivate {

struct ResourceItem {
    type_code type = 0;
    int32 id = 0;
    std::string name;
    // Container-relative location of the data in the file; -1 when the item
    // has never been written.
    off_t offset = -1;
    size_t size = 0;
    // The data, once loaded or when set by the caller.
    std::vector<uint8> data;
    bool loaded = false;
    // Changed since the container was last read or written.
    bool modified = false;
};

class ResourceContainer {
public:
    int32 CountItems() const { return int32(fItems.size()); }
    ResourceItem* ItemAt(int32 index) const;

    // Index of the first item matching, or -1.
    int32 IndexOf(type_code type, int32 id) const;
    int32 IndexOf(type_code type, const char* name) const;
    // Index of the nth (0-based) item of a type, or -1.
    int32 IndexOfNth(type_code type, int32 nth) const;
    int32 IndexOf(const void* loadedData) const;

    // Appends an item, removing any item with the same type and id first (the
    // new item always goes to the end, as on the platform).
    void Add(std::unique_ptr<ResourceItem> item);
    // Appends without looking for a duplicate (used while reading a file).
    void Append(std::unique_ptr<ResourceItem> item);
    void RemoveAt(int32 index);
    void MakeEmpty() { fItems.clear(); }

private:
    std::vector<std::unique_ptr<ResourceItem>> fItems;
};

} // namespace BPrivate
