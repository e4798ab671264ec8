#pragma once

// BListItem: one row of a BListView; subclasses draw it. BStringItem: a row
// of text.
//
// An item's frame in its list runs from its top to top + Height(), the
// platform's rectangle rule, so a row is Height() + 1 pixels tall.

#include <Archivable.h>
#include <Rect.h>

#include <string>

class BFont;
class BView;

class BListItem : public BArchivable {
public:
    explicit BListItem(uint32 outlineLevel = 0, bool expanded = true);
    explicit BListItem(BMessage* data);
    ~BListItem() override;

    status_t Archive(BMessage* data, bool deep = true) const override;

    float Height() const;
    float Width() const;
    bool IsSelected() const;
    void Select();
    void Deselect();

    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;

    void SetHeight(float height);
    void SetWidth(float width);
    virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
    // Called when the item joins a list and when the list's font changes:
    // the item measures itself (the base takes the owner's width and the
    // font's line height).
    virtual void Update(BView* owner, const BFont* font);

    bool IsExpanded() const;
    void SetExpanded(bool expanded);
    uint32 OutlineLevel() const;

private:
    friend class BListView;

    float fTop = 0;
    float fWidth = 0;
    float fHeight = 0;
    uint32 fOutlineLevel;
    bool fSelected = false;
    bool fEnabled = true;
    bool fExpanded;
};

class BStringItem : public BListItem {
public:
    explicit BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
    explicit BStringItem(BMessage* data);
    ~BStringItem() override;

    static BArchivable* Instantiate(BMessage* data);
    status_t Archive(BMessage* data, bool deep = true) const override;

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    virtual void SetText(const char* text);
    const char* Text() const;
    void Update(BView* owner, const BFont* font) override;

private:
    std::string fText;
    bool fHasText;
    float fBaselineOffset = 0;
};
