#include "ResourceContainer.h"

#include <cstring>

namespace BPrivate {

ResourceItem* ResourceContainer::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[size_t(index)].get();
}

int32 ResourceContainer::IndexOf(type_code type, int32 id) const
{
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->type == type && fItems[i]->id == id)
            return int32(i);
    }
    return -1;
}

int32 ResourceContainer::IndexOf(type_code type, const char* name) const
{
    if (name == nullptr)
        return -1;
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->type == type && fItems[i]->name == name)
            return int32(i);
    }
    return -1;
}

int32 ResourceContainer::IndexOfNth(type_code type, int32 nth) const
{
    if (nth < 0)
        return -1;
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->type == type && nth-- == 0)
            return int32(i);
    }
    return -1;
}

int32 ResourceContainer::IndexOf(const void* loadedData) const
{
    if (loadedData == nullptr)
        return -1;
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->loaded && fItems[i]->data.data() == loadedData)
            return int32(i);
    }
    return -1;
}

void ResourceContainer::Add(std::unique_ptr<ResourceItem> item)
{
    int32 index = IndexOf(item->type, item->id);
    if (index >= 0)
        RemoveAt(index);
    fItems.push_back(std::move(item));
}

void ResourceContainer::Append(std::unique_ptr<ResourceItem> item)
{
    fItems.push_back(std::move(item));
}

void ResourceContainer::RemoveAt(int32 index)
{
    if (index >= 0 && index < CountItems())
        fItems.erase(fItems.begin() + index);
}

} // namespace BPrivate
