#pragma once

// BTextView: text in a rectangle, wrapped at word boundaries, that can be
// selected and edited, with a font and colour per run of characters when it
// is stylable. The text rectangle (in the view's coordinates) gives the
// width the text wraps to and where the first line starts; longer text runs
// on below it and the view scrolls.
//
// Cut, copy and paste use a clipboard shared by the program's text views.

#include <Font.h>
#include <View.h>

#include <set>
#include <string>
#include <vector>

class BScrollView;

struct text_run {
    int32 offset;
    BFont font;
    rgb_color color;
};

struct text_run_array {
    int32 count;
    text_run runs[1];
};

class BTextView : public BView {
public:
    BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
    BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
        const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
    ~BTextView() override;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void WindowActivated(bool active) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void Pulse() override;
    void FrameResized(float width, float height) override;
    void MakeFocus(bool focused = true) override;
    void MessageReceived(BMessage* message) override;
    void TargetedByScrollView(BScrollView* scrollView) override;
    void GetPreferredSize(float* width, float* height) override;
    void ResizeToPreferred() override;

    void SetText(const char* text, const text_run_array* runs = nullptr);
    void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
    void Insert(const char* text, const text_run_array* runs = nullptr);
    void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
    void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
    void Delete();
    void Delete(int32 startOffset, int32 endOffset);

    const char* Text() const;
    int32 TextLength() const;
    void GetText(int32 offset, int32 length, char* buffer) const;
    uchar ByteAt(int32 offset) const;

    int32 CountLines() const;
    int32 CurrentLine() const;
    void GoToLine(int32 lineNumber);

    void Cut();
    void Copy();
    void Paste();
    void Clear();

    virtual void Select(int32 startOffset, int32 endOffset);
    void SelectAll();
    void GetSelection(int32* startOffset, int32* endOffset) const;

    void SetFontAndColor(
        const BFont* font, uint32 mode = B_FONT_ALL, const rgb_color* color = nullptr);
    void SetFontAndColor(int32 startOffset, int32 endOffset, const BFont* font,
        uint32 mode = B_FONT_ALL, const rgb_color* color = nullptr);
    void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = nullptr) const;
    void GetFontAndColor(
        BFont* font, uint32* mode, rgb_color* color = nullptr, bool* sameColor = nullptr) const;
    void SetRunArray(int32 startOffset, int32 endOffset, const text_run_array* runs);
    // A new run array (free it with FreeRunArray) describing the range.
    text_run_array* RunArray(int32 startOffset, int32 endOffset, int32* length = nullptr) const;

    int32 LineAt(int32 offset) const;
    int32 LineAt(BPoint point) const;
    BPoint PointAt(int32 offset, float* height = nullptr) const;
    int32 OffsetAt(BPoint point) const;
    int32 OffsetAt(int32 line) const;
    float LineWidth(int32 lineNumber = 0) const;
    float LineHeight(int32 lineNumber = 0) const;
    float TextHeight(int32 startLine, int32 endLine) const;
    void GetTextRegion(int32 startOffset, int32 endOffset, BRegion* outRegion) const;

    virtual void ScrollToOffset(int32 offset);
    void ScrollToSelection();
    void Highlight(int32 startOffset, int32 endOffset);

    void SetTextRect(BRect rect);
    BRect TextRect() const;
    void SetStylable(bool stylable);
    bool IsStylable() const;
    void SetTabWidth(float width);
    float TabWidth() const;
    void MakeSelectable(bool selectable = true);
    bool IsSelectable() const;
    void MakeEditable(bool editable = true);
    bool IsEditable() const;
    void SetWordWrap(bool wrap);
    bool DoesWordWrap() const;
    void SetMaxBytes(int32 max);
    int32 MaxBytes() const;
    // Characters that typing does not insert. A view that disallows B_TAB
    // passes Tab on, so that it moves the focus as in a one-line field.
    void DisallowChar(uint32 character);
    void AllowChar(uint32 character);
    void SetAlignment(alignment flag);
    alignment Alignment() const;
    void SetAutoindent(bool state);
    bool DoesAutoindent() const;
    void SetColorSpace(color_space colors);
    color_space ColorSpace() const;
    void HideTyping(bool enabled);
    bool IsTypingHidden() const;

    static text_run_array* AllocRunArray(int32 entryCount, int32* outSize = nullptr);
    static text_run_array* CopyRunArray(const text_run_array* original, int32 entryCount = -1);
    static void FreeRunArray(text_run_array* array);

protected:
    virtual void InsertText(
        const char* text, int32 length, int32 offset, const text_run_array* runs);
    virtual void DeleteText(int32 fromOffset, int32 toOffset);

private:
    struct Style {
        BFont font;
        rgb_color color;
        bool operator==(const Style& other) const
        {
            return font == other.font && color == other.color;
        }
    };
    struct Line {
        int32 offset;
        float top;
        float height;
        float ascent;
        float width;
    };

    void InitTextView(BRect textRect, const BFont* font, const rgb_color* color);

    // Styles (TextView.cpp). Every byte of the text names its style in a
    // table of the distinct styles in use.
    const Style& StyleAt(int32 offset) const;
    uint16 StyleId(const Style& style);
    void SetStyleRange(int32 start, int32 end, const Style& style);
    void ApplyRuns(int32 offset, int32 length, const text_run_array* runs);
    // The end of the run of one style that starts at `offset`.
    int32 RunEnd(int32 offset, int32 limit) const;
    static void ApplyFont(Style* style, const BFont* font, uint32 mode, const rgb_color* color);

    // Layout (TextViewLayout.cpp).
    void Relayout();
    float MeasureRange(int32 start, int32 end, float lineStart) const;
    float CharWidth(int32 offset, float x) const;
    int32 NextCharOffset(int32 offset) const;
    int32 PreviousCharOffset(int32 offset) const;
    float LineLeft(const Line& line) const;
    void FixupScrollBars();
    void InvalidateLines(int32 fromLine, int32 toLine);

    // Input (TextViewInput.cpp).
    void MoveCaret(int32 offset, bool extend);
    void HandleArrow(char key, bool extend);
    // Scrolls a text that cannot be edited by the key; false for a key that
    // does not scroll.
    bool ScrollWithKey(char key);
    void InsertTyped(const char* bytes, int32 length);
    void DeleteBackward();
    void DeleteForward();
    int32 WordStart(int32 offset) const;
    int32 WordEnd(int32 offset) const;
    void DrawCaret();

    std::string fText;
    std::vector<uint16> fStyleOf;
    std::vector<Style> fStyles;
    Style fTypingStyle;
    std::vector<Line> fLines;
    std::vector<float> fAdvances;
    BRect fTextRect;
    int32 fSelectionStart = 0;
    int32 fSelectionEnd = 0;
    int32 fAnchor = 0;
    float fTabWidth = 28;
    int32 fMaxBytes = 0x7fffffff;
    std::set<uint32> fDisallowed;
    alignment fAlignment = B_ALIGN_LEFT;
    color_space fColorSpace = B_RGB32;
    bool fStylable = false;
    bool fSelectable = true;
    bool fEditable = true;
    bool fWordWrap = true;
    bool fAutoindent = false;
    bool fTypingHidden = false;
    bool fTracking = false;
    bool fTypingStyleSet = false;
    float fCaretX = -1;
    BScrollView* fScrollView = nullptr;
};
