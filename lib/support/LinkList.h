// LinkList<T>: a doubly linked list that owns its heap items and keeps one built-in
// cursor, and ListNode<T>, its node.
//
// Items are kept in insertion order. The list owns them: Insert takes an object made
// with new, and removing an item (Remove, Clear, destruction) deletes it, so item
// types need virtual destructors. Searches compare items with the item type's
// operator==, SortCompare with its operator>.
//
// The cursor is shared state: every walk (First, Next) and every search (InList,
// Get, FindNext, Position) moves it, and Remove() acts on it. A caller that searches
// inside a walk loses its place.
#ifndef LINK_LIST_H
#define LINK_LIST_H

#include <SupportDefs.h>

template <class T> class LinkList;

template <class T> class ListNode {
public:
    explicit ListNode(T* item)
        : fItem(item)
        , fPrevious(nullptr)
        , fNext(nullptr)
    {
    }
    // Destroying a node leaves its item alone: the list deletes items itself.
    virtual ~ListNode() = default;

    ListNode(const ListNode&) = delete;
    ListNode& operator=(const ListNode&) = delete;

    T* Item() const { return fItem; }
    ListNode* Previous() const { return fPrevious; }
    ListNode* Next() const { return fNext; }

private:
    friend class LinkList<T>;

    // Not owned by the node; the list that holds the node owns it.
    T* fItem;
    ListNode* fPrevious;
    ListNode* fNext;
};

