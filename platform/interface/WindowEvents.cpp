// BWindow: turning the display's events into the platform's messages.
//
// The display queues events for the window and wakes it. The window takes
// them on its own thread and posts each as a message to itself, so that a
// view handling one finds it as the window's current message (with its
// "buttons", "clicks" and "modifiers"), as on the original platform.

#include <Window.h>

#include <EntryRef.h>
#include <Messenger.h>
#include <View.h>

#include "Desktop.h"
#include "WindowLink.h"
#include "WindowPrivate.h"

using BPrivate::DisplayEvent;
using BPrivate::DisplayEventType;

namespace {

void AddMouseFields(BMessage* message, const DisplayEvent& event)
{
    message->AddInt64("when", event.when);
    message->AddPoint("where", event.where);
    message->AddPoint("screen_where", event.screenWhere);
    message->AddInt32("buttons", int32(event.buttons));
    message->AddInt32("modifiers", int32(event.modifiers));
}

void AddKeyFields(BMessage* message, const DisplayEvent& event)
{
    message->AddInt64("when", event.when);
    message->AddInt32("modifiers", int32(event.modifiers));
    message->AddInt32("key", event.key);
    for (char byte : event.bytes)
        message->AddInt8("byte", int8(byte));
    message->AddString("bytes", event.bytes.c_str());
    message->AddInt32("raw_char", int32(event.rawChar));
    if (event.repeat)
        message->AddInt32("be:key_repeat", 1);
}

} // namespace

std::unique_ptr<BMessage> BWindow::TranslateEvent(const DisplayEvent& event)
{
    auto message = std::make_unique<BMessage>();
    switch (event.type) {
    case DisplayEventType::kMouseDown:
        message->what = B_MOUSE_DOWN;
        AddMouseFields(message.get(), event);
        message->AddInt32("clicks", event.clicks > 0 ? event.clicks : 1);
        break;
    case DisplayEventType::kMouseUp:
        message->what = B_MOUSE_UP;
        AddMouseFields(message.get(), event);
        break;
    case DisplayEventType::kMouseMoved:
    case DisplayEventType::kMouseEntered:
        message->what = B_MOUSE_MOVED;
        AddMouseFields(message.get(), event);
        break;
    case DisplayEventType::kMouseExited:
        message->what = B_MOUSE_MOVED;
        AddMouseFields(message.get(), event);
        message->AddInt32("be:transit", B_EXITED_VIEW);
        break;
    case DisplayEventType::kMouseWheel:
        message->what = B_MOUSE_WHEEL_CHANGED;
        message->AddInt64("when", event.when);
        message->AddFloat("be:wheel_delta_x", event.wheelX);
        message->AddFloat("be:wheel_delta_y", event.wheelY);
        break;
    case DisplayEventType::kKeyDown:
    case DisplayEventType::kKeyUp: {
        bool down = event.type == DisplayEventType::kKeyDown;
        // Keys that type nothing (a modifier key alone) are unmapped.
        if (event.bytes.empty())
            message->what = down ? B_UNMAPPED_KEY_DOWN : B_UNMAPPED_KEY_UP;
        else
            message->what = down ? B_KEY_DOWN : B_KEY_UP;
        AddKeyFields(message.get(), event);
        break;
    }
    case DisplayEventType::kModifiersChanged:
        message->what = B_MODIFIERS_CHANGED;
        message->AddInt64("when", event.when);
        message->AddInt32("be:old_modifiers", int32(BPrivate::Desktop::Default().Modifiers()));
        message->AddInt32("modifiers", int32(event.modifiers));
        break;
    case DisplayEventType::kCloseRequested:
        message->what = (fFlags & B_NOT_CLOSABLE) != 0 ? BPrivate::kMsgCloseBoxOfUnclosable
                                                       : B_QUIT_REQUESTED;
        break;
    case DisplayEventType::kActivated:
    case DisplayEventType::kDeactivated:
        message->what = B_WINDOW_ACTIVATED;
        message->AddBool("active", event.type == DisplayEventType::kActivated);
        message->AddInt64("when", event.when);
        break;
    case DisplayEventType::kFilesDropped: {
        message->what = B_SIMPLE_DATA;
        for (const std::string& path : event.paths) {
            entry_ref ref;
            if (BPrivate::RefForPath(path.c_str(), &ref) == B_OK)
                message->AddRef("refs", &ref);
        }
        message->AddBool(BPrivate::kDropField, true);
        message->AddPoint(BPrivate::kDropPointField, event.where);
        break;
    }
    case DisplayEventType::kMoved:
        message->what = B_WINDOW_MOVED;
        message->AddPoint("where", event.frame.LeftTop());
        message->AddInt64("when", event.when);
        break;
    case DisplayEventType::kResized:
        message->what = B_WINDOW_RESIZED;
        message->AddInt32("width", int32(event.frame.IntegerWidth()));
        message->AddInt32("height", int32(event.frame.IntegerHeight()));
        message->AddInt64("when", event.when);
        break;
    case DisplayEventType::kQuitRequested:
    case DisplayEventType::kScreenChanged:
        return nullptr;
    }
    return message;
}

void BWindow::DrainDisplayEvents()
{
    if (fLink == nullptr || fOffscreen)
        return;
    fLink->EventsNoticed();
    for (const DisplayEvent& event : fLink->TakeEvents()) {
        std::unique_ptr<BMessage> message = TranslateEvent(event);
        if (message == nullptr)
            continue;
        switch (message->what) {
        case B_MOUSE_DOWN:
        case B_MOUSE_UP:
        case B_MOUSE_MOVED:
        case B_MOUSE_WHEEL_CHANGED:
        case B_KEY_DOWN:
        case B_KEY_UP:
        case B_UNMAPPED_KEY_DOWN:
        case B_UNMAPPED_KEY_UP:
        case B_MODIFIERS_CHANGED:
            PostInput(message.get());
            break;
        default:
            // A full queue must not lose the event: it is kept and handled
            // after the current message.
            if (BMessenger(this).SendMessage(message.get(), static_cast<BHandler*>(nullptr), 0)
                != B_OK)
                fUndelivered.push_back(std::move(message));
            break;
        }
    }
}

void BWindow::DeliverUndelivered()
{
    // Runs between messages, on the window's thread: events that found the
    // queue full are handled here.
    {
        std::vector<std::shared_ptr<const BMessage>> input;
        {
            std::lock_guard guard(fInputLock);
            for (PendingInput& entry : fPendingInput) {
                if (entry.unposted && !entry.consumed) {
                    entry.consumed = true;
                    input.push_back(entry.message);
                }
            }
            std::erase_if(fPendingInput,
                [](const PendingInput& entry) { return entry.unposted && entry.consumed; });
        }
        for (const auto& message : input) {
            BMessage copy(*message);
            DispatchInput(&copy);
        }
    }
    std::vector<std::unique_ptr<BMessage>> others;
    others.swap(fUndelivered);
    for (auto& message : others)
        DispatchMessage(message.get(), this);
}
