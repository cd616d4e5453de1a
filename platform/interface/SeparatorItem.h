// BSeparatorItem: a line between groups of menu items; it cannot be chosen.
#pragma once

#include "MenuItem.h"

class BSeparatorItem : public BMenuItem {
public:
	BSeparatorItem();
	~BSeparatorItem() override;

	void SetEnabled(bool enabled) override;
	bool IsSeparator() const override { return true; }
};
