#include "oResources.h"

#include "RunningExecutable.h"

#include <Bitmap.h>
#include <Message.h>
#include <TypeConstants.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

oResources::oResources(const uint32& openMode)
{
    std::string path;
    if (RunningExecutable::GetPath(&path) == B_OK)
        SetTo(path.c_str(), openMode, false);
}

oResources::oResources(const char* path, const uint32& openMode)
{
    if (path != nullptr)
        SetTo(path, openMode, false);
}

oResources::~oResources() = default;

LibString oResources::GetString(const char* name)
{
    size_t size = 0;
    const void* data = name != nullptr ? LoadResource(B_STRING_TYPE, name, &size) : nullptr;
    if (data == nullptr || size == 0)
        return LibString();
    // A resource without its NUL must not be read past its end.
    const char* text = static_cast<const char*>(data);
    size_t length = strnlen(text, size);
    return LibString(std::string(text, length).c_str());
}

bool oResources::HasString(const char* name)
{
    return name != nullptr && HasResource(B_STRING_TYPE, name);
}

BBitmap* oResources::GetBitmap(const char* name)
{
    size_t size = 0;
    const void* data = name != nullptr ? LoadResource(kBitmapType, name, &size) : nullptr;
    if (data == nullptr || size == 0)
        return nullptr;
    BMessage archive;
    if (archive.Unflatten(data, size) != B_OK)
        return nullptr;
    auto bitmap = std::make_unique<BBitmap>(&archive);
    if (bitmap->InitCheck() != B_OK)
        return nullptr;
    return bitmap.release();
}

int32 oResources::UniqueId(const type_code& type)
{
    std::set<int32> taken;
    type_code found;
    int32 id;
    for (int32 index = 0; GetResourceInfo(index, &found, &id, nullptr, nullptr); index++) {
        if (found == type)
            taken.insert(id);
    }
    int32 candidate = 1;
    while (taken.count(candidate) != 0)
        candidate++;
    return candidate;
}

bool oResources::AddString(const char* name, const char* text)
{
    if (name == nullptr || text == nullptr)
        return false;
    int32 id;
    if (!GetResourceInfo(B_STRING_TYPE, name, &id, nullptr))
        id = UniqueId(B_STRING_TYPE);
    return AddResource(B_STRING_TYPE, id, text, std::strlen(text) + 1, name) == B_OK;
}
