#pragma once

// Message codes and field names that the interface kit uses between its own
// parts (a window and itself, the display and a window).

#include <SupportDefs.h>

namespace BPrivate {

// Draw the invalid parts of the window.
constexpr uint32 kMsgUpdate = '_UPD';
// Activate this window (a click in a window that a modal window blocks).
constexpr uint32 kMsgActivateWindow = '_AWN';
// Open a menu for BPopUpMenu::Go called on another thread.
constexpr uint32 kMsgOpenMenu = '_OMN';
// The display queued events for this window.
constexpr uint32 kMsgDisplayEvents = '_DEV';
// The display queued events of the whole program.
constexpr uint32 kMsgAppEvents = '_DAP';
// The close box of a window that cannot be closed (B_NOT_CLOSABLE) was
// clicked: nothing happens unless the window has its own answer (an alert
// takes it as its cancel button).
constexpr uint32 kMsgCloseBoxOfUnclosable = '_CBX';

// A B_SIMPLE_DATA message that carries this field is a drop from the
// desktop; the window turns it into a dropped message for the view under
// the drop point (window coordinates in kDropPointField).
constexpr const char* kDropField = "_brenvik:drop";
constexpr const char* kDropPointField = "_brenvik:drop_point";

// The number that ties a queued input event to the window's record of it.
constexpr const char* kInputSequenceField = "_brenvik:input";

} // namespace BPrivate
