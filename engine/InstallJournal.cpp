// Writing the journal of an install run: one line per change, on disk
// before the change is made.
#include "InstallJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <ctime>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FindDirectory.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibTrashBin.h"
#include "Node.h"
#include "Path.h"
#include "RawAttributes.h"
#include "TabFields.h"

namespace {

const char kMagic[] = "vantry-journal 1";

std::string Hex(const std::string& bytes)
{
	static const char kDigits[] = "0123456789abcdef";
	std::string out;
	for (const unsigned char c : bytes) {
		out += kDigits[c >> 4];
		out += kDigits[c & 15];
	}
	return out;
}

// Syncs the folder so that an entry just made in it survives a crash.
void SyncFolder(const std::string& folder)
{
	const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return;
	fsync(fd);
	close(fd);
}

// Copies a regular file with its bytes, mode, times and every extended
// attribute exactly as they are, so that putting it back changes nothing.
bool CopyFileExactly(const std::string& from, const std::string& to)
{
	const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
	if (in < 0)
		return false;
	struct stat info;
	const int out = fstat(in, &info) == 0 && S_ISREG(info.st_mode)
	                        ? open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600)
	                        : -1;
	bool copied = out >= 0;
	for (off_t left = info.st_size; copied && left > 0;) {
		ssize_t done = copy_file_range(in, nullptr, out, nullptr, size_t(left), 0);
		// Between two file systems the kernel may refuse: the bytes go through us.
		if (done < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS)) {
			char buffer[65536];
			done = read(in, buffer, sizeof(buffer));
			if (done > 0 && write(out, buffer, size_t(done)) != done)
				done = -1;
		}
		copied = done > 0;
		left -= done;
	}
	copied = copied && host_copy_raw_attrs(in, out);
	const struct timespec times[2] = {info.st_atim, info.st_mtim};
	copied = copied && fchmod(out, info.st_mode & 07777) == 0 && futimens(out, times) == 0 &&
	         fsync(out) == 0;
	close(in);
	if (out >= 0 && close(out) != 0)
		copied = false;
	if (!copied && out >= 0)
		unlink(to.c_str());
	return copied;
}

} // namespace

InstallJournal::InstallJournal() : fFd(-1), fRollback(true), fBackupCount(0) {}

InstallJournal::~InstallJournal()
{
	Close();
}

std::string InstallJournal::PathFor(const std::string& folder)
{
	return LibParentOf(folder) + "/.vantry-journal-" + LibLeafOf(folder);
}

status_t InstallJournal::Begin(const std::string& folder, const struct stat& parent,
                               const bool& rollback)
{
	Close();
	fPath = PathFor(folder);
	fBackups = fPath + ".saved";
	fRollback = rollback;
	fBackupCount = 0;
	fNoted.clear();
	fMade.clear();
	fRecords.clear();
	// Copies a run killed while it kept its changes left behind.
	if (!LibEntryExists(fPath))
		LibUnlink(fBackups.c_str());
	fFd = open(fPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW,
	           0600);
	if (fFd < 0)
		return errno == EEXIST ? B_FILE_EXISTS : B_ERROR;
	const std::string head = std::string(kMagic) + "\t" + (rollback ? "rollback" : "keep") + "\n";
	if (write(fFd, head.data(), head.size()) != ssize_t(head.size())) {
		Close();
		unlink(fPath.c_str());
		return B_ERROR;
	}
	SyncFolder(LibParentOf(fPath));
	// The parent's times from before the lock and this journal were made.
	const std::string dest = LibParentOf(folder);
	fNoted.insert(dest);
	Write("times",
	      {dest, std::to_string(parent.st_mtim.tv_sec), std::to_string(parent.st_mtim.tv_nsec)});
	return B_OK;
}

bool InstallJournal::Write(const std::string& kind, const std::vector<std::string>& fields,
                           const bool& sync)
{
	fRecords.push_back(Record{kind, fields});
	if (fFd < 0)
		return true;
	std::vector<std::string> all = {kind};
	all.insert(all.end(), fields.begin(), fields.end());
	const std::string line = JoinTabFields(all) + "\n";
	// The record is on disk before the change it announces.
	return write(fFd, line.data(), line.size()) == ssize_t(line.size()) &&
	       (!sync || fdatasync(fFd) == 0);
}

