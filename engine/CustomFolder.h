// CustomFolder: a named destination folder that the authoring side defines, given as
// a platform folder constant plus a relative sub-path, with the rule whether an
// existing folder is replaced.
#ifndef CUSTOM_FOLDER_H
#define CUSTOM_FOLDER_H

#include <FindDirectory.h>
#include <LibString.h>

class BMessage;

class CustomFolder {
public:
    CustomFolder(void);
    CustomFolder(char const* name);
    CustomFolder(CustomFolder const& other);
    virtual ~CustomFolder();

    CustomFolder& operator=(const CustomFolder& other);

    // Equality and order go by name alone (case-sensitive).
    bool operator==(const CustomFolder& other) const;
    bool operator>(const CustomFolder& other) const;

    void SetName(const char* name);
    void ParentFolder(const directory_which& parent);
    void SubFolder(const char* subFolder);
    void Replace(const bool& replace);
    void CommonDef(const bool& common);

    const LibString& Name() const { return fName; }
    directory_which ParentFolder() const { return fParent; }
    const LibString& SubFolder() const { return fSubFolder; }
    bool Replace() const { return fReplace; }
    bool CommonDef() const { return fCommon; }

    // The attribute form "name;parent;sub folder;replace;" (replace as 1 or 0).
    LibString AttrDescription();
    void SetFromAttrDescription(const LibString& description);

    // The configuration entry: "custom_folder_name", "custom_root_dir",
    // "custom_sub_dir", "custom_replace_existing". The common flag is not stored.
    // Reading sets every stored member: an absent field reads as empty, 0 or
    // false.
    void Write(BMessage& message);
    void Read(const BMessage& message);

    // Preference entry number entry: the same four values under numbered keys.
    void WritePref(const long& entry, BMessage& message);
    void ReadPref(const long& entry, const BMessage& message);

    void PrintToStream();

private:
    void ReadFields(const BMessage& message, const char* nameField, const char* parentField,
        const char* subField, const char* replaceField);

    LibString fName;
    directory_which fParent;
    LibString fSubFolder;
    bool fReplace;
    bool fCommon;
};

#endif // CUSTOM_FOLDER_H
