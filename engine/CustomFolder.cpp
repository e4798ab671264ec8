// CustomFolder: the record of one named destination folder and its serialized forms.

#include "CustomFolder.h"

#include "InstallerFormat.h"

#include <cstdio>

#include <LibStringIterator.h>
#include <Message.h>

namespace {

const char* const kNameField = InstallerFormat::Field::kCustomFolderName;
const char* const kRootField = InstallerFormat::Field::kCustomRootDir;
const char* const kSubField = InstallerFormat::Field::kCustomSubDir;
const char* const kReplaceField = InstallerFormat::Field::kCustomReplaceExisting;

// The numbered preference key of an entry, such as "custom_folder_name_3".
LibString PrefKey(const char* base, long entry)
{
    LibString key;
    key.Formatted("custom_folder_%s_%ld", base, entry);
    return key;
}

} // namespace

CustomFolder::CustomFolder(void)
    : fParent(B_DESKTOP_DIRECTORY)
    , // not meaningful until set
    fReplace(true)
    , fCommon(false)
{
}

CustomFolder::CustomFolder(char const* name)
    : CustomFolder()
{
    SetName(name);
}

CustomFolder::CustomFolder(CustomFolder const& other) = default;

CustomFolder::~CustomFolder() = default;

CustomFolder& CustomFolder::operator=(const CustomFolder& other)
{
    if (&other == this)
        return *this;
    fName = other.fName;
    fParent = other.fParent;
    fSubFolder = other.fSubFolder;
    fReplace = other.fReplace;
    fCommon = other.fCommon;
    return *this;
}

bool CustomFolder::operator==(const CustomFolder& other) const
{
    return fName.Compare(other.fName, false) == 0;
}

bool CustomFolder::operator>(const CustomFolder& other) const
{
    return fName.Compare(other.fName, false) > 0;
}

void CustomFolder::SetName(const char* name)
{
    fName = name;
}

void CustomFolder::ParentFolder(const directory_which& parent)
{
    fParent = parent;
}

void CustomFolder::SubFolder(const char* subFolder)
{
    fSubFolder = subFolder;
}

void CustomFolder::Replace(const bool& replace)
{
    fReplace = replace;
}

void CustomFolder::CommonDef(const bool& common)
{
    fCommon = common;
}

LibString CustomFolder::AttrDescription()
{
    LibString description;
    description.Formatted("%s;%d;%s;%d;", static_cast<const char*>(fName),
        static_cast<int>(fParent), static_cast<const char*>(fSubFolder), fReplace ? 1 : 0);
    return description;
}

void CustomFolder::SetFromAttrDescription(const LibString& description)
{
    // Each field is taken only when the description holds it; a number field that
    // is not a number leaves its member as it was.
    LibStringIterator fields(description);
    LibString field;
    if (!fields.GetNextField(';', field))
        return;
    fName = field;
    long number = 0;
    if (!fields.GetNextField(';', field))
        return;
    if (field.GetInt32(number))
        fParent = static_cast<directory_which>(number);
    if (!fields.GetNextField(';', field))
        return;
    fSubFolder = field;
    if (fields.GetNextField(';', field) && field.GetInt32(number))
        fReplace = number != 0;
}

void CustomFolder::Write(BMessage& message)
{
    message.AddString(kNameField, fName);
    message.AddInt32(kRootField, static_cast<int32>(fParent));
    message.AddString(kSubField, fSubFolder);
    message.AddBool(kReplaceField, fReplace);
}

void CustomFolder::Read(const BMessage& message)
{
    // A missing field leaves its member as it was.
    const char* text = nullptr;
    if (message.FindString(kNameField, 0, &text) == B_OK)
        fName = text;
    int32 parent = 0;
    if (message.FindInt32(kRootField, 0, &parent) == B_OK)
        fParent = static_cast<directory_which>(parent);
    if (message.FindString(kSubField, 0, &text) == B_OK)
        fSubFolder = text;
    bool replace = false;
    if (message.FindBool(kReplaceField, 0, &replace) == B_OK)
        fReplace = replace;
}

void CustomFolder::WritePref(const long& entry, BMessage& message)
{
    message.AddString(PrefKey("name", entry), fName);
    message.AddInt32(PrefKey("parent", entry), static_cast<int32>(fParent));
    message.AddString(PrefKey("sub_dir", entry), fSubFolder);
    message.AddBool(PrefKey("replace", entry), fReplace);
}

void CustomFolder::ReadPref(const long& entry, const BMessage& message)
{
    const char* text = nullptr;
    if (message.FindString(PrefKey("name", entry), 0, &text) == B_OK)
        fName = text;
    int32 parent = 0;
    if (message.FindInt32(PrefKey("parent", entry), 0, &parent) == B_OK)
        fParent = static_cast<directory_which>(parent);
    if (message.FindString(PrefKey("sub_dir", entry), 0, &text) == B_OK)
        fSubFolder = text;
    bool replace = false;
    if (message.FindBool(PrefKey("replace", entry), 0, &replace) == B_OK)
        fReplace = replace;
}

void CustomFolder::PrintToStream()
{
    fprintf(stderr, "CustomFolder name (%s), sub (%s), replace %d, common %d\n",
        static_cast<const char*>(fName), static_cast<const char*>(fSubFolder), fReplace ? 1 : 0,
        fCommon ? 1 : 0);
}