bool InstallJournal::NoteFolder(const std::string& folder)
{
	if (fFd < 0 || folder.empty() || !fNoted.insert(folder).second)
		return true;
	// A folder the run made goes with everything in it: its times do not
	// matter, and another folder may be back at its path after the undo.
	for (std::string above = folder; !above.empty() && above != "/"; above = LibParentOf(above)) {
		if (fMade.count(above) > 0)
			return true;
	}
	struct stat st;
	if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return true;
	return Write("times",
	             {folder, std::to_string(st.st_mtim.tv_sec), std::to_string(st.st_mtim.tv_nsec)});
}

bool InstallJournal::NoteFolderOf(const std::string& path)
{
	return NoteFolder(LibParentOf(path));
}

bool InstallJournal::WillMakeFolders(const std::string& path)
{
	if (fFd < 0 || path.empty() || LibEntryExists(path))
		return true;
	std::vector<std::string> missing;
	std::string folder = path;
	while (!folder.empty() && folder != "/" && !LibEntryExists(folder)) {
		missing.push_back(folder);
		folder = LibParentOf(folder);
	}
	if (!NoteFolder(folder))
		return false;
	// The outermost first, so that the undo removes the innermost first.
	for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
		fNoted.insert(*made);
		fMade.insert(*made);
		if (!Write("made", {*made}))
			return false;
	}
	return true;
}

std::string InstallJournal::BackupFolder()
{
	if (LibIsFolder(fBackups))
		return fBackups;
	fMade.insert(fBackups);
	if (!Write("made", {fBackups}) || mkdir(fBackups.c_str(), 0700) != 0)
		return std::string();
	return fBackups;
}

bool InstallJournal::WillWrite(const std::string& path)
{
	if (fFd < 0)
		return true;
	if (!WillMakeFolders(LibParentOf(path)) || !NoteFolderOf(path))
		return false;
	if (!LibEntryExists(path))
		return Write("wrote", {path, "-"});
	const std::string folder = BackupFolder();
	if (folder.empty())
		return false;
	const std::string copy = folder + "/" + std::to_string(++fBackupCount);
	// The copy is on disk before the journal names it.
	struct stat info;
	const bool plain = lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
	if (plain ? !CopyFileExactly(path, copy)
	          : !LibCopy(path.c_str(), copy.c_str()) || !LibSyncVolume(copy.c_str()))
		return false;
	return Write("wrote", {path, copy});
}

bool InstallJournal::WillSetAttribute(const std::string& path, const char* name)
{
	if (fFd < 0)
		return true;
	BNode node(path.c_str());
	attr_info info;
	if (node.InitCheck() != B_OK || node.GetAttrInfo(name, &info) != B_OK)
		return Write("attr", {path, name, "-"});
	std::string value(size_t(info.size), '\0');
	if (node.ReadAttr(name, info.type, 0, value.data(), value.size()) != ssize_t(value.size()))
		return false;
	return Write("attr", {path, name, std::to_string(info.type), Hex(value)});
}

bool InstallJournal::WillPlaceUnpacked(const std::string& unpacked, const std::string& path)
{
	if (fFd < 0)
		return true;
	if (!NoteFolderOf(path))
		return false;
	return WriteIdentity(unpacked, path);
}

bool InstallJournal::NotePlaced(const std::string& path)
{
	if (fFd < 0)
		return true;
	return WriteIdentity(path, path);
}

bool InstallJournal::WriteIdentity(const std::string& identified, const std::string& path)
{
	struct stat info;
	if (lstat(identified.c_str(), &info) != 0)
		return false;
	// Taken after the last entry was written: the kernel's change times lag
	// behind this clock, never ahead of it.
	struct timespec now;
	clock_gettime(CLOCK_REALTIME, &now);
	return Write("unpacked", {path, std::to_string(now.tv_sec), std::to_string(now.tv_nsec),
	                          std::to_string(info.st_dev), std::to_string(info.st_ino)});
}

bool InstallJournal::MoveAside(const std::string& path, const std::string& folder)
{
	if (!LibEntryExists(path) || !LibIsFolder(folder))
		return false;
	const std::string target = LibFreeSibling(folder, LibLeafOf(path), true);
	if (!NoteFolderOf(path) || !NoteFolder(folder) || !Write("moved", {path, target}))
		return false;
	return LibMove(path.c_str(), target.c_str());
}

