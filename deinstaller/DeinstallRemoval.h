// DeinstallRemoval: moves the chosen entries of a search into the trash or a
// folder: files first, then the folders left empty, inner before outer.
#pragma once

#include <sys/types.h>

#include <functional>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "SupportDefs.h"

class DeinstallRemoval {
public:
	// Asked when `item` meets a namesake at `target`; see CheckAndPrompt.
	// False when no answer came: the removal stops there, the item in place.
	using Question = std::function<bool(const std::string& item, const std::string& target,
	                                    bool& ask, bool& replace)>;
	// After each entry: its leaf and how many entries were still to move.
	using Progress = std::function<void(const std::string& leaf, const int32& left)>;

	// An empty `destination` is the trash of each entry's volume.
	explicit DeinstallRemoval(const std::string& destination);

	void SetQuestion(Question question) { fQuestion = std::move(question); }
	void SetProgress(Progress progress) { fProgress = std::move(progress); }
	// Asked between entries; true ends the removal there.
	void SetStopCheck(std::function<bool()> stop) { fStop = std::move(stop); }
	// An entry that `user` does not own is left in place, unless `anyOwner`.
	// By default only the effective user's entries move: a removal run as
	// root does not take what other users kept.
	void SetOwner(const uid_t& user, const bool& anyOwner);

	// `paths` in search order (each folder before its contents). A folder
	// whose every entry is among them moves whole; one that also holds other
	// entries stays, and only the chosen ones in it move. A namesake in a trash
	// with records is no question: the entry takes a free name. B_OK when
	// every entry was moved, kept or left, B_CANCELED when stopped, else B_ERROR.
	status_t Remove(const std::vector<std::string>& paths);

	// Each moved entry with the path it now has.
	const std::vector<std::pair<std::string, std::string>>& Moved() const { return fMoved; }
	// Folders left in place because they still hold entries.
	const std::vector<std::string>& Kept() const { return fKept; }
	// Entries that could not be moved, with the reason.
	const std::vector<std::pair<std::string, std::string>>& Failed() const { return fFailed; }
	// Entries of other users left in place, with "owned by NAME".
	const std::vector<std::pair<std::string, std::string>>& Left() const { return fLeft; }

	// What the removal did, in one line: entries and bytes moved, folders
	// kept, entries left to their owners and failures.
	std::string Summary() const;

	// The name (or number) of the owner of the entry at `path` when that is
	// not `user`; empty when it is `user` or the entry cannot be read.
	static std::string OtherOwner(const std::string& path, const uid_t& user);

private:
	// `found` without the entries of folders that go whole.
	// Refreshes the menu cache of each folder a removed menu entry was in.
	void RefreshMenus(const std::vector<std::string>& found);
	std::vector<std::string> WholeEntries(const std::vector<std::string>& found);
	// Whether everything below `folder` is chosen and may be moved.
	bool HoldsOnly(const std::string& folder, const std::unordered_set<std::string>& chosen) const;
	bool MoveFiles(const std::vector<std::string>& paths, int32& left);
	bool MoveEmptyFolders(const std::vector<std::string>& paths, int32& left);
	void MoveOne(const std::string& path);
	bool Stopped();

	std::string fDestination;
	Question fQuestion;
	Progress fProgress;
	std::function<bool()> fStop;
	uid_t fUser;
	bool fAnyOwner;
	bool fAsk;
	bool fReplace;
	bool fStopped;
	std::set<std::string> fWhole;
	int64 fMovedBytes = 0;
	std::vector<std::pair<std::string, std::string>> fMoved;
	std::vector<std::string> fKept;
	std::vector<std::pair<std::string, std::string>> fFailed;
	std::vector<std::pair<std::string, std::string>> fLeft;
};
