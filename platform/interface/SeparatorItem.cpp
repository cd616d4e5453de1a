// BSeparatorItem: an item that is never enabled.
#include "SeparatorItem.h"

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr)
{
	BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() {}

void BSeparatorItem::SetEnabled(bool enabled) {}
