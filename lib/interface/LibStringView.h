#pragma once

// LibStringView: a string view that can show a text shortened to its width
// (paths, with their beginning cut so that the end stays readable), and
// whose Show() and Hide() never nest. It may carry a tool tip, asked for
// from the application while the pointer rests on the view.

#include <StringView.h>

#include <LibString.h>
#include <LibViewTip.h>

class LibStringView : public BStringView {
public:
    LibStringView(BRect frame, const char* name, const char* text);
    ~LibStringView() override;

    // Show the view only when it is hidden itself, hide it only when it is
    // shown (whatever its parents are).
    void Show() override;
    void Hide() override;

    // Shows `text` shortened with the view's font to the view's width, with
    // an ellipsis where text was cut (B_TRUNCATE_BEGINNING keeps the end).
    // The text is cut between characters, never inside one. A text that fits
    // is shown whole.
    void SetTruncatedText(const char* text, const uint32& mode = B_TRUNCATE_BEGINNING);

    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseDown(BPoint where) override;

    // The tip and the code of its requests to the application; an empty
    // text means no tip.
    void AddTip(const uint32& code, const char* text) { fTip.Set(code, text); }
    const LibString& TipText() const { return fTip.Text(); }

private:
    LibViewTip fTip { LibViewTip::kLeftBottom, BPoint(0, 4) };
};
