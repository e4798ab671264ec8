// CustomFolders: the list of custom folders and its preference form.

#include "CustomFolders.h"

#include <Message.h>

namespace {

const char* const kQuantityField = "custom_folder_qty";

} // namespace

CustomFolders::~CustomFolders() = default;

bool CustomFolders::IsCustom(const char* name)
{
    return Find(name) != nullptr;
}

CustomFolder* CustomFolders::Find(const char* name)
{
    if (name == nullptr)
        return nullptr;
    CustomFolder probe(name);
    return Get(&probe);
}

long CustomFolders::CountCommonCustom()
{
    long count = 0;
    for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
        if (folder->CommonDef())
            count++;
    }
    return count;
}

void CustomFolders::WritePref(BMessage& message, bool own)
{
    long common = CountCommonCustom();
    long count = own ? Size() - common : common;
    message.AddInt32(kQuantityField, static_cast<int32>(count));
    long entry = 0;
    for (CustomFolder* folder = First(); folder != nullptr; folder = Next()) {
        if (folder->CommonDef() != own) {
            folder->WritePref(entry, message);
            entry++;
        }
    }
}

void CustomFolders::ReadPref(const BMessage& message, bool own)
{
    int32 quantity = 0;
    if (message.FindInt32(kQuantityField, 0, &quantity) != B_OK)
        quantity = 0;
    for (long entry = 0; entry < quantity; entry++) {
        if (!own) {
            // The common folder takes the name; a folder of the same name that was
            // read earlier keeps its place under a new one.
            CustomFolder read;
            read.ReadPref(entry, message);
            CustomFolder* existing = Find(read.Name());
            if (existing != nullptr) {
                LibString renamed(existing->Name());
                renamed.Concat(" Renamed");
                existing->SetName(renamed);
            }
        }
        auto* folder = new CustomFolder;
        folder->ReadPref(entry, message);
        folder->CommonDef(!own);
        Insert(folder);
    }
}

void CustomFolders::PrintToStream()
{
    for (CustomFolder* folder = First(); folder != nullptr; folder = Next())
        folder->PrintToStream();
}
