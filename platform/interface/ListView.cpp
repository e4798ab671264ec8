#include <ListView.h>

#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

BListView::BListView(
    BRect frame, const char* name, list_view_type type, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
    , BInvoker()
    , fListType(type)
{
    SetViewColor(ui_color(B_LIST_BACKGROUND_COLOR));
    SetLowColor(ui_color(B_LIST_BACKGROUND_COLOR));
}

BListView::~BListView() = default;

// #pragma mark - layout and drawing

void BListView::Layout()
{
    float top = 0;
    for (BListItem* item : fItems) {
        item->fTop = top;
        top += std::ceil(item->Height()) + 1;
    }
}

float BListView::DataHeight() const
{
    if (fItems.empty())
        return 0;
    const BListItem* last = fItems.back();
    return last->fTop + std::ceil(last->Height()) + 1;
}

void BListView::FixupScrollBar()
{
    BScrollBar* bar = ScrollBar(B_VERTICAL);
    if (bar == nullptr)
        return;
    float visible = Bounds().Height() + 1;
    float data = DataHeight();
    bar->SetRange(0, std::max(0.0f, data - visible));
    bar->SetProportion(data > 0 ? std::min(1.0f, visible / data) : 1.0f);
    float step = fItems.empty() ? 20 : std::ceil(fItems.front()->Height()) + 1;
    bar->SetSteps(step, std::max(step, visible - step));
}

void BListView::UpdateItem(BListItem* item)
{
    BFont font;
    GetFont(&font);
    item->Update(this, &font);
}

void BListView::Draw(BRect updateRect)
{
    for (int32 i = 0; i < int32(fItems.size()); i++) {
        BRect frame = ItemFrame(i);
        if (frame.bottom < updateRect.top)
            continue;
        if (frame.top > updateRect.bottom)
            break;
        fItems[size_t(i)]->DrawItem(this, frame, false);
    }
    DrawCurrentRow();
}

void BListView::DrawCurrentRow()
{
    if (fListType != B_MULTIPLE_SELECTION_LIST || !IsFocus() || Window() == nullptr
        || !Window()->IsActive() || fCurrent < 0 || fCurrent >= CountItems())
        return;
    PushState();
    SetDrawingMode(B_OP_COPY);
    SetPenSize(1);
    SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
    StrokeRect(ItemFrame(fCurrent));
    PopState();
}

void BListView::AttachedToWindow()
{
    BView::AttachedToWindow();
    if (!Messenger().IsValid())
        SetTarget(Window());
    for (BListItem* item : fItems)
        UpdateItem(item);
    Layout();
    FixupScrollBar();
}

void BListView::FrameResized(float width, float height)
{
    BView::FrameResized(width, height);
    FixupScrollBar();
    Invalidate();
}

void BListView::TargetedByScrollView(BScrollView* scrollView)
{
    fScrollView = scrollView;
    BView::TargetedByScrollView(scrollView);
}

void BListView::ScrollTo(BPoint where)
{
    BView::ScrollTo(where);
}

void BListView::SetFont(const BFont* font, uint32 mask)
{
    BView::SetFont(font, mask);
    if (Window() == nullptr)
        return;
    for (BListItem* item : fItems)
        UpdateItem(item);
    Layout();
    FixupScrollBar();
    Invalidate();
}

void BListView::WindowActivated(bool active)
{
    BView::WindowActivated(active);
    if (IsFocus())
        InvalidateItem(fCurrent);
}

void BListView::MakeFocus(bool focused)
{
    if (focused == IsFocus())
        return;
    BView::MakeFocus(focused);
    // The keys need a row to work on: the first one, until one is clicked.
    if (focused && fCurrent < 0 && !fItems.empty())
        fCurrent = 0;
    InvalidateItem(fCurrent);
    if (fScrollView != nullptr)
        fScrollView->SetBorderHighlighted(focused);
}

void BListView::GetPreferredSize(float* width, float* height)
{
    float widest = 0;
    for (BListItem* item : fItems)
        widest = std::max(widest, item->Width());
    if (width != nullptr)
        *width = std::max(widest, Bounds().Width());
    if (height != nullptr)
        *height = std::max(DataHeight() - 1, Bounds().Height());
}

// #pragma mark - the mouse and the keyboard

void BListView::MouseDown(BPoint where)
{
    if (!IsFocus())
        MakeFocus(true);
    int32 clicks = 1;
    int32 modifiers = 0;
    if (BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr) {
        message->FindInt32("clicks", &clicks);
        message->FindInt32("modifiers", &modifiers);
    }
    int32 index = IndexOf(where);
    if (index >= 0 && clicks >= 2 && index == fLastClickIndex) {
        Invoke();
        return;
    }
    fLastClickIndex = index;
    if (index < 0)
        return;
    MarkCurrentRow(index);
    bool wasSelected = IsItemSelected(index);
    if (fListType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_SHIFT_KEY) != 0 && fAnchor >= 0) {
        Select(std::min(fAnchor, index), std::max(fAnchor, index), true);
    } else if (fListType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_COMMAND_KEY) != 0) {
        if (wasSelected)
            Deselect(index);
        else
            Select(index, true);
    } else {
        Select(index);
    }
    fTrackingPress = true;
    fPressPoint = where;
    fPressIndex = index;
    fPressWasSelected = wasSelected;
    SetMouseEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
}

void BListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
    if (fTrackingPress) {
        float dx = where.x - fPressPoint.x;
        float dy = where.y - fPressPoint.y;
        if (dx * dx + dy * dy > 16) {
            fTrackingPress = false;
            InitiateDrag(fPressPoint, fPressIndex, fPressWasSelected);
        }
    }
    BView::MouseMoved(where, transit, dragMessage);
}

void BListView::MouseUp(BPoint where)
{
    fTrackingPress = false;
    BView::MouseUp(where);
}

void BListView::SelectWithKeys(int32 index)
{
    index = std::clamp(index, int32(0), CountItems() - 1);
    Select(index);
    fCurrent = index;
    ScrollToSelection();
}

void BListView::MoveCurrentRow(int32 index, bool extend)
{
    index = std::clamp(index, int32(0), CountItems() - 1);
    if (extend) {
        // From the anchor (the row last clicked or toggled) to the new row;
        // the anchor stays where it is.
        int32 anchor = fAnchor >= 0 ? fAnchor : (fCurrent >= 0 ? fCurrent : index);
        Select(std::min(anchor, index), std::max(anchor, index));
        fAnchor = anchor;
    }
    SetCurrentRow(index);
}

int32 BListView::KeyTarget(char key, int32 from) const
{
    int32 last = CountItems() - 1;
    float visible = Bounds().Height() + 1;
    float rowHeight = std::ceil(fItems.front()->Height()) + 1;
    int32 page = std::max(int32(1), int32(visible / rowHeight) - 1);
    switch (key) {
    case B_UP_ARROW:
        if (from < 0)
            return last;
        return std::max(0, from - 1);
    case B_DOWN_ARROW:
        return std::min(last, from + 1);
    case B_HOME:
        return 0;
    case B_END:
        return last;
    case B_PAGE_UP:
        return std::max(0, from - page);
    case B_PAGE_DOWN:
        return std::min(last, std::max(from, 0) + page);
    default:
        return -1;
    }
}

void BListView::KeyDown(const char* bytes, int32 numBytes)
{
    if (numBytes != 1 || fItems.empty()) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    bool extend = (modifiers() & B_SHIFT_KEY) != 0;
    bool multiple = fListType == B_MULTIPLE_SELECTION_LIST;
    int32 target = KeyTarget(bytes[0], multiple ? fCurrent : fAnchor);
    if (target >= 0) {
        if (multiple)
            MoveCurrentRow(target, extend);
        else
            SelectWithKeys(target);
        return;
    }
    switch (bytes[0]) {
    case B_ENTER:
        Invoke();
        break;
    case B_SPACE:
        if (!multiple) {
            if (fAnchor >= 0)
                Select(fAnchor);
        } else if (fCurrent >= 0) {
            if (IsItemSelected(fCurrent))
                Deselect(fCurrent);
            else
                Select(fCurrent, true);
            fAnchor = fCurrent;
        }
        break;
    default:
        BView::KeyDown(bytes, numBytes);
        break;
    }
}

// #pragma mark - items

bool BListView::AddItem(BListItem* item)
{
    return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index)
{
    if (item == nullptr || index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    if (index <= fAnchor)
        fAnchor++;
    if (index <= fCurrent)
        fCurrent++;
    if (Window() != nullptr)
        UpdateItem(item);
    Layout();
    FixupScrollBar();
    if (Window() != nullptr) {
        BRect from = ItemFrame(index);
        Invalidate(BRect(Bounds().left, from.top, Bounds().right,
            std::max(Bounds().bottom, from.top + DataHeight())));
    }
    return true;
}

bool BListView::RemoveItem(BListItem* item)
{
    int32 index = IndexOf(item);
    return index >= 0 && RemoveItem(index) != nullptr;
}

BListItem* BListView::RemoveItem(int32 index)
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    BListItem* item = fItems[size_t(index)];
    if (item->IsSelected())
        Deselect(index);
    BRect from = ItemFrame(index);
    fItems.erase(fItems.begin() + index);
    if (fAnchor == index)
        fAnchor = -1;
    else if (fAnchor > index)
        fAnchor--;
    if (fCurrent > index || fCurrent == CountItems())
        fCurrent--;
    if (fLastClickIndex >= index)
        fLastClickIndex = -1;
    Layout();
    FixupScrollBar();
    Invalidate(BRect(Bounds().left, from.top, Bounds().right, Bounds().bottom));
    return item;
}

