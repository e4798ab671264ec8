#pragma once

// Waiting for a window's first frame: the window has drawn everything that
// was invalid, handed it to the display, and the display has put it on the
// screen (or, headless, into the window's backing store).

#include <SupportDefs.h>

class BWindow;

namespace brenvik::gallery {

// Waits, from any thread but the window's own, until `window` has drawn and
// presented everything and the display has carried it out. Gives the
// window's display id in `displayId`. B_TIMED_OUT when `timeout`
// (microseconds) passes first; B_BAD_VALUE when the window has gone.
status_t WaitUntilPresented(BWindow* window, bigtime_t timeout, int32* displayId);

} // namespace brenvik::gallery
