#include <DisplayWindow.h>

#include <DisplayBackend.h>
#include <DisplayScale.h>
#include <InterfaceColors.h>

#include <algorithm>
#include <cmath>

namespace BPrivate {

namespace {

int32 PixelCount(float extent)
{
    return std::max(1, int32(std::lround(extent)) + 1);
}

} // namespace

DisplayWindow::DisplayWindow(DisplayBackend* backend, int32 id, const DisplayWindowSpec& spec)
    : fBackend(backend)
    , fId(id)
    , fFlags(spec.flags)
    , fScale(backend != nullptr ? backend->Scale() : 1)
    , fStore(ScaledPixels(PixelCount(spec.frame.Width()), fScale),
          ScaledPixels(PixelCount(spec.frame.Height()), fScale), ui_color(B_PANEL_BACKGROUND_COLOR),
          fScale)
    , fTitle(spec.title)
{
    fFrame = BRect(spec.frame.left, spec.frame.top,
        spec.frame.left + float(PixelCount(spec.frame.Width()) - 1),
        spec.frame.top + float(PixelCount(spec.frame.Height()) - 1));
}

DisplayWindow::~DisplayWindow() = default;

BRect DisplayWindow::Frame() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fFrame;
}

std::string DisplayWindow::Title() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fTitle;
}

bool DisplayWindow::IsHidden() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fHidden;
}

bool DisplayWindow::IsActive() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fActive;
}

bool DisplayWindow::IsClosed() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fClosed;
}

int32 DisplayWindow::CountPresents() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return fPresents;
}

void DisplayWindow::SetTitle(const char* title)
{
    std::string text = title != nullptr ? title : "";
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fTitle = text;
    }
    DoSetTitle(text);
}

void DisplayWindow::MoveTo(BPoint leftTop)
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fFrame.OffsetTo(leftTop);
    }
    DoMoveTo(leftTop);
}

void DisplayWindow::ResizeTo(float width, float height)
{
    // Points here; the store's pixels below.
    int32 pixelWidth = PixelCount(width);
    int32 pixelHeight = PixelCount(height);
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fFrame.right = fFrame.left + float(pixelWidth - 1);
        fFrame.bottom = fFrame.top + float(pixelHeight - 1);
    }
    int32 storeWidth = ScaledPixels(pixelWidth, fScale);
    int32 storeHeight = ScaledPixels(pixelHeight, fScale);
    fStore.Resize(storeWidth, storeHeight);
    DoResizeTo(storeWidth, storeHeight);
}

void DisplayWindow::Show()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed || !fHidden)
            return;
        fHidden = false;
    }
    DoShow();
}

void DisplayWindow::Hide()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed || fHidden)
            return;
        fHidden = true;
    }
    DoHide();
}

void DisplayWindow::Activate()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed || fHidden || (fFlags & kWindowAvoidFocus) != 0)
            return;
    }
    DoActivate();
}

void DisplayWindow::Present(const ClipRegion& dirty)
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fPresents++;
    }
    DoPresent(dirty.ScaledBy(fScale));
}

void DisplayWindow::PresentAll()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fPresents++;
    }
    DoPresent(ClipRegion(clipping_rect { 0, 0, fStore.Width() - 1, fStore.Height() - 1 }));
}

void DisplayWindow::Close()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return;
        fClosed = true;
        fHidden = true;
        fActive = false;
    }
    fEvents.Close();
    DoClose();
}

bool DisplayWindow::UpdateFrame(BRect frame)
{
    std::lock_guard<std::mutex> lock(fLock);
    if (fFrame == frame)
        return false;
    fFrame = frame;
    return true;
}

bool DisplayWindow::UpdateActive(bool active)
{
    std::lock_guard<std::mutex> lock(fLock);
    if (fActive == active || (active && fClosed))
        return false;
    fActive = active;
    return true;
}

} // namespace BPrivate
