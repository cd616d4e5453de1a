// LinkList<T>: an owning, doubly linked list in insertion order with one
// built-in cursor; ListNode<T> is its node.
#pragma once

#include <new>

#include "SupportDefs.h"

template <class T> class LinkList;

// A node points at its item but does not own it: the list deletes items.
template <class T> class ListNode {
public:
	explicit ListNode(T* item) : fItem(item), fPrevious(nullptr), fNext(nullptr) {}
	virtual ~ListNode() {}

	T* Item() const { return fItem; }
	ListNode* Previous() const { return fPrevious; }
	ListNode* Next() const { return fNext; }

private:
	friend class LinkList<T>;

	T* fItem;
	ListNode* fPrevious;
	ListNode* fNext;
};

template <class T> class LinkList {
public:
	LinkList();
	LinkList(const LinkList& other);
	virtual ~LinkList();
	LinkList& operator=(const LinkList& other);

	virtual void Clear();
	virtual int32 Size() const { return fCount; }
	// Whether `a` sorts after `b`.
	virtual bool SortCompare(T* a, T* b) { return *a > *b; }

	// Takes the item over; false for no item or when no node could be made.
	bool Insert(T* item);
	// Appends a copy of every item of `other`, in its order.
	void Insert(const LinkList& other);
	int32 Copy(const LinkList& other);

	T* First();
	T* Next();
	// Deletes the cursor item; the cursor goes to the item before it, or to
	// the new first item when the first one went.
	bool Remove();
	// Deletes the first item equal to `item` (with `all`, every one); true
	// when one was deleted. `item` itself is never deleted unless it is in
	// the list.
	bool Remove(T* item, const bool& all = false);

	bool InList(T* item);
	T* Position(const int32& index);
	int32 Position(T* item) const;
	T* Get(const int32& index) { return Position(index); }
	T* Get(const T* item);
	// The next item after the cursor that equals `item`.
	T* FindNext(const T* item);

	// The cursor item and its index (-1 without one or after a failed search).
	T* Current() const { return fCursor != nullptr ? fCursor->fItem : nullptr; }
	int32 CurrentIndex() const { return fCursorIndex; }

private:
	typedef ListNode<T> Node;

	void Unlink(Node* node);
	T* SetCursor(Node* node, const int32& index);
	Node* FindFrom(Node* node, int32& index, const T* item) const;
	Node* NodeAt(const int32& index) const;

	Node* fFirst;
	Node* fLast;
	Node* fCursor;
	int32 fCount;
	int32 fCursorIndex;
};

template <class T>
LinkList<T>::LinkList()
    : fFirst(nullptr), fLast(nullptr), fCursor(nullptr), fCount(0), fCursorIndex(-1)
{
}

template <class T> LinkList<T>::LinkList(const LinkList& other) : LinkList()
{
	Insert(other);
}

template <class T> LinkList<T>::~LinkList()
{
	LinkList<T>::Clear();
}

template <class T> LinkList<T>& LinkList<T>::operator=(const LinkList& other)
{
	if (&other != this)
		Copy(other);
	return *this;
}

template <class T> void LinkList<T>::Clear()
{
	while (First() != nullptr && Remove()) {
	}
}

template <class T> bool LinkList<T>::Insert(T* item)
{
	if (item == nullptr)
		return false;
	Node* node = new (std::nothrow) Node(item);
	if (node == nullptr)
		return false;
	node->fPrevious = fLast;
	if (fLast != nullptr)
		fLast->fNext = node;
	else
		fFirst = node;
	fLast = node;
	fCount++;
	return true;
}

// Walks the nodes directly, so the other list's cursor stays where it was.
template <class T> void LinkList<T>::Insert(const LinkList& other)
{
	Node* last = other.fLast;
	for (Node* node = other.fFirst; node != nullptr; node = node->fNext) {
		Insert(new T(*node->fItem));
		if (node == last)
			break;
	}
}

template <class T> int32 LinkList<T>::Copy(const LinkList& other)
{
	if (&other == this)
		return fCount;
	Clear();
	Insert(other);
	return fCount;
}

