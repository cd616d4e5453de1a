// GroupContext: an install type's name, number and description.
#include "GroupContext.h"

#include <cstdio>

GroupContext::GroupContext() : fUid(-1) {}

GroupContext::GroupContext(const char* name) : fName(name), fUid(-1) {}

GroupContext::GroupContext(const GroupContext& other)
    : fName(other.fName), fUid(other.fUid), fDescription(other.fDescription)
{
}

GroupContext::~GroupContext() {}

void GroupContext::SetName(const char* name)
{
	fName = name;
}

void GroupContext::SetUid(const long& uid)
{
	fUid = (int32)uid;
}

void GroupContext::SetDescription(const char* description)
{
	fDescription = description;
}

GroupContext& GroupContext::operator=(const GroupContext& other)
{
	fName = other.fName;
	fUid = other.fUid;
	fDescription = other.fDescription;
	return *this;
}

bool GroupContext::operator==(const GroupContext& other) const
{
	return fName.Compare(other.fName) == 0;
}

bool GroupContext::operator>(const GroupContext& other) const
{
	return fName.Compare(other.fName) > 0;
}

void GroupContext::PrintToStream() const
{
	fprintf(stderr, "GroupContext: %ld) name %s, desc (%s)\n", (long)fUid, fName.String(),
	        fDescription.String());
}
