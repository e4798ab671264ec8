// BWindow: keyboard shortcuts (Command + key) and the default button.

#include <Window.h>

#include <Application.h>
#include <Button.h>
#include <View.h>

#include <cctype>

namespace {

// Shortcut messages that the window handles itself rather than posting.
constexpr const char* kQuitApplicationField = "_brenvik:quit_app";
constexpr const char* kToFocusField = "_brenvik:to_focus";

constexpr uint32 kShortcutModifiers = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY;

uint32 NormalizedKey(uint32 key)
{
    return key < 128 ? uint32(std::tolower(int(key))) : key;
}

} // namespace

void BWindow::AddDefaultShortcuts()
{
    // The platform's standard shortcuts: Command+Q quits the application,
    // Command+W closes a closable window, and the editing commands go to the
    // focus view.
    auto add = [&](uint32 key, uint32 what, const char* marker) {
        auto message = std::make_unique<BMessage>(what);
        message->AddBool(marker, true);
        fShortcuts.push_back({ key, B_COMMAND_KEY, std::move(message), nullptr });
    };
    add('q', B_QUIT_REQUESTED, kQuitApplicationField);
    if ((fFlags & B_NOT_CLOSABLE) == 0)
        fShortcuts.push_back(
            { 'w', B_COMMAND_KEY, std::make_unique<BMessage>(B_QUIT_REQUESTED), nullptr });
    add('x', B_CUT, kToFocusField);
    add('c', B_COPY, kToFocusField);
    add('v', B_PASTE, kToFocusField);
    add('a', B_SELECT_ALL, kToFocusField);
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message)
{
    AddShortcut(key, modifiers, message, this);
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target)
{
    // The window adopts the message, as the platform's call does.
    std::unique_ptr<BMessage> owned(message);
    if (owned == nullptr)
        return;
    RemoveShortcut(key, modifiers);
    fShortcuts.push_back({ NormalizedKey(key), (modifiers | B_COMMAND_KEY) & kShortcutModifiers,
        std::move(owned), target });
}

void BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
    uint32 normalized = NormalizedKey(key);
    uint32 wanted = (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
    std::erase_if(fShortcuts, [&](const Shortcut& shortcut) {
        return shortcut.key == normalized && shortcut.modifiers == wanted;
    });
}

bool BWindow::HasShortcut(uint32 key, uint32 modifiers)
{
    uint32 normalized = NormalizedKey(key);
    uint32 wanted = (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
    for (const Shortcut& shortcut : fShortcuts) {
        if (shortcut.key == normalized && shortcut.modifiers == wanted)
            return true;
    }
    return false;
}

bool BWindow::HandleShortcut(BMessage* /*message*/, uint32 key, uint32 modifiers)
{
    uint32 normalized = NormalizedKey(key);
    uint32 wanted = modifiers & kShortcutModifiers;
    MenusBeginning();
    const Shortcut* found = nullptr;
    for (const Shortcut& shortcut : fShortcuts) {
        if (shortcut.key == normalized && shortcut.modifiers == wanted) {
            found = &shortcut;
            break;
        }
    }
    if (found != nullptr) {
        BMessage copy(*found->message);
        if (copy.HasBool(kQuitApplicationField)) {
            if (be_app != nullptr) {
                BMessage quit(B_QUIT_REQUESTED);
                quit.AddBool("shortcut", true);
                be_app->PostMessage(&quit);
            }
        } else {
            copy.AddInt64("when", system_time());
            BHandler* target = found->target;
            if (copy.HasBool(kToFocusField)) {
                copy.RemoveName(kToFocusField);
                target = fFocus;
            }
            if (target == nullptr)
                target = this;
            if (target->Looper() == this)
                PostMessage(&copy, target);
            else
                BMessenger(target).SendMessage(&copy);
        }
    }
    MenusEnded();
    return found != nullptr;
}

void BWindow::SetDefaultButton(BButton* button)
{
    if (fDefaultButton == button)
        return;
    BButton* old = fDefaultButton;
    fDefaultButton = button;
    if (old != nullptr) {
        old->MakeDefault(false);
        old->Invalidate();
    }
    if (button != nullptr) {
        button->MakeDefault(true);
        button->Invalidate();
    }
}

BButton* BWindow::DefaultButton() const
{
    return fDefaultButton;
}
