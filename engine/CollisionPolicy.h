// CollisionPolicy: what becomes of an entry in the way of an item or a
// link, by the item's rule: ask the user, rename the entry aside, or replace
// it (into "Saved Files", or the trash).
#pragma once

#include "Message.h"

class BPath;
class InstallJournal;
class InstallLog;

class CollisionPolicy {
public:
	CollisionPolicy(const BMessage& record, InstallLog& log, InstallJournal& journal);

	// True when the item may be placed in `folder`; `ask_again` and
	// `remembered_answer` carry "apply to all" from one question to the next.
	bool Settle(const char* folder, const BPath& item, const char* rule, bool& ask_again,
	            bool& remembered_answer, const BPath& saved_files);

private:
	bool SaveExisting(const char* existing, const char* saved_files);

	const BMessage& fRecord;
	InstallLog& fLog;
	InstallJournal& fJournal;
};
