#pragma once

// PanelEntryItem: one row of the file panel's list: the entry's small icon
// and its name, dimmed when the entry cannot be chosen.

#include <ListItem.h>

#include "FolderListing.h"

#include <memory>

class BBitmap;

namespace BPrivate {

class PanelEntryItem : public BListItem {
public:
    explicit PanelEntryItem(const PanelEntry& entry);
    ~PanelEntryItem() override;

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;

    const PanelEntry& Entry() const { return fEntry; }

private:
    PanelEntry fEntry;
    std::unique_ptr<BBitmap> fIcon;
    float fBaselineOffset = 0;
};

} // namespace BPrivate
