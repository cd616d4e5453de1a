// BArchivable: an object that stores itself in a message, with its class name
// in the field "class", and is rebuilt from one.
#pragma once

#include "SupportDefs.h"

class BMessage;

class BArchivable {
public:
	BArchivable();
	explicit BArchivable(BMessage* from);
	virtual ~BArchivable();

	// Adds "class" with the object's class name (the most derived one).
	virtual status_t Archive(BMessage* into, bool deep = true) const;
	static BArchivable* Instantiate(BMessage* from);
};

// True when the archive names `className` in its "class" field.
bool validate_instantiation(BMessage* from, const char* className);
