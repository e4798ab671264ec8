#pragma once

// The gallery's row of the installer's own views: the about panel with the
// product's picture and with its texts, the file list with rows to install,
// a row left out and a folder, and buttons that open the replace dialog in
// English and in German on two sample files.

#include <Rect.h>
#include <SupportDefs.h>

#include <string>

class BMessage;
class BView;
class BWindow;

namespace brenvik::gallery {

// Sent by the replace dialog's buttons ("language": the dialog's language).
constexpr uint32 kMsgShowReplace = 'galr';
// The replace dialog's answer: "which" (the button, 0 or 1) and
// "apply_to_all".
constexpr uint32 kMsgReplaceAnswer = 'gala';

// The row's boxes, in the given frame (in the gallery's panel). The about
// panels get their texts and picture in FillInstallerViews, once the row is
// in a window.
BView* BuildInstallerViews(BRect frame);
void FillInstallerViews(BView* row);

// Opens the replace dialog in `language` on the row's sample files; its
// answer comes to `window` as kMsgReplaceAnswer.
void ShowReplaceDialog(BView* row, BWindow* window, const char* language);
// Shows the answer in the row.
void HandleReplaceAnswer(BView* row, const BMessage* answer);

} // namespace brenvik::gallery
