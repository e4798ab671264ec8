#pragma once

// LibMenuField: a pop-up menu field without a label, whose items are
// addressed by index or by label. In radio mode one item is always marked
// once there are items, and the field shows the marked item's label. The
// arrow keys, Home and End move the mark while the field has the focus.

#include <FindDirectory.h>
#include <MenuField.h>

#include <LibString.h>

class BMenuItem;
class BMessage;

class LibMenuField : public BMenuField {
public:
    // A font size of 0 keeps the platform's menu font.
    LibMenuField(BRect frame, const char* name, const int& fontSize, const bool& radioMode);
    ~LibMenuField() override;

    // Up and down arrow move the mark to the previous or next item, Home and
    // End to the first or last, wrapping around at both ends and passing
    // over separators and disabled items; the newly marked item sends its
    // message. With no item marked these keys do nothing.
    void KeyDown(const char* bytes, int32 numBytes) override;

    // Marks the item with that label; nothing if there is none.
    virtual void SetText(const char* label);

    // Adds an item with the label and the message (the item owns it; may be
    // null), appended for index -1, else inserted there. The first item of
    // a radio-mode field is marked.
    bool Add(const char* label, BMessage* message = nullptr, const int32& index = -1);
    bool AddSeparatorItem();
    // Removes and deletes every item.
    void Clear();
    // Removes and deletes the item; false when there is none.
    bool RemoveItem(const int32& index);
    bool RemoveItem(const char* label);
    // Gives the item of that label another one.
    bool Replace(const char* oldLabel, const char* newLabel);

    // Marks the item at the index (in radio mode the previous one loses its
    // mark); nothing when there is none.
    void SetItem(const int32& index);
    // The label of the marked item, or "" when none is marked.
    LibString Text() const;
    // The index of the marked item, or -1.
    int32 CurrentSelection() const;

    BMenuItem* ItemAt(const int32& index) const;
    int32 CountItems() const;
    bool InMenu(const char* label) const;
    // False when there is no such item.
    bool IsItemEnabled(const int32& index) const;
    bool IsItemEnabled(const char* label) const;
    void SetEnableItem(const int32& index, const bool& enabled);
    void SetEnableItem(const char* label, const bool& enabled);
    void SetEnableAll(const bool& enabled);
    bool IsMarked(const char* label) const;
    void SetMarked(const char* label, const bool& marked);
    void ToggleMarked(const char* label);
    // Unmarks the disabled items before the first enabled one and marks it.
    void MarkFirstEnabled();

    // Fills the menu from the strings `name` of the message, one item each
    // (with a message of the command when it is not 0), keeping the marked
    // label marked when it is among them. Nothing when the message has no
    // such strings.
    void SetTo(const BMessage& message, const char* name, const uint32& command);
    // Adds an item labelled with the standard name of the folder (with a
    // message of the command when it is not 0); false for a folder without
    // a standard name.
    bool AddStdFolder(const directory_which& which, const uint32& command);
    // Adds the standard folders in groups: the desktop, trash and
    // application folders; the system's own folders (when `system` is set);
    // the common folders; the user's folders.
    void AddStdFolders(const bool& system, const uint32& command);

private:
    BMenuItem* FindItem(const char* label) const;
    // The item that a navigation key moves the mark to, or -1.
    int32 NavigationTarget(char key, int32 marked) const;
    bool IsSelectable(int32 index) const;
};