template <class T> T* LinkList<T>::SetCursor(Node* node, const int32& index)
{
	fCursor = node;
	fCursorIndex = node != nullptr ? index : -1;
	return node != nullptr ? node->fItem : nullptr;
}

template <class T> T* LinkList<T>::First()
{
	return SetCursor(fFirst, 0);
}

template <class T> T* LinkList<T>::Next()
{
	if (fCursor == nullptr || fCursor->fNext == nullptr) {
		// Past the last item: no cursor, so a further Next stays there.
		SetCursor(nullptr, -1);
		return nullptr;
	}
	return SetCursor(fCursor->fNext, fCursorIndex + 1);
}

template <class T> void LinkList<T>::Unlink(Node* node)
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
}

template <class T> bool LinkList<T>::Remove()
{
	Node* node = fCursor;
	if (node == nullptr)
		return false;
	Unlink(node);
	if (node->fPrevious != nullptr)
		SetCursor(node->fPrevious, fCursorIndex - 1);
	else
		SetCursor(fFirst, 0);
	delete node->fItem;
	delete node;
	return true;
}

template <class T>
typename LinkList<T>::Node* LinkList<T>::FindFrom(Node* node, int32& index, const T* item) const
{
	for (; node != nullptr; node = node->fNext, index++) {
		if (*node->fItem == *item)
			return node;
	}
	return nullptr;
}

template <class T> bool LinkList<T>::Remove(T* item, const bool& all)
{
	if (item == nullptr)
		return false;
	bool removed = false;
	// When the argument is itself in the list, it is still compared against
	// until the end and is deleted last.
	Node* self = nullptr;
	int32 index = 0;
	for (Node* node = FindFrom(fFirst, index, item); node != nullptr;
	     node = FindFrom(node, index, item)) {
		if (node->fItem == item && all) {
			self = node;
			node = node->fNext;
			index++;
			continue;
		}
		Node* next = node->fNext;
		SetCursor(node, index);
		Remove();
		removed = true;
		if (!all)
			return true;
		node = next;
	}
	if (self == nullptr)
		return removed;
	SetCursor(self, Position(item));
	return Remove();
}

template <class T> bool LinkList<T>::InList(T* item)
{
	return item != nullptr && Get(item) != nullptr;
}

template <class T> typename LinkList<T>::Node* LinkList<T>::NodeAt(const int32& index) const
{
	// Start from whichever of the cursor, the first and the last is nearest.
	Node* node = fFirst;
	int32 at = 0;
	if (fCount - 1 - index < index) {
		node = fLast;
		at = fCount - 1;
	}
	if (fCursor != nullptr && fCursorIndex >= 0) {
		int32 fromCursor = index > fCursorIndex ? index - fCursorIndex : fCursorIndex - index;
		int32 fromEnd = index > at ? index - at : at - index;
		if (fromCursor < fromEnd) {
			node = fCursor;
			at = fCursorIndex;
		}
	}
	for (; at < index; at++)
		node = node->fNext;
	for (; at > index; at--)
		node = node->fPrevious;
	return node;
}

template <class T> T* LinkList<T>::Position(const int32& index)
{
	if (index < 0 || index >= fCount)
		return nullptr;
	return SetCursor(NodeAt(index), index);
}

template <class T> int32 LinkList<T>::Position(T* item) const
{
	if (item == nullptr)
		return -1;
	int32 index = 0;
	return FindFrom(fFirst, index, item) != nullptr ? index : -1;
}

template <class T> T* LinkList<T>::Get(const T* item)
{
	if (item == nullptr)
		return SetCursor(nullptr, -1);
	int32 index = 0;
	return SetCursor(FindFrom(fFirst, index, item), index);
}

template <class T> T* LinkList<T>::FindNext(const T* item)
{
	if (item == nullptr)
		return SetCursor(nullptr, -1);
	Node* start = fCursor != nullptr ? fCursor->fNext : fFirst;
	int32 index = fCursor != nullptr ? fCursorIndex + 1 : 0;
	return SetCursor(FindFrom(start, index, item), index);
}
