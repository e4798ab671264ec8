#pragma once

// BMenuField: a label and, beside it, a pop-up box that shows the menu's
// label (with "label from marked", the marked item's label) and opens the
// menu when clicked, or when Space, Enter or the down arrow is typed while
// the field has the focus (Enter goes to the field rather than the window's
// default button). Open, the arrows move among the enabled items, Enter or
// Space chooses one and Escape closes the menu without a choice. The field
// owns its menu.

#include <Menu.h>
#include <MenuBar.h>
#include <View.h>

#include <string>

class BMenuItem;

namespace BPrivate {
class MenuFieldBar;
}

class BMenuField : public BView {
public:
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
        uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
        uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BMenuField() override;

    void Draw(BRect updateRect) override;
    void AttachedToWindow() override;
    void AllAttached() override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focused = true) override;
    void MessageReceived(BMessage* message) override;
    void WindowActivated(bool active) override;
    void FrameResized(float width, float height) override;
    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;

    BMenu* Menu() const;
    BMenuBar* MenuBar() const;
    BMenuItem* MenuItem() const;

    virtual void SetLabel(const char* label);
    const char* Label() const;
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    virtual void SetAlignment(alignment label);
    alignment Alignment() const;
    virtual void SetDivider(float divider);
    float Divider() const;

    void ShowPopUpMarker();
    void HidePopUpMarker();

    // Opens the menu below the pop-up box (from the keyboard: with the
    // marked item highlighted).
    void OpenMenu(bool fromKeyboard);

private:
    friend class BPrivate::MenuFieldBar;

    void InitField(const char* label, BMenu* menu, bool fixedSize);
    void PlaceMenuBar();
    float LabelBaseline();

    BMenu* fMenu = nullptr;
    BMenuBar* fMenuBar = nullptr;
    std::string fLabel;
    bool fHasLabel = false;
    float fDivider = 0;
    alignment fAlignment = B_ALIGN_LEFT;
    bool fEnabled = true;
    bool fFixedSize = false;
    bool fShowMarker = true;
    bool fWantsNavigation = true;
};
