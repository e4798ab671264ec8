// BWindow: invalid areas, the drawing pass that repaints them, and handing
// the drawn pixels to the display.

#include <Window.h>

#include <Messenger.h>
#include <View.h>

#include <DrawingContext.h>

#include "Geometry.h"
#include "TopView.h"
#include "WindowLink.h"
#include "WindowPrivate.h"

#include <cmath>

using BPrivate::ClipRegion;

void BWindow::InvalidateWindowRect(const ClipRegion& area)
{
    if (area.IsEmpty())
        return;
    fDirty->Include(area);
    RequestUpdate();
}

void BWindow::RequestUpdate()
{
    if (fUpdateRequested || fUpdatesDisabled > 0 || fOffscreen || fDirty->IsEmpty())
        return;
    if (!WasRunCalled() || IsHidden())
        return;
    // Never wait for room in the queue: the window's own thread may be the
    // one asking. When the queue is full the request is made again after the
    // next message.
    BMessage update(BPrivate::kMsgUpdate);
    if (BMessenger(this).SendMessage(&update, static_cast<BHandler*>(nullptr), 0) == B_OK)
        fUpdateRequested = true;
}

const ClipRegion* BWindow::UpdateRegion() const
{
    return fUpdateRegion.get();
}

void BWindow::GeometryChanged()
{
    fDrawGeneration++;
}

void BWindow::DrawPendingUpdates()
{
    if (fDirty->IsEmpty() || fUpdatesDisabled > 0)
        return;
    if (IsHidden()) {
        // Showing the window redraws all of it.
        fDirty->MakeEmpty();
        return;
    }
    ClipRegion dirty = *fDirty;
    fDirty->MakeEmpty();
    dirty.IntersectWith(ClipRegion(Bounds()));
    {
        BPrivate::WindowLink::SurfaceGuard guard(fLink.get());
        fUpdateRegion = std::make_unique<ClipRegion>(dirty);
        GeometryChanged();
        DrawView(fTopView.get(), dirty);
        fUpdateRegion.reset();
        GeometryChanged();
        fLink->NoteDrawing();
    }
    fPendingPresent->Include(dirty);
    PresentPending();
}

void BWindow::DrawView(BView* view, const ClipRegion& dirty)
{
    if (view->fShowLevel > 0)
        return;
    BPoint offset = view->OffsetInWindow();
    BRect frameInWindow = BPrivate::OffsetRect(view->Bounds(), offset);
    if (!dirty.Intersects(ClipRegion::ToClippingRect(frameInWindow)))
        return;

    ClipRegion visible = view->VisibleRegion(true);
    visible.IntersectWith(dirty);
    if (!visible.IsEmpty()) {
        if (view->fViewColor != B_TRANSPARENT_COLOR) {
            // The view colour is painted first, whatever the view's own
            // state (origin, scale, drawing mode) is.
            BPrivate::DrawingContext background(fLink->Surface());
            background.SetDeviceClip(visible);
            background.SetHighColor(view->fViewColor);
            background.FillRect(BRect(0, 0, fLink->Surface()->Width(), fLink->Surface()->Height()));
        }
        if ((view->fFlags & B_WILL_DRAW) != 0) {
            view->MakeContext();
            view->ApplyClip(visible);
            clipping_rect box = visible.Frame();
            BRect update(box.left, box.top, box.right, box.bottom);
            view->Draw(BPrivate::OffsetRect(update, -offset));
        }
    }

    std::vector<BView*> children = view->fChildren;
    for (BView* child : children) {
        if (child->fParent == view)
            DrawView(child, dirty);
    }

    if ((view->fFlags & (B_DRAW_ON_CHILDREN | B_WILL_DRAW)) == (B_DRAW_ON_CHILDREN | B_WILL_DRAW)) {
        ClipRegion all = view->VisibleRegion(false);
        all.IntersectWith(dirty);
        if (!all.IsEmpty()) {
            GeometryChanged();
            view->ApplyClip(all);
            clipping_rect box = all.Frame();
            BRect update(box.left, box.top, box.right, box.bottom);
            view->DrawAfterChildren(BPrivate::OffsetRect(update, -offset));
        }
    }
    // The next view computes its own clipping.
    GeometryChanged();
}

void BWindow::NoteDirectDrawing(const ClipRegion& area)
{
    fPendingPresent->Include(area);
}

void BWindow::PresentPending()
{
    if (fPendingPresent->IsEmpty())
        return;
    if (!IsHidden())
        fLink->Present(*fPendingPresent);
    fPendingPresent->MakeEmpty();
}

bool BWindow::NeedsUpdate() const
{
    return !fDirty->IsEmpty();
}

void BWindow::UpdateIfNeeded()
{
    if (find_thread(nullptr) != Thread())
        return;
    DrawPendingUpdates();
    PresentPending();
}

void BWindow::DisableUpdates()
{
    fUpdatesDisabled++;
}

void BWindow::EnableUpdates()
{
    if (fUpdatesDisabled > 0)
        fUpdatesDisabled--;
    if (fUpdatesDisabled == 0)
        RequestUpdate();
}

void BWindow::BeginViewTransaction()
{
    DisableUpdates();
}

void BWindow::EndViewTransaction()
{
    EnableUpdates();
}

void BWindow::Flush() const
{
    const_cast<BWindow*>(this)->PresentPending();
}

void BWindow::Sync() const
{
    const_cast<BWindow*>(this)->PresentPending();
}
