// BList on a vector of pointers.
#include "List.h"

#include <algorithm>

BList::BList(int32 blockSize)
{
	if (blockSize > 0)
		fItems.reserve(size_t(blockSize));
}

bool BList::AddItem(void* item)
{
	fItems.push_back(item);
	return true;
}

bool BList::AddItem(void* item, int32 index)
{
	if (index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	return true;
}

bool BList::AddList(const BList* list)
{
	return AddList(list, CountItems());
}

bool BList::AddList(const BList* list, int32 index)
{
	if (list == nullptr || index < 0 || index > CountItems())
		return false;
	std::vector<void*> copy(list->fItems);
	fItems.insert(fItems.begin() + index, copy.begin(), copy.end());
	return true;
}

bool BList::RemoveItem(void* item)
{
	int32 index = IndexOf(item);
	if (index < 0)
		return false;
	fItems.erase(fItems.begin() + index);
	return true;
}

void* BList::RemoveItem(int32 index)
{
	if (!ValidIndex(index))
		return nullptr;
	void* item = fItems[size_t(index)];
	fItems.erase(fItems.begin() + index);
	return item;
}

bool BList::RemoveItems(int32 index, int32 count)
{
	if (!ValidIndex(index) || count < 0)
		return false;
	int32 end = std::min(CountItems(), index + count);
	fItems.erase(fItems.begin() + index, fItems.begin() + end);
	return true;
}

bool BList::ReplaceItem(int32 index, void* item)
{
	if (!ValidIndex(index))
		return false;
	fItems[size_t(index)] = item;
	return true;
}

void BList::MakeEmpty()
{
	fItems.clear();
}

bool BList::SwapItems(int32 indexA, int32 indexB)
{
	if (!ValidIndex(indexA) || !ValidIndex(indexB))
		return false;
	std::swap(fItems[size_t(indexA)], fItems[size_t(indexB)]);
	return true;
}

bool BList::MoveItem(int32 fromIndex, int32 toIndex)
{
	if (!ValidIndex(fromIndex) || !ValidIndex(toIndex))
		return false;
	void* item = fItems[size_t(fromIndex)];
	fItems.erase(fItems.begin() + fromIndex);
	fItems.insert(fItems.begin() + toIndex, item);
	return true;
}

void BList::SortItems(int (*compare)(const void*, const void*))
{
	if (compare == nullptr)
		return;
	// The platform hands the comparator pointers to the item slots.
	std::stable_sort(fItems.begin(), fItems.end(),
	                 [compare](void* const& a, void* const& b) { return compare(&a, &b) < 0; });
}

void* BList::ItemAt(int32 index) const
{
	return ValidIndex(index) ? fItems[size_t(index)] : nullptr;
}

void* BList::FirstItem() const
{
	return fItems.empty() ? nullptr : fItems.front();
}

void* BList::LastItem() const
{
	return fItems.empty() ? nullptr : fItems.back();
}

void* BList::Items() const
{
	return const_cast<void**>(fItems.data());
}

bool BList::HasItem(void* item) const
{
	return IndexOf(item) >= 0;
}

int32 BList::IndexOf(void* item) const
{
	auto it = std::find(fItems.begin(), fItems.end(), item);
	return it == fItems.end() ? -1 : int32(it - fItems.begin());
}

int32 BList::CountItems() const
{
	return int32(fItems.size());
}

bool BList::IsEmpty() const
{
	return fItems.empty();
}

void BList::DoForEach(bool (*func)(void* item))
{
	if (func == nullptr)
		return;
	for (void* item : std::vector<void*>(fItems)) {
		if (func(item))
			break;
	}
}

void BList::DoForEach(bool (*func)(void* item, void* arg), void* arg)
{
	if (func == nullptr)
		return;
	for (void* item : std::vector<void*>(fItems)) {
		if (func(item, arg))
			break;
	}
}
