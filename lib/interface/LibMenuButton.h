#pragma once

// LibMenuButton: a bold label with a colon on the left and a pop-up menu
// field ("menu", a LibMenuField) on the right. The menu operations are
// those of the field.

#include "LibLabelControl.h"
#include "LibMenuField.h"

class LibMenuButton : public LibLabelControl {
public:
    // The control is divider + menuWidth wide and 25 high, with its top left
    // corner at `where`; the label part is `divider` wide.
    LibMenuButton(BPoint where, const char* name, const char* label, const float& divider,
        const float& menuWidth, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        const int& fontSize = 0, const bool& radioMode = true);
    ~LibMenuButton() override;

    // Gives the focus to the menu field.
    void MakeFocus(bool focused = true) override;
    // Greys out the label and disables the menu field, or the other way.
    void SetEnabled(bool enabled) override;

    LibMenuField* MenuField() const { return fMenuField; }

    bool AddItem(const char* label, BMessage* message = nullptr, const int32& index = -1);
    bool AddItem(const LibString& label, BMessage* message = nullptr, const int32& index = -1);
    bool AddSeparatorItem();
    void Clear();
    void SetItem(const int32& index);
    void SetText(const char* label);
    void SetText(const LibString& label);
    LibString Text() const;
    int32 CurrentSelection() const;
    int32 CountItems() const;
    bool RemoveItem(const int32& index);
    bool RemoveItem(const char* label);
    bool IsItemEnabled(const int32& index) const;
    bool IsItemEnabled(const char* label) const;
    void SetEnableItem(const int32& index, const bool& enabled);
    void SetEnableItem(const char* label, const bool& enabled);
    bool InMenu(const char* label) const;
    bool ReplaceItem(const char* oldLabel, const char* newLabel);
    void SetTo(const BMessage& message, const char* name, const uint32& command);
    void AddStdFolders(const bool& system, const uint32& command);

private:
    LibMenuField* fMenuField;
};
