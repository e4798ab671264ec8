#pragma once

// BackingStore: the pixels of one window, an opaque ARGB32 surface that the
// window's own thread draws into and the display side reads from. Whoever
// touches the surface holds the lock: the interface kit for a drawing pass,
// the display thread while it copies pixels to the screen or resizes the
// store after the user resized the window.

#include <RenderSurface.h>

#include <memory>
#include <mutex>

namespace BPrivate {

class BackingStore {
public:
    // A store of width × height pixels, each point `scale` pixels wide.
    BackingStore(int32 width, int32 height, rgb_color fill, float scale = 1);
    BackingStore(const BackingStore&) = delete;
    BackingStore& operator=(const BackingStore&) = delete;

    void Lock() { fLock.lock(); }
    void Unlock() { fLock.unlock(); }
    // For std::lock_guard and std::unique_lock.
    void lock() { fLock.lock(); }
    void unlock() { fLock.unlock(); }

    // Valid while locked. A resize replaces the surface's pixels, so a
    // drawing context made before a resize must not be used after it.
    RenderSurface* Surface() { return &fSurface; }

    // Resizes under the lock (in pixels), keeping the pixels at the top left.
    status_t Resize(int32 width, int32 height);
    // The current size in pixels, read under the lock.
    int32 Width();
    int32 Height();

private:
    std::mutex fLock;
    RenderSurface fSurface;
    rgb_color fFill;
};

} // namespace BPrivate
