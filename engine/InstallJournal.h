// InstallJournal: every change of an install run, written to a file beside
// the installation folder before it is made, so that a failure, a stop or a
// kill can be undone and the machine left as it was before the run.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "SupportDefs.h"

class InstallLock;

class InstallJournal {
public:
	InstallJournal();
	~InstallJournal();

	// The journal of the installation folder `folder`: ".vantry-journal-<leaf>"
	// in its parent.
	static std::string PathFor(const std::string& folder);

	// Starts the journal of a run into `folder`. `parent` holds the times of
	// the folder's parent from before the run touched it. With `rollback`
	// false, what a run placed stays even after a kill.
	status_t Begin(const std::string& folder, const struct stat& parent, const bool& rollback);
	bool IsOpen() const { return fFd >= 0; }
	bool RollsBack() const { return fRollback; }
	// Whether a change was recorded, not only the times of a folder.
	bool HasChanges() const;

	// Records, before the change, that the missing folders of `path` (it
	// included) are about to be made.
	bool WillMakeFolders(const std::string& path);
	// Records that the file at `path` is about to be written or replaced
	// whole: a copy of what is there is kept to be put back.
	bool WillWrite(const std::string& path);
	// Records that the attribute `name` of `path` is about to be set.
	bool WillSetAttribute(const std::string& path, const char* name);
	// Records, before `unpacked` is renamed to `path`, what it is (device,
	// inode) and that everything in it is older than now: an undo removes
	// only what still matches, never what someone put there later.
	bool WillPlaceUnpacked(const std::string& unpacked, const std::string& path);
	// Records what is at `path` now, after a move that made a new copy of an
	// unpacked entry (across volumes).
	bool NotePlaced(const std::string& path);

	// The changes that move what the run did not place; each is recorded
	// before it is made and answers whether it was made.
	// Moves `path` into `folder` under its leaf or the first free "leaf copy N".
	bool MoveAside(const std::string& path, const std::string& folder);
	// Moves `path` to the first free "leaf copy N" beside it.
	bool Duplicate(const std::string& path);
	// Moves `path` to its volume's trash, with its record.
	bool Trash(const std::string& path);
	// Moves `from` to `to` (an entry the run did not place, or one it moved
	// aside); the undo moves it back.
	bool Rename(const std::string& from, const std::string& to);
	// Moves the entry the run placed at `from` to `to`; the undo removes it
	// there as it would have at `from`.
	bool RenamePlaced(const std::string& from, const std::string& to);
	// Records the times of `folder` and of every folder below it before a
	// change moves entries out of them; one sync for the whole tree.
	bool NoteTreeTimes(const std::string& folder);

	// The folders the run made, outer before inner.
	std::vector<std::string> MadeFolders() const;

	// Told, as an undo goes, how many entries it has taken back so far.
	using UndoProgress = std::function<void(const int64& undone)>;
	void SetUndoProgress(UndoProgress progress) { fUndoProgress = std::move(progress); }

	// The run is kept: the journal and its copies go.
	void Commit();
	// Undoes every recorded change, newest first, then removes the journal.
	// Folder times are put back by RestoreTimes, once nothing else will
	// touch them. False when something could not be put back; `problems`
	// says what. Nothing is removed that the run did not make: an entry
	// someone else put into a folder the run made stays, with its folder,
	// and is named in `kept`.
	bool Undo(std::vector<std::string>& problems, std::vector<std::string>* kept = nullptr);
	void RestoreTimes();

	// Undoes the journal a killed run left for `folder`, or drops it when
	// that run kept what it placed. False when there was none. `held`, the
	// caller's lock of the folder, is released before the folders' times are
	// put back, so that its file leaves no trace.
	static bool Recover(const std::string& folder, std::vector<std::string>& problems,
	                    InstallLock* held, std::vector<std::string>* kept = nullptr);

private:
	struct Record {
		std::string kind;
		std::vector<std::string> fields;
	};

	InstallJournal(const InstallJournal&) = delete;
	InstallJournal& operator=(const InstallJournal&) = delete;

	struct UndoState;

	bool Write(const std::string& kind, const std::vector<std::string>& fields,
	           const bool& sync = true);
	bool WriteIdentity(const std::string& identified, const std::string& path);
	// Records the times of `folder` before the run's first change in it.
	bool NoteFolder(const std::string& folder);
	bool NoteFolderOf(const std::string& path);
	std::string BackupFolder();
	// Records the home trash's folders the trash is about to make.
	bool WillMakeHomeTrash();
	void Close();

	static bool Read(const std::string& path, std::vector<Record>& records, bool& rollback);
	static void UndoAll(const std::vector<Record>& records, std::vector<std::string>& problems,
	                    std::vector<std::string>* kept, const UndoProgress* progress = nullptr);
	static void UndoRecord(const Record& record, UndoState& state);
	static void SetTimes(const std::vector<Record>& records);
	static void ClearWorkFolders(const std::vector<Record>& records);

	int fFd;
	bool fRollback;
	std::string fPath;
	std::string fBackups;
	int32 fBackupCount;
	std::set<std::string> fNoted;
	std::set<std::string> fMade;
	std::vector<Record> fRecords;
	UndoProgress fUndoProgress;
};
