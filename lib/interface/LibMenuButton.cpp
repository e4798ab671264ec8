#include "LibMenuButton.h"

#include "LibRect.h"

LibMenuButton::LibMenuButton(BPoint where, const char* name, const char* label,
    const float& divider, const float& menuWidth, uint32 resizingMode, const int& fontSize,
    const bool& radioMode)
    : LibLabelControl(LibRect(where.x, where.y, divider + menuWidth, 25), divider, name, label, 3,
        ":", resizingMode)
    , fMenuField(new LibMenuField(
          LibRect(divider - 3, 0, menuWidth, Bounds().Height()), "menu", fontSize, radioMode))
{
    AddChild(fMenuField);
}

LibMenuButton::~LibMenuButton() = default;

void LibMenuButton::MakeFocus(bool focused)
{
    fMenuField->MakeFocus(focused);
}

void LibMenuButton::SetEnabled(bool enabled)
{
    LibLabelControl::SetEnabled(enabled);
    fMenuField->SetEnabled(enabled);
}

bool LibMenuButton::AddItem(const char* label, BMessage* message, const int32& index)
{
    return fMenuField->Add(label, message, index);
}

bool LibMenuButton::AddItem(const LibString& label, BMessage* message, const int32& index)
{
    return fMenuField->Add(static_cast<const char*>(label), message, index);
}

bool LibMenuButton::AddSeparatorItem()
{
    return fMenuField->AddSeparatorItem();
}

void LibMenuButton::Clear()
{
    fMenuField->Clear();
}

void LibMenuButton::SetItem(const int32& index)
{
    fMenuField->SetItem(index);
}

void LibMenuButton::SetText(const char* label)
{
    fMenuField->SetText(label);
}

void LibMenuButton::SetText(const LibString& label)
{
    fMenuField->SetText(static_cast<const char*>(label));
}

LibString LibMenuButton::Text() const
{
    return fMenuField->Text();
}

int32 LibMenuButton::CurrentSelection() const
{
    return fMenuField->CurrentSelection();
}

int32 LibMenuButton::CountItems() const
{
    return fMenuField->CountItems();
}

bool LibMenuButton::RemoveItem(const int32& index)
{
    return fMenuField->RemoveItem(index);
}

bool LibMenuButton::RemoveItem(const char* label)
{
    return fMenuField->RemoveItem(label);
}

bool LibMenuButton::IsItemEnabled(const int32& index) const
{
    return fMenuField->IsItemEnabled(index);
}

bool LibMenuButton::IsItemEnabled(const char* label) const
{
    return fMenuField->IsItemEnabled(label);
}

void LibMenuButton::SetEnableItem(const int32& index, const bool& enabled)
{
    fMenuField->SetEnableItem(index, enabled);
}

void LibMenuButton::SetEnableItem(const char* label, const bool& enabled)
{
    fMenuField->SetEnableItem(label, enabled);
}

bool LibMenuButton::InMenu(const char* label) const
{
    return fMenuField->InMenu(label);
}

bool LibMenuButton::ReplaceItem(const char* oldLabel, const char* newLabel)
{
    return fMenuField->Replace(oldLabel, newLabel);
}

void LibMenuButton::SetTo(const BMessage& message, const char* name, const uint32& command)
{
    fMenuField->SetTo(message, name, command);
}

void LibMenuButton::AddStdFolders(const bool& system, const uint32& command)
{
    fMenuField->AddStdFolders(system, command);
}
