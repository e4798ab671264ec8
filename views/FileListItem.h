#pragma once

// FileListItem: one row of a file list: a file's small icon and its name (or
// its whole path, the folders in grey), painted grey when selected and cut to
// the list's width when a truncation mode is set. In a check list the row
// starts with a check box instead, ticked while the row is selected, and is
// not painted grey: the tick says what is chosen. An item also writes itself
// to and reads itself from the "install_file" record of the configuration:
// "file_name", "file_type", "file_size" (with "BVC:file_size_64"), "file_creation",
// "file_modified", "file_accessed" and "file_icon".

#include <Font.h>
#include <ListItem.h>
#include <Path.h>

#include <LibString.h>

#include <memory>

class BMessage;
class LibBitmap;

class FileListItem : public BListItem {
public:
    // The type code the configuration stores with a file; the installer
    // only keeps it and writes it back.
    enum FileType : int32 {
        kPlainFile = 0,
        kApplication = 1,
        kFolder = 2,
    };

    // With `indent` the row has a left margin of 16 pixels, otherwise 3.
    FileListItem(const bool& indent, const bool& showFullPath);
    FileListItem(const char* path, const bool& indent, const bool& showFullPath);
    // Copies the other item's path, type, flag and icon pixels (into an icon
    // of its own); the indent flag is this one's, truncation is off.
    FileListItem(const FileListItem& other, const bool& indent);
    ~FileListItem() override;

    FileListItem& operator=(const FileListItem&) = delete;

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;
    virtual void Write(BMessage& message);
    virtual void Read(const BMessage& message);

    // Sets the path, and the icon to the file's own small icon.
    void SetPath(const char* path);
    void SetShowFullPath(const bool& showFullPath);
    // 0 never cuts the text; otherwise a B_TRUNCATE_* mode.
    void SetTruncateMode(const uint32& mode);
    void SetType(const FileType& type);
    // Draws a check box left of the icon, ticked while the item is selected.
    void SetCheckBox(bool checkBox);
    bool HasCheckBox() const { return fCheckBox; }
    // The display text from the path: the whole path or its leaf.
    void SetDisplayText();
    // Asks the roster to open the file.
    status_t Execute();

    const BPath& Path() const { return fPath; }
    FileType Type() const { return fType; }
    const LibString& DisplayText() const { return fDisplayText; }
    const LibBitmap* Icon() const { return fIcon.get(); }
    bool ShowFullPath() const { return fShowFullPath; }
    bool Indent() const { return fIndent; }
    uint32 TruncateMode() const { return fTruncateMode; }

    // The row's fixed height.
    static constexpr float kItemHeight = 18;
    // The room the check box takes at the start of a check list's row.
    static constexpr float kCheckBoxRoom = 16;

private:
    float LeftMargin() const;
    // Where the icon starts: after the margin and the check box.
    float IconLeft() const;
    void SetEmptyIcon();
    void DrawCheckBox(BView* owner, BRect frame) const;

    bool fShowFullPath;
    bool fIndent;
    std::unique_ptr<LibBitmap> fIcon;
    BPath fPath;
    FileType fType;
    LibString fDisplayText;
    uint32 fTruncateMode;
    bool fCheckBox = false;
};