bool InstallJournal::Duplicate(const std::string& path)
{
	if (!LibEntryExists(path))
		return false;
	const std::string target = LibFreeSibling(LibParentOf(path), LibLeafOf(path), false);
	if (!NoteFolderOf(path) || !Write("moved", {path, target}))
		return false;
	return LibMove(path.c_str(), target.c_str());
}

bool InstallJournal::Trash(const std::string& path)
{
	if (!LibEntryExists(path) || !WillMakeHomeTrash())
		return false;
	LibTrashBin bin(path.c_str());
	if (bin.InitCheck() != B_OK)
		return false;
	const std::string name = bin.FreeName(LibLeafOf(path));
	const std::string target = std::string(bin.FilesFolder()) + "/" + name;
	const std::string record =
	        bin.InfoFolder()[0] != '\0' ? bin.InfoFolder() + ("/" + name + ".trashinfo") : "-";
	if (!NoteFolderOf(path) || !NoteFolder(bin.FilesFolder()) ||
	    (record != "-" && !NoteFolder(bin.InfoFolder())) ||
	    !Write("trashed", {path, target, record}))
		return false;
	return bin.Put(path.c_str(), name) == B_OK;
}

bool InstallJournal::Rename(const std::string& from, const std::string& to)
{
	if (!LibEntryExists(from) || LibEntryExists(to))
		return false;
	if (!NoteFolderOf(from) || !NoteFolderOf(to) || !Write("moved", {from, to}))
		return false;
	return LibMove(from.c_str(), to.c_str());
}

bool InstallJournal::RenamePlaced(const std::string& from, const std::string& to)
{
	if (!LibEntryExists(from) || LibEntryExists(to))
		return false;
	// The rename makes the entry look newer than its unpacking: it is
	// identified at its new place before it goes there.
	if (!NoteFolderOf(to) || !Write("moved", {from, to}) || !WriteIdentity(from, to))
		return false;
	return LibMove(from.c_str(), to.c_str());
}

bool InstallJournal::NoteTreeTimes(const std::string& folder)
{
	if (fFd < 0)
		return true;
	std::vector<std::string> pending = {folder};
	bool written = false;
	while (!pending.empty()) {
		const std::string current = pending.back();
		pending.pop_back();
		struct stat st;
		if (lstat(current.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
			continue;
		if (fNoted.insert(current).second) {
			if (!Write("times",
			           {current, std::to_string(st.st_mtim.tv_sec),
			            std::to_string(st.st_mtim.tv_nsec)},
			           false))
				return false;
			written = true;
		}
		DIR* listing = opendir(current.c_str());
		if (listing == nullptr)
			continue;
		while (const dirent* entry = readdir(listing)) {
			if (entry->d_type == DT_DIR && strcmp(entry->d_name, ".") != 0 &&
			    strcmp(entry->d_name, "..") != 0)
				pending.push_back(current + "/" + entry->d_name);
		}
		closedir(listing);
	}
	return !written || fdatasync(fFd) == 0;
}

bool InstallJournal::WillMakeHomeTrash()
{
	BPath trash;
	if (fFd < 0 || find_directory(B_TRASH_DIRECTORY, &trash, false) != B_OK)
		return true;
	const std::string files = trash.Path();
	const char* root = getenv("VANTRY_ROOT");
	// The freedesktop trash keeps its records in a folder beside the files.
	const bool records = root == nullptr || root[0] == '\0';
	return WillMakeFolders(files) && (!records || WillMakeFolders(LibParentOf(files) + "/info"));
}

bool InstallJournal::HasChanges() const
{
	for (const Record& record : fRecords) {
		if (record.kind != "times")
			return true;
	}
	return false;
}

std::vector<std::string> InstallJournal::MadeFolders() const
{
	std::vector<std::string> folders;
	for (const Record& record : fRecords) {
		if (record.kind == "made" && record.fields.size() == 1)
			folders.push_back(record.fields[0]);
	}
	return folders;
}

void InstallJournal::Commit()
{
	Close();
	if (fPath.empty())
		return;
	// The journal goes first: a kill between the two must not leave a
	// journal whose copies are gone.
	unlink(fPath.c_str());
	LibUnlink(fBackups.c_str());
	fPath.clear();
	fRecords.clear();
}

void InstallJournal::Close()
{
	if (fFd < 0)
		return;
	close(fFd);
	fFd = -1;
}