bool BListView::RemoveItems(int32 index, int32 count)
{
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    for (int32 i = 0; i < count; i++)
        RemoveItem(index);
    return true;
}

bool BListView::ReplaceItem(int32 index, BListItem* item)
{
    if (item == nullptr || index < 0 || index >= CountItems())
        return false;
    if (fItems[size_t(index)]->IsSelected())
        Deselect(index);
    fItems[size_t(index)] = item;
    if (Window() != nullptr)
        UpdateItem(item);
    Layout();
    FixupScrollBar();
    Invalidate();
    return true;
}

bool BListView::SwapItems(int32 a, int32 b)
{
    if (a < 0 || b < 0 || a >= CountItems() || b >= CountItems())
        return false;
    std::swap(fItems[size_t(a)], fItems[size_t(b)]);
    Layout();
    Invalidate();
    return true;
}

bool BListView::MoveItem(int32 from, int32 to)
{
    if (from < 0 || to < 0 || from >= CountItems() || to >= CountItems())
        return false;
    BListItem* item = fItems[size_t(from)];
    fItems.erase(fItems.begin() + from);
    fItems.insert(fItems.begin() + to, item);
    Layout();
    Invalidate();
    return true;
}

void BListView::SortItems(int (*compare)(const void*, const void*))
{
    if (compare == nullptr)
        return;
    // The comparison gets pointers to the item pointers, as with qsort.
    // NOLINTNEXTLINE(bugprone-sizeof-expression)
    std::qsort(fItems.data(), fItems.size(), sizeof(BListItem*), compare);
    Layout();
    Invalidate();
}

void BListView::SetSelectionMessage(BMessage* message)
{
    fSelectionMessage.reset(message);
}

void BListView::SetInvocationMessage(BMessage* message)
{
    SetMessage(message);
}

BMessage* BListView::SelectionMessage() const
{
    return fSelectionMessage.get();
}

uint32 BListView::SelectionCommand() const
{
    return fSelectionMessage != nullptr ? fSelectionMessage->what : 0;
}

BMessage* BListView::InvocationMessage() const
{
    return Message();
}

uint32 BListView::InvocationCommand() const
{
    return Command();
}

void BListView::SetListType(list_view_type type)
{
    if (type == fListType)
        return;
    fListType = type;
    if (type == B_SINGLE_SELECTION_LIST && CurrentSelection(1) >= 0)
        Select(CurrentSelection(0));
}

list_view_type BListView::ListType() const
{
    return fListType;
}

BListItem* BListView::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[size_t(index)];
}

int32 BListView::IndexOf(BPoint point) const
{
    for (int32 i = 0; i < CountItems(); i++) {
        const BListItem* item = fItems[size_t(i)];
        if (point.y >= item->fTop && point.y < item->fTop + std::ceil(item->Height()) + 1)
            return i;
    }
    return -1;
}

