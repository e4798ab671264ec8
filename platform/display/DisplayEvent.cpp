#include <DisplayEvent.h>

namespace BPrivate {

const char* DisplayEventTypeName(DisplayEventType type)
{
    switch (type) {
    case DisplayEventType::kMouseDown:
        return "mouse-down";
    case DisplayEventType::kMouseUp:
        return "mouse-up";
    case DisplayEventType::kMouseMoved:
        return "mouse-moved";
    case DisplayEventType::kMouseWheel:
        return "mouse-wheel";
    case DisplayEventType::kMouseEntered:
        return "mouse-entered";
    case DisplayEventType::kMouseExited:
        return "mouse-exited";
    case DisplayEventType::kKeyDown:
        return "key-down";
    case DisplayEventType::kKeyUp:
        return "key-up";
    case DisplayEventType::kModifiersChanged:
        return "modifiers-changed";
    case DisplayEventType::kCloseRequested:
        return "close-requested";
    case DisplayEventType::kActivated:
        return "activated";
    case DisplayEventType::kDeactivated:
        return "deactivated";
    case DisplayEventType::kFilesDropped:
        return "files-dropped";
    case DisplayEventType::kMoved:
        return "moved";
    case DisplayEventType::kResized:
        return "resized";
    case DisplayEventType::kQuitRequested:
        return "quit-requested";
    case DisplayEventType::kScreenChanged:
        return "screen-changed";
    }
    return "unknown";
}

} // namespace BPrivate
