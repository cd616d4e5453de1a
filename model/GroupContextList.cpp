// GroupContextList: install types and their message form.
#include "GroupContextList.h"

#include "Message.h"

GroupContextList::GroupContextList() {}

GroupContextList::~GroupContextList() {}

void GroupContextList::Write(BMessage& message)
{
	for (GroupContext* group = First(); group != nullptr; group = Next()) {
		message.AddString("group_name", group->Name().String());
		message.AddString("group_description", group->Description().String());
	}
}

void GroupContextList::Read(const BMessage& message)
{
	Clear();
	const char* name = nullptr;
	for (int32 i = 0; message.FindString("group_name", i, &name) == B_OK; i++) {
		auto* group = new GroupContext(name);
		group->SetUid(NextUid());
		const char* description = nullptr;
		if (message.FindString("group_description", i, &description) == B_OK)
			group->SetDescription(description);
		Insert(group);
	}
}

GroupContext* GroupContextList::FindContext(const long& uid)
{
	for (GroupContext* group = First(); group != nullptr; group = Next()) {
		if (group->Uid() == uid)
			return group;
	}
	return nullptr;
}

void GroupContextList::RemoveContext(const long& uid)
{
	if (FindContext(uid) != nullptr)
		Remove();
}

long GroupContextList::NextUid()
{
	long uid = Size();
	long position = 0;
	for (GroupContext* group = First(); group != nullptr; group = Next(), position++) {
		if (group->Uid() != position)
			uid = position;
	}
	return uid;
}

bool GroupContextList::HasGroup(const char* name)
{
	for (GroupContext* group = First(); group != nullptr; group = Next()) {
		if (group->Name().Compare(name) == 0)
			return true;
	}
	return false;
}

void GroupContextList::Add(const char* name)
{
	if (name == nullptr || HasGroup(name))
		return;
	auto* group = new GroupContext(name);
	group->SetUid(NextUid());
	Insert(group);
}

void GroupContextList::PrintToStream()
{
	for (GroupContext* group = First(); group != nullptr; group = Next())
		group->PrintToStream();
}