int32 BListView::IndexOf(BListItem* item) const
{
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

BListItem* BListView::FirstItem() const
{
    return fItems.empty() ? nullptr : fItems.front();
}

BListItem* BListView::LastItem() const
{
    return fItems.empty() ? nullptr : fItems.back();
}

bool BListView::HasItem(BListItem* item) const
{
    return IndexOf(item) >= 0;
}

int32 BListView::CountItems() const
{
    return int32(fItems.size());
}

void BListView::MakeEmpty()
{
    bool hadSelection = CurrentSelection() >= 0;
    for (BListItem* item : fItems)
        item->Deselect();
    fItems.clear();
    fAnchor = -1;
    fCurrent = -1;
    fLastClickIndex = -1;
    if (hadSelection)
        NotifySelection();
    FixupScrollBar();
    Invalidate();
}

bool BListView::IsEmpty() const
{
    return fItems.empty();
}

void BListView::DoForEach(bool (*function)(BListItem* item))
{
    if (function == nullptr)
        return;
    for (BListItem* item : std::vector<BListItem*>(fItems)) {
        if (function(item))
            break;
    }
}

void BListView::DoForEach(bool (*function)(BListItem* item, void* data), void* data)
{
    if (function == nullptr)
        return;
    for (BListItem* item : std::vector<BListItem*>(fItems)) {
        if (function(item, data))
            break;
    }
}

void BListView::InvalidateItem(int32 index)
{
    if (index >= 0 && index < CountItems())
        Invalidate(ItemFrame(index));
}

void BListView::ScrollToSelection()
{
    int32 index = CurrentSelection();
    if (fAnchor >= 0 && IsItemSelected(fAnchor))
        index = fAnchor;
    ScrollToRow(index);
}

void BListView::ScrollToRow(int32 index)
{
    if (index < 0 || index >= CountItems())
        return;
    BRect frame = ItemFrame(index);
    BRect bounds = Bounds();
    if (frame.top < bounds.top)
        ScrollTo(BPoint(bounds.left, frame.top));
    else if (frame.bottom > bounds.bottom)
        ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}

int32 BListView::CurrentRow() const
{
    return fCurrent;
}

void BListView::SetCurrentRow(int32 index)
{
    MarkCurrentRow(index);
    ScrollToRow(fCurrent);
}

void BListView::MarkCurrentRow(int32 index)
{
    if (index < 0 || index >= CountItems())
        index = -1;
    if (index == fCurrent)
        return;
    InvalidateItem(fCurrent);
    fCurrent = index;
    InvalidateItem(fCurrent);
}

// #pragma mark - selection

bool BListView::SetSelected(int32 index, bool selected)
{
    BListItem* item = ItemAt(index);
    if (item == nullptr || item->IsSelected() == selected)
        return false;
    if (selected)
        item->Select();
    else
        item->Deselect();
    InvalidateItem(index);
    return true;
}

void BListView::NotifySelection()
{
    SelectionChanged();
    if (fSelectionMessage != nullptr)
        InvokeNotify(fSelectionMessage.get(), B_CONTROL_MODIFIED);
}

void BListView::Select(int32 index, bool extend)
{
    if (index < 0 || index >= CountItems())
        return;
    bool changed = false;
    if (fListType == B_SINGLE_SELECTION_LIST || !extend) {
        for (int32 i = 0; i < CountItems(); i++) {
            if (i != index)
                changed = SetSelected(i, false) || changed;
        }
    }
    changed = SetSelected(index, true) || changed;
    fAnchor = index;
    if (changed)
        NotifySelection();
}

void BListView::Select(int32 from, int32 to, bool extend)
{
    if (fListType == B_SINGLE_SELECTION_LIST) {
        Select(to, false);
        return;
    }
    from = std::max(from, int32(0));
    to = std::min(to, CountItems() - 1);
    if (from > to)
        return;
    bool changed = false;
    for (int32 i = 0; i < CountItems(); i++) {
        bool inside = i >= from && i <= to;
        if (inside)
            changed = SetSelected(i, true) || changed;
        else if (!extend)
            changed = SetSelected(i, false) || changed;
    }
    if (fAnchor < 0)
        fAnchor = from;
    if (changed)
        NotifySelection();
}

bool BListView::IsItemSelected(int32 index) const
{
    const BListItem* item = ItemAt(index);
    return item != nullptr && item->IsSelected();
}

int32 BListView::CurrentSelection(int32 index) const
{
    if (index < 0)
        return -1;
    int32 seen = 0;
    for (int32 i = 0; i < CountItems(); i++) {
        if (fItems[size_t(i)]->IsSelected() && seen++ == index)
            return i;
    }
    return -1;
}

status_t BListView::Invoke(BMessage* message)
{
    bool notify = false;
    uint32 kind = InvokeKind(&notify);
    if (message == nullptr && !notify)
        message = Message();
    if (message == nullptr)
        return B_BAD_VALUE;
    BMessage clone(*message);
    (void)kind;
    clone.AddInt64("when", system_time());
    clone.AddPointer("source", this);
    if (fListType == B_SINGLE_SELECTION_LIST) {
        clone.AddInt32("index", CurrentSelection());
    } else {
        for (int32 i = 0; i < CountItems(); i++) {
            if (fItems[size_t(i)]->IsSelected())
                clone.AddInt32("index", i);
        }
    }
    return BInvoker::Invoke(&clone);
}

void BListView::DeselectAll()
{
    bool changed = false;
    for (int32 i = 0; i < CountItems(); i++)
        changed = SetSelected(i, false) || changed;
    if (changed)
        NotifySelection();
}

void BListView::DeselectExcept(int32 exceptFrom, int32 exceptTo)
{
    bool changed = false;
    for (int32 i = 0; i < CountItems(); i++) {
        if (i < exceptFrom || i > exceptTo)
            changed = SetSelected(i, false) || changed;
    }
    if (changed)
        NotifySelection();
}

void BListView::Deselect(int32 index)
{
    if (SetSelected(index, false))
        NotifySelection();
}

void BListView::SelectionChanged() { }

BRect BListView::ItemFrame(int32 index)
{
    BRect bounds = Bounds();
    BListItem* item = ItemAt(index);
    if (item == nullptr)
        return BRect(bounds.left, 0, bounds.right, -1);
    return BRect(bounds.left, item->fTop, bounds.right, item->fTop + std::ceil(item->Height()));
}

bool BListView::InitiateDrag(BPoint /*point*/, int32 /*itemIndex*/, bool /*wasSelected*/)
{
    return false;
}
