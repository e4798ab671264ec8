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
    ReadFields(message, kNameField, kRootField, kSubField, kReplaceField);
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
    ReadFields(message, PrefKey("name", entry), PrefKey("parent", entry), PrefKey("sub_dir", entry),
        PrefKey("replace", entry));
}

void CustomFolder::ReadFields(const BMessage& message, const char* nameField,
    const char* parentField, const char* subField, const char* replaceField)
{
    // Every member is set, also from an absent field: an absent text reads as
    // empty, an absent parent as 0 and an absent flag as false, so a record
    // without "replace" never replaces (and so never empties) an existing
    // folder. The common flag is not stored and stays as it is.
    const char* text = nullptr;
    fName = message.FindString(nameField, 0, &text) == B_OK ? text : "";
    int32 parent = 0;
    message.FindInt32(parentField, 0, &parent);
    fParent = static_cast<directory_which>(parent);
    text = nullptr;
    fSubFolder = message.FindString(subField, 0, &text) == B_OK ? text : "";
    bool replace = false;
    message.FindBool(replaceField, 0, &replace);
    fReplace = replace;
}

void CustomFolder::PrintToStream()
{
    fprintf(stderr, "CustomFolder name (%s), sub (%s), replace %d, common %d\n",
        static_cast<const char*>(fName), static_cast<const char*>(fSubFolder), fReplace ? 1 : 0,
        fCommon ? 1 : 0);
}
