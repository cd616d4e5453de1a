// Undoing an install run from its journal, newest change first. Every step
// looks at what is there, so an undo stopped halfway can simply be run again.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "InstallJournal.h"
#include "InstallLock.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "Node.h"
#include "OS.h"
#include "TabFields.h"

namespace {

std::string Unhex(const std::string& text)
{
	std::string bytes;
	for (size_t i = 0; i + 1 < text.size(); i += 2)
		bytes += char(strtol(text.substr(i, 2).c_str(), nullptr, 16));
	return bytes;
}

// Puts `from` back at `to` when only `from` is there.
bool MoveBack(const std::string& from, const std::string& to, std::vector<std::string>& problems)
{
	if (!LibEntryExists(from) || LibEntryExists(to))
		return true;
	errno = 0;
	if (LibMove(from.c_str(), to.c_str()))
		return true;
	problems.push_back(to + ": could not be put back from " + from + ": " +
	                   (errno != 0 ? strerror(errno) : "unknown error"));
	return false;
}

void Remove(const std::string& path, std::vector<std::string>& problems)
{
	errno = 0;
	if (!LibUnlink(path.c_str()))
		problems.push_back(path + ": could not be removed: " +
		                   (errno != 0 ? strerror(errno) : "unknown error"));
}

bool StartsWith(const char* name, const char* prefix)
{
	return strncmp(name, prefix, strlen(prefix)) == 0;
}

// What a killed move left in `folder`: copies in progress go; an entry set
// aside to be replaced comes back when its place is free.
void ClearWorkFolder(const std::string& folder)
{
	DIR* listing = opendir(folder.c_str());
	if (listing == nullptr)
		return;
	std::vector<std::string> work;
	std::vector<std::string> old;
	for (dirent* entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
		const char* name = entry->d_name;
		if (StartsWith(name, ".vantry-old-"))
			old.push_back(folder + "/" + name);
		else if (StartsWith(name, ".vantry-place-") || StartsWith(name, ".vantry-link-") ||
		         StartsWith(name, ".vantry-gone-") || StartsWith(name, ".vantry-trash-") ||
		         StartsWith(name, ".vantry-extract-"))
			work.push_back(folder + "/" + name);
	}
	closedir(listing);
	for (const std::string& path : work)
		LibUnlink(path.c_str());
	for (const std::string& aside : old) {
		DIR* inner = opendir(aside.c_str());
		for (dirent* entry = inner != nullptr ? readdir(inner) : nullptr; entry != nullptr;
		     entry = readdir(inner)) {
			if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
				continue;
			const std::string place = folder + "/" + entry->d_name;
			if (!LibEntryExists(place))
				rename((aside + "/" + entry->d_name).c_str(), place.c_str());
		}
		if (inner != nullptr)
			closedir(inner);
		rmdir(aside.c_str());
	}
}

// What an "unpacked" record says of an entry: its identity and a time no
// entry unpacked with it is newer than.
struct Unpacked {
	std::string path;
	dev_t device;
	ino_t inode;
	struct timespec before;
};

bool NotNewer(const struct timespec& time, const struct timespec& limit)
{
	return time.tv_sec < limit.tv_sec ||
	       (time.tv_sec == limit.tv_sec && time.tv_nsec <= limit.tv_nsec);
}

// Removes what an unpacking made below the open folder `folder`: files and
// links no newer than `before`, and the folders left empty. Anything changed
// since was put there by someone else and stays. True when nothing is left.
// `removed` hears of each entry gone.
bool RemoveUnpackedBelow(const int& folder, const struct timespec* before,
                         const std::function<void()>& removed)
{
	DIR* listing = fdopendir(folder);
	if (listing == nullptr) {
		close(folder);
		return false;
	}
	bool empty = true;
	for (dirent* entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
		const char* name = entry->d_name;
		if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
			continue;
		struct stat info;
		// Without a time nothing in the folder is known to be the run's.
		if (before == nullptr || fstatat(dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
			empty = false;
			continue;
		}
		if (S_ISDIR(info.st_mode)) {
			const int inner =
			        openat(dirfd(listing), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
			const bool gone = inner >= 0 && RemoveUnpackedBelow(inner, before, removed) &&
			                  unlinkat(dirfd(listing), name, AT_REMOVEDIR) == 0;
			empty = empty && gone;
			if (gone)
				removed();
			continue;
		}
		const bool gone = NotNewer(info.st_ctim, *before) && unlinkat(dirfd(listing), name, 0) == 0;
		empty = empty && gone;
		if (gone)
			removed();
	}
	closedir(listing);
	return empty;
}

// Removes the files our writers make beside `path` while they rewrite it
// (".<leaf>.XXXXXX", "<leaf>.tmp"): a kill may leave one.
void RemoveTemporariesOf(const std::string& path)
{
	const std::string leaf = LibLeafOf(path);
	DIR* listing = opendir(LibParentOf(path).c_str());
	if (listing == nullptr)
		return;
	const std::string hidden = "." + leaf + ".";
	auto temporary = [&](const std::string& name) {
		return (name.size() == hidden.size() + 6 && name.compare(0, hidden.size(), hidden) == 0) ||
		       name == leaf + ".tmp";
	};
	std::vector<std::string> found;
	for (dirent* entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
		if (entry->d_type != DT_DIR && temporary(entry->d_name))
			found.push_back(entry->d_name);
	}
	const int folder = dirfd(listing);
	for (const std::string& name : found)
		unlinkat(folder, name.c_str(), 0);
	closedir(listing);
}

} // namespace

struct InstallJournal::UndoState {
	std::vector<Unpacked> unpacked;
	std::vector<std::string>& problems;
	std::vector<std::string> kept;
	const UndoProgress* progress = nullptr;
	int64 undone = 0;
	bigtime_t reported = 0;

	// Counts an entry taken back; the count is told at most twenty times a second.
	void Undone()
	{
		undone++;
		const bigtime_t kInterval = 50000;
		if (progress == nullptr || !*progress || system_time() - reported < kInterval)
			return;
		reported = system_time();
		(*progress)(undone);
	}

	// The newest record of the entry `info` is, or null.
	const Unpacked* Find(const struct stat& info) const
	{
		for (auto record = unpacked.rbegin(); record != unpacked.rend(); ++record) {
			if (record->device == info.st_dev && record->inode == info.st_ino)
				return &*record;
		}
		return nullptr;
	}

	// Removes a folder the run made or placed: only what it unpacked into
	// it, and the folder once empty. What stays is named in `kept`.
	void RemoveFolder(const std::string& path, const struct timespec* before)
	{
		struct stat info;
		if (lstat(path.c_str(), &info) != 0)
			return;
		const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (fd >= 0 && RemoveUnpackedBelow(fd, before, [this] { Undone(); }) &&
		    rmdir(path.c_str()) == 0) {
			Undone();
			return;
		}
		kept.push_back(path + " (it holds entries this installation did not make: " + "\"" +
		               LibFirstEntryOf(path) + "\")");
	}

	// Removes the entry at `path` that the run placed there, and what a
	// killed rewrite of it left beside it.
	void RemovePlaced(const std::string& path)
	{
		RemoveTemporariesOf(path);
		struct stat info;
		if (lstat(path.c_str(), &info) != 0)
			return;
		const Unpacked* record = Find(info);
		if (S_ISDIR(info.st_mode)) {
			RemoveFolder(path, record != nullptr ? &record->before : nullptr);
			return;
		}
		errno = 0;
		if (unlink(path.c_str()) == 0)
			Undone();
		else if (errno != ENOENT)
			problems.push_back(path + ": could not be removed: " + strerror(errno));
	}
};

bool InstallJournal::Read(const std::string& path, std::vector<Record>& records, bool& rollback)
{
	// Only a journal this user wrote is followed: one planted by another user
	// in a shared folder could name anything for removal.
	const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	struct stat info;
	if (fd < 0)
		return false;
	if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
	    (info.st_mode & 022) != 0) {
		close(fd);
		return false;
	}
	std::string text;
	char block[65536];
	for (ssize_t got = read(fd, block, sizeof(block)); got > 0;
	     got = read(fd, block, sizeof(block)))
		text.append(block, size_t(got));
	close(fd);
	size_t start = 0;
	bool first = true;
	// A line cut off by a kill announced a change that was never begun.
	for (size_t end = text.find('\n'); end != std::string::npos;
	     start = end + 1, end = text.find('\n', start)) {
		const std::vector<std::string> fields = SplitTabFields(text.substr(start, end - start));
		if (first) {
			rollback = fields.size() < 2 || fields[1] != "keep";
			first = false;
			continue;
		}
		records.push_back(Record{fields[0], {fields.begin() + 1, fields.end()}});
	}
	return true;
}

void InstallJournal::UndoAll(const std::vector<Record>& records, std::vector<std::string>& problems,
                             std::vector<std::string>* kept, const UndoProgress* progress)
{
	UndoState state{{}, problems, {}, progress};
	for (const Record& record : records) {
		const std::vector<std::string>& f = record.fields;
		if (record.kind != "unpacked" || f.size() != 5)
			continue;
		struct timespec before;
		before.tv_sec = time_t(strtoll(f[1].c_str(), nullptr, 10));
		before.tv_nsec = strtol(f[2].c_str(), nullptr, 10);
		state.unpacked.push_back(Unpacked{f[0], dev_t(strtoull(f[3].c_str(), nullptr, 10)),
		                                  ino_t(strtoull(f[4].c_str(), nullptr, 10)), before});
	}
	for (auto record = records.rbegin(); record != records.rend(); ++record)
		UndoRecord(*record, state);
	ClearWorkFolders(records);
	if (progress != nullptr && *progress)
		(*progress)(state.undone);
	if (kept == nullptr)
		return;
	// A kept folder inside another kept one is named by the outer one.
	for (const std::string& line : state.kept) {
		const std::string path = line.substr(0, line.rfind(" ("));
		bool inner = false;
		for (const std::string& other : state.kept) {
			const std::string outer = other.substr(0, other.rfind(" ("));
			inner = inner || (path.size() > outer.size() &&
			                  path.compare(0, outer.size() + 1, outer + "/") == 0);
		}
		if (!inner)
			kept->push_back(line);
	}
}

void InstallJournal::UndoRecord(const Record& record, UndoState& state)
{
	std::vector<std::string>& problems = state.problems;
	const std::vector<std::string>& f = record.fields;
	if (record.kind == "made" && f.size() == 1) {
		// The journal's own copies: a kill may come between a copy and its line.
		if (StartsWith(LibLeafOf(f[0]).c_str(), ".vantry-journal-")) {
			Remove(f[0], problems);
			return;
		}
		// What killed moves left in it is the run's; anything else is not.
		ClearWorkFolder(f[0]);
		state.RemoveFolder(f[0], nullptr);
	} else if (record.kind == "unpacked" && f.size() == 5) {
		struct stat info;
		const Unpacked* unpacked = lstat(f[0].c_str(), &info) == 0 ? state.Find(info) : nullptr;
		// Only the entry the run unpacked there: it may have moved on since.
		if (unpacked != nullptr && unpacked->path == f[0])
			state.RemovePlaced(f[0]);
	} else if (record.kind == "wrote" && f.size() == 2) {
		if (f[1] == "-") {
			state.RemovePlaced(f[0]);
		} else if (LibEntryExists(f[1])) {
			bool replaced = false;
			if (!LibMoveReplacing(f[1], f[0], replaced))
				problems.push_back(f[0] + ": could not be put back: " + strerror(errno));
		}
	} else if (record.kind == "moved" && f.size() == 2) {
		// Both there: a copy across volumes was complete, its source not yet gone.
		if (LibEntryExists(f[0]) && LibEntryExists(f[1]))
			Remove(f[1], problems);
		MoveBack(f[1], f[0], problems);
	} else if (record.kind == "trashed" && f.size() == 3) {
		const bool back = MoveBack(f[1], f[0], problems);
		if (back && f[2] != "-" && !LibEntryExists(f[1]))
			unlink(f[2].c_str());
	} else if (record.kind == "attr" && f.size() >= 3) {
		BNode node(f[0].c_str());
		if (node.InitCheck() != B_OK)
			return;
		if (f[2] == "-") {
			node.RemoveAttr(f[1].c_str());
			return;
		}
		if (f.size() < 4)
			return;
		const std::string value = Unhex(f[3]);
		node.WriteAttr(f[1].c_str(), type_code(strtoul(f[2].c_str(), nullptr, 10)), 0, value.data(),
		               value.size());
	}
}

void InstallJournal::ClearWorkFolders(const std::vector<Record>& records)
{
	for (const Record& record : records) {
		if (record.kind == "times" && !record.fields.empty())
			ClearWorkFolder(record.fields[0]);
	}
}

void InstallJournal::SetTimes(const std::vector<Record>& records)
{
	// The oldest record of a folder holds its times from before the run.
	for (auto record = records.rbegin(); record != records.rend(); ++record) {
		if (record->kind != "times" || record->fields.size() != 3)
			continue;
		struct timespec times[2];
		times[0].tv_nsec = UTIME_OMIT;
		times[0].tv_sec = 0;
		times[1].tv_sec = time_t(strtoll(record->fields[1].c_str(), nullptr, 10));
		times[1].tv_nsec = strtol(record->fields[2].c_str(), nullptr, 10);
		utimensat(AT_FDCWD, record->fields[0].c_str(), times, AT_SYMLINK_NOFOLLOW);
	}
}

bool InstallJournal::Undo(std::vector<std::string>& problems, std::vector<std::string>* kept)
{
	Close();
	const size_t before = problems.size();
	UndoAll(fRecords, problems, kept, &fUndoProgress);
	if (problems.size() == before) {
		unlink(fPath.c_str());
		LibUnlink(fBackups.c_str());
	}
	// Kept for RestoreTimes; the journal stays on disk while anything is amiss.
	fPath.clear();
	return problems.size() == before;
}

void InstallJournal::RestoreTimes()
{
	SetTimes(fRecords);
	fRecords.clear();
}

bool InstallJournal::Recover(const std::string& folder, std::vector<std::string>& problems,
                             InstallLock* held, std::vector<std::string>* kept)
{
	const std::string path = PathFor(folder);
	std::vector<Record> records;
	bool rollback = true;
	if (!Read(path, records, rollback))
		return false;
	const size_t before = problems.size();
	if (rollback)
		UndoAll(records, problems, kept);
	if (problems.size() == before) {
		unlink(path.c_str());
		LibUnlink((path + ".saved").c_str());
	}
	if (!rollback)
		return true;
	if (held != nullptr)
		held->Release();
	SetTimes(records);
	return true;
}
