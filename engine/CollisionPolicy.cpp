// The rules for an entry in the way of an item or a link.
#include "CollisionPolicy.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "Alert.h"
#include "CollisionQuestion.h"
#include "ConfigRecord.h"
#include "InstallJournal.h"
#include "InstallLog.h"
#include "InstallTexts.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "Path.h"

namespace {

// The user's answer to the dialog, with whether it holds from now on.
bool AskUser(const BPath& item, const char* existing, bool& ask_again)
{
	const CollisionQuestion question = {item, BPath(existing), InstallLanguage()};
	bool applyToAll = false;
	const int32 button = AskCollision(question, applyToAll);
	// A stop request dismissed it: nothing is replaced, nothing remembered.
	if (button == B_ALERT_DISMISSED)
		return false;
	ask_again = !applyToAll;
	return button == 1;
}

} // namespace

CollisionPolicy::CollisionPolicy(const BMessage& record, InstallLog& log, InstallJournal& journal)
    : fRecord(record), fLog(log), fJournal(journal)
{
}

bool CollisionPolicy::SaveExisting(const char* existing, const char* saved_files)
{
	// An entry that could not be put aside is kept where it is, not overwritten.
	errno = 0;
	if (!fJournal.MoveAside(existing, saved_files)) {
		const int error = errno;
		fLog.Line("\t\t\tExisting file could not be saved in %s\n", saved_files);
		fLog.Failure(existing, std::string("could not be saved in ") + saved_files + ": " +
		                               (error != 0 ? strerror(error) : "unknown error"));
		return false;
	}
	fLog.Line("\t\t\tExisting file saved.\n");
	return true;
}

bool CollisionPolicy::Settle(const char* folder, const BPath& item, const char* rule,
                             bool& ask_again, bool& remembered_answer, const BPath& saved_files)
{
	if (folder == nullptr || item.Leaf() == nullptr)
		return false;
	const std::string existing = std::string(folder) + "/" + item.Leaf();
	// A link whose target is gone is still an entry in the way.
	if (!LibEntryExists(existing))
		return true;
	const bool saveReplaced = ConfigRecord(fRecord).SaveReplaced();
	const char* savedFiles = saved_files.Path() != nullptr ? saved_files.Path() : "";

	if (rule != nullptr && strcmp(rule, "Prompt") == 0) {
		if (ask_again)
			remembered_answer = AskUser(item, existing.c_str(), ask_again);
		if (remembered_answer && saveReplaced)
			return SaveExisting(existing.c_str(), savedFiles);
		// Left for the placing step, which trashes what is still in the way.
		return remembered_answer;
	}
	if (rule != nullptr && strcmp(rule, "Rename") == 0) {
		if (!fJournal.Duplicate(existing)) {
			fLog.Failure(existing, std::string("could not be renamed: ") + strerror(errno));
			return false;
		}
		fLog.Line("\t\t\tExisting file renamed\n");
		return true;
	}
	if (saveReplaced)
		return SaveExisting(existing.c_str(), savedFiles);
	// What the installer did not place is never deleted: it can be taken
	// back out of the trash.
	if (!fJournal.Trash(existing)) {
		fLog.Failure(existing, std::string("could not be moved to the trash"));
		return false;
	}
	fLog.Line("\t\t\tExisting file removed.\n");
	return true;
}
