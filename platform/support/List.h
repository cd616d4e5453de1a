// BList: an ordered list of untyped pointers; it never owns its items.
#pragma once

#include <vector>

#include "SupportDefs.h"

class BList {
public:
	explicit BList(int32 blockSize = 20);
	BList(const BList& other) = default;
	BList& operator=(const BList& other) = default;
	~BList() = default;

	bool AddItem(void* item);
	bool AddItem(void* item, int32 index);
	bool AddList(const BList* list);
	bool AddList(const BList* list, int32 index);
	bool RemoveItem(void* item);
	void* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count);
	bool ReplaceItem(int32 index, void* item);
	void MakeEmpty();

	bool SwapItems(int32 indexA, int32 indexB);
	bool MoveItem(int32 fromIndex, int32 toIndex);
	void SortItems(int (*compare)(const void*, const void*));

	void* ItemAt(int32 index) const;
	void* FirstItem() const;
	void* LastItem() const;
	void* Items() const;
	bool HasItem(void* item) const;
	int32 IndexOf(void* item) const;
	int32 CountItems() const;
	bool IsEmpty() const;

	void DoForEach(bool (*func)(void* item));
	void DoForEach(bool (*func)(void* item, void* arg), void* arg);

private:
	bool ValidIndex(int32 index) const { return index >= 0 && index < CountItems(); }

	std::vector<void*> fItems;
};
