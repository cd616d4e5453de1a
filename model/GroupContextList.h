// GroupContextList: the install types of a product in the order offered, with
// the record's `groups` message form.
#pragma once

#include "GroupContext.h"
#include "LinkList.h"

class BMessage;

class GroupContextList : public LinkList<GroupContext> {
public:
	GroupContextList();
	~GroupContextList() override;

	// Adds `group_name` and `group_description` for every group, in order.
	void Write(BMessage& message);
	// Replaces the list by the groups of `message`; a missing description
	// leaves the group's description empty.
	void Read(const BMessage& message);

	GroupContext* FindContext(const long& uid);
	void RemoveContext(const long& uid);
	// The first position whose group's number differs from it, counted from
	// the end; the count when every number matches its position.
	long NextUid();
	bool HasGroup(const char* name);
	// Appends a group of that name unless one exists.
	void Add(const char* name);

	void PrintToStream();
};