template <class T> class LinkList {
public:
    LinkList(void)
        : fFirst(nullptr)
        , fLast(nullptr)
        , fCursor(nullptr)
        , fCount(0)
        , fCursorPosition(-1)
    {
    }

    // A copy holds copies of the other list's items; the other list's cursor stays.
    LinkList(const LinkList& other)
        : LinkList()
    {
        for (ListNode<T>* node = other.fFirst; node != nullptr; node = node->fNext)
            Insert(new T(*node->fItem));
    }

    virtual ~LinkList()
    {
        while (fFirst != nullptr)
            Unlink(fFirst);
    }

    // Appends the item and takes ownership of it; the cursor does not move. A null
    // item is refused.
    bool Insert(T* item)
    {
        if (item == nullptr)
            return false;
        ListNode<T>* node = new ListNode<T>(item);
        node->fPrevious = fLast;
        if (fLast != nullptr)
            fLast->fNext = node;
        else
            fFirst = node;
        fLast = node;
        fCount++;
        return true;
    }

    // Appends a copy of every item of other, in its order. Walks other with its own
    // cursor, which ends past its end.
    void Insert(LinkList<T>& other)
    {
        // Appending a list to itself copies the items it had at the start.
        long count = other.Size();
        T* item = other.First();
        for (long i = 0; item != nullptr && i < count; i++, item = other.Next())
            Insert(new T(*item));
    }

    long Copy(LinkList<T>& other)
    {
        if (&other != this) {
            Clear();
            Insert(other);
        }
        return Size();
    }

    LinkList& operator=(LinkList<T>& other)
    {
        if (&other != this)
            Copy(other);
        return *this;
    }

    T* First(void)
    {
        fCursor = fFirst;
        fCursorPosition = fCursor != nullptr ? 0 : -1;
        return fCursor != nullptr ? fCursor->fItem : nullptr;
    }

    // The item after the cursor; null, and no cursor, at the end or without a cursor.
    T* Next(void)
    {
        if (fCursor == nullptr)
            return nullptr;
        fCursor = fCursor->fNext;
        if (fCursor == nullptr) {
            fCursorPosition = -1;
            return nullptr;
        }
        fCursorPosition++;
        return fCursor->fItem;
    }

    // Removes and deletes the item under the cursor. The cursor steps back to the
    // item before it, so that Next() continues with the item after the removed one;
    // after removing the first item it rests on the new first item.
    bool Remove(void)
    {
        if (fCursor == nullptr)
            return false;
        ListNode<T>* removed = fCursor;
        if (removed->fPrevious != nullptr) {
            fCursor = removed->fPrevious;
            fCursorPosition--;
        } else {
            fCursor = removed->fNext;
            fCursorPosition = fCursor != nullptr ? 0 : -1;
        }
        Unlink(removed);
        return true;
    }

    virtual void Clear(void)
    {
        First();
        while (Remove()) { }
    }

    virtual long Size(void) const { return fCount; }

    // Whether a sorts after b.
    virtual bool SortCompare(T* a, T* b) { return *a > *b; }

    // From the cursor's item on, the first node whose item equals item, with the
    // cursor on it; null, no cursor and cursor position -1 when there is none.
    ListNode<T>* FindNext(const T* item)
    {
        for (; fCursor != nullptr && item != nullptr; Next()) {
            if (*fCursor->fItem == *item)
                return fCursor;
        }
        fCursor = nullptr;
        fCursorPosition = -1;
        return nullptr;
    }

    bool InList(T* item)
    {
        First();
        return FindNext(item) != nullptr;
    }

    // The list's own item equal to item (cursor on it), or null.
    T* Get(const T* item)
    {
        First();
        ListNode<T>* node = FindNext(item);
        return node != nullptr ? node->fItem : nullptr;
    }

    T* Get(const long& index)
    {
        ListNode<T>* node = Position(index);
        return node != nullptr ? node->fItem : nullptr;
    }

    // An int index must not be taken for a null item pointer (Get(0)).
    T* Get(const int& index) { return Get(static_cast<long>(index)); }

    // Moves the cursor to the item at index, walking the shortest way: from the
    // cursor, from the last item or from the first. Null and no change when the
    // index is outside 0..count - 1.
    ListNode<T>* Position(const long& index)
    {
        if (index < 0 || index >= fCount)
            return nullptr;
        long fromCursor = index - fCursorPosition;
        if (fCursor != nullptr && (fromCursor < 0 ? -fromCursor : fromCursor) < index) {
            for (; fromCursor > 0; fromCursor--)
                fCursor = fCursor->fNext;
            for (; fromCursor < 0; fromCursor++)
                fCursor = fCursor->fPrevious;
        } else if (fCount - index < index) {
            fCursor = fLast;
            for (long steps = fCount - index - 1; steps > 0; steps--)
                fCursor = fCursor->fPrevious;
        } else {
            fCursor = fFirst;
            for (long steps = index; steps > 0; steps--)
                fCursor = fCursor->fNext;
        }
        fCursorPosition = static_cast<int32>(index);
        return fCursor;
    }

    ListNode<T>* Position(const int& index) { return Position(static_cast<long>(index)); }

    // With an item: its index (cursor on it), or -1. With null: the cursor position.
    long Position(T* item)
    {
        if (item == nullptr)
            return fCursorPosition;
        Get(item);
        return fCursorPosition;
    }

    // Removes the first item equal to item, or with all every one of them. True when
    // an item was removed. (The item may be one of this list's own items: it is
    // copied before the first removal deletes it.)
    bool Remove(T* item, bool all)
    {
        if (item == nullptr)
            return false;
        T probe(*item);
        bool removed = false;
        First();
        // Remove() leaves the cursor on the item before the removed one (never equal,
        // as the search runs from the first item) or on the new first item, so the
        // next search from the cursor misses nothing.
        while (FindNext(&probe) != nullptr) {
            Remove();
            removed = true;
            if (!all)
                break;
        }
        return removed;
    }

protected:
    // The current cursor position: the index of the cursor's item, -1 without one.
    int32 CursorPosition() const { return fCursorPosition; }

private:
    // Unlinks node and deletes it together with its item. Leaves the cursor alone.
    void Unlink(ListNode<T>* node)
    {
        if (node->fPrevious != nullptr)
            node->fPrevious->fNext = node->fNext;
        else
            fFirst = node->fNext;
        if (node->fNext != nullptr)
            node->fNext->fPrevious = node->fPrevious;
        else
            fLast = node->fPrevious;
        fCount--;
        delete node->fItem;
        delete node;
    }

    ListNode<T>* fFirst;
    ListNode<T>* fLast;
    ListNode<T>* fCursor;
    int32 fCount;
    int32 fCursorPosition;
};

#endif // LINK_LIST_H
