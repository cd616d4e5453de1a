// GroupContext: one install type offered to the user (a name, a number and a
// description shown as tool tip).
#pragma once

#include "LibString.h"

class GroupContext {
public:
	GroupContext();
	GroupContext(const char* name);
	GroupContext(const GroupContext& other);
	virtual ~GroupContext();

	void SetName(const char* name);
	void SetUid(const long& uid);
	void SetDescription(const char* description);

	const LibString& Name() const { return fName; }
	long Uid() const { return fUid; }
	const LibString& Description() const { return fDescription; }

	GroupContext& operator=(const GroupContext& other);
	// Groups are the same when their names are, exactly.
	bool operator==(const GroupContext& other) const;
	bool operator>(const GroupContext& other) const;

	void PrintToStream() const;

private:
	LibString fName;
	int32 fUid;
	LibString fDescription;
};
