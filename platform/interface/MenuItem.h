#pragma once

// BMenuItem: an entry of a menu with a label, a message, an optional
// keyboard shortcut and an optional submenu. A chosen item sends its message
// with "when", "source" and "index" (its place in the menu) to its target,
// which is the menu's window unless another one is set. BSeparatorItem: the
// line between groups of items.

#include <Archivable.h>
#include <Invoker.h>
#include <Rect.h>

#include <string>

class BMenu;
class BWindow;

class BMenuItem : public BArchivable, public BInvoker {
public:
    BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
    explicit BMenuItem(BMenu* menu, BMessage* message = nullptr);
    ~BMenuItem() override;

    virtual void SetLabel(const char* name);
    virtual void SetEnabled(bool enabled);
    virtual void SetMarked(bool marked);
    virtual void SetTrigger(char trigger);
    virtual void SetShortcut(char shortcut, uint32 modifiers);

    const char* Label() const;
    bool IsEnabled() const;
    bool IsMarked() const;
    char Trigger() const;
    char Shortcut(uint32* modifiers = nullptr) const;

    BMenu* Submenu() const;
    BMenu* Menu() const;
    BRect Frame() const;

    status_t Invoke(BMessage* message = nullptr) override;

    virtual bool IsSeparator() const { return false; }

protected:
    virtual void GetContentSize(float* width, float* height);
    virtual void DrawContent();
    virtual void Draw();
    virtual void Highlight(bool highlighted);
    bool IsSelected() const;
    BPoint ContentLocation() const;

private:
    friend class BMenu;

    void Install(BWindow* window);
    void Uninstall();
    void SetSuper(BMenu* menu);

    std::string fLabel;
    BMenu* fSubmenu = nullptr;
    BMenu* fSuper = nullptr;
    BWindow* fWindow = nullptr;
    BRect fFrame;
    char fShortcut;
    uint32 fModifiers;
    char fTrigger = 0;
    bool fEnabled = true;
    bool fMarked = false;
    bool fSelected = false;
};

class BSeparatorItem : public BMenuItem {
public:
    BSeparatorItem();
    ~BSeparatorItem() override;

    void SetEnabled(bool enabled) override;
    bool IsSeparator() const override { return true; }

protected:
    void GetContentSize(float* width, float* height) override;
    void Draw() override;
};
