// The tag scan: folders are shared out to worker threads from one queue; each
// reads its folder's entries and the tags of those entries.
#include "TagScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "DeinstallRecords.h"
#include "LinkAttributes.h"

namespace {

// The tag as the host keeps it: an attribute NAME is the xattr "user.NAME".
const std::string kTagXattr = std::string("user.") + DeinstallRecords::TagName();
// How often a worker reports progress.
const auto kReportInterval = std::chrono::milliseconds(40);
// Bytes a worker has seen and not yet reported.
thread_local off_t sPendingBytes = 0;

std::string Joined(const std::string& folder, const char* leaf)
{
	if (!folder.empty() && folder.back() == '/')
		return folder + leaf;
	return folder + "/" + leaf;
}

std::string FolderOf(const std::string& path)
{
	const size_t slash = path.find_last_of('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr(0, slash);
}

// The trash folders a volume keeps at its top: ".Trash" and ".Trash-UID".
bool TopTrashName(const char* leaf)
{
	if (strcmp(leaf, ".Trash") == 0)
		return true;
	if (strncmp(leaf, ".Trash-", 7) != 0 || leaf[7] == '\0')
		return false;
	for (const char* c = leaf + 7; *c != '\0'; c++) {
		if (*c < '0' || *c > '9')
			return false;
	}
	return true;
}

} // namespace

TagScan::TagScan(const std::string& root, const std::string& record)
    : fRoot(root), fRecord(record), fThreads(1), fSizes(false), fReader(), fDevice(0), fBusy(0),
      fStopped(false), fEntries(0), fFoundCount(0)
{
	while (fRoot.size() > 1 && fRoot.back() == '/')
		fRoot.pop_back();
}

void TagScan::SkipFolder(const std::string& path)
{
	std::string folder = path;
	while (folder.size() > 1 && folder.back() == '/')
		folder.pop_back();
	fSkipped.insert(folder);
}

void TagScan::SetProgress(Progress progress, const bool& sizes)
{
	fProgress = std::move(progress);
	fSizes = sizes;
}

ssize_t TagScan::ReadHostTag(const std::string& path, bool link, char* buffer, size_t size)
{
	if (!link)
		return lgetxattr(path.c_str(), kTagXattr.c_str(), buffer, size);
	const size_t slash = path.find_last_of('/');
	const std::string key = host_link_attr_key(path.substr(slash + 1));
	const ssize_t read = lgetxattr(FolderOf(path).c_str(),
	                               host_link_value_xattr(key, DeinstallRecords::TagName()).c_str(),
	                               buffer, size);
	// The folder's entries may belong to an earlier link of that name.
	if (read >= 0 && host_link_attrs_owned(path) != B_OK) {
		errno = ENODATA;
		return -1;
	}
	return read;
}

status_t TagScan::Run()
{
	struct stat st;
	if (stat(fRoot.c_str(), &st) != 0)
		return -errno;
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	fDevice = st.st_dev;
	fQueue.push_back(fRoot);
	std::vector<std::thread> helpers;
	for (int32 i = 1; i < fThreads; i++)
		helpers.emplace_back([this] { Work(); });
	Work();
	for (std::thread& helper : helpers)
		helper.join();
	std::sort(fFound.begin(), fFound.end());
	std::sort(fUnreadable.begin(), fUnreadable.end());
	return fStopped ? B_CANCELED : B_OK;
}

void TagScan::Work()
{
	sPendingBytes = 0;
	std::string folder;
	while (NextFolder(folder))
		ScanFolder(folder);
	Report(folder, true);
}

bool TagScan::NextFolder(std::string& folder)
{
	std::unique_lock<std::mutex> lock(fLock);
	fWake.wait(lock, [this] { return fStopped || !fQueue.empty() || fBusy == 0; });
	if (fStopped || fQueue.empty()) {
		fWake.notify_all();
		return false;
	}
	// Depth first keeps the queue short on wide trees.
	folder = std::move(fQueue.back());
	fQueue.pop_back();
	fBusy++;
	return true;
}

void TagScan::ScanFolder(const std::string& folder)
{
	std::vector<std::string> subfolders;
	const bool stop = fStop && fStop();
	const int fd =
	        stop ? -1 : open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	DIR* dir = nullptr;
	struct stat st;
	if (fd >= 0 && fstat(fd, &st) == 0 && st.st_dev == fDevice)
		dir = fdopendir(fd);
	else if (fd >= 0)
		close(fd);
	else if (!stop) {
		std::lock_guard<std::mutex> lock(fLock);
		fUnreadable.emplace_back(folder, strerror(errno));
	}
	const bool atRoot = folder == fRoot;
	int32 sinceReport = 0;
	for (struct dirent* entry; dir != nullptr && (entry = readdir(dir)) != nullptr;) {
		const char* leaf = entry->d_name;
		if (strcmp(leaf, ".") == 0 || strcmp(leaf, "..") == 0)
			continue;
		fEntries++;
		const std::string path = Joined(folder, leaf);
		unsigned char type = entry->d_type;
		struct stat entrySt;
		const bool needStat = type == DT_UNKNOWN || (fSizes && type == DT_REG);
		if (needStat && fstatat(dirfd(dir), leaf, &entrySt, AT_SYMLINK_NOFOLLOW) == 0) {
			type = S_ISDIR(entrySt.st_mode) ? DT_DIR : S_ISLNK(entrySt.st_mode) ? DT_LNK : DT_REG;
			if (type == DT_REG)
				sPendingBytes += entrySt.st_blocks * 512;
		}
		if (Tagged(path, type == DT_LNK)) {
			std::lock_guard<std::mutex> lock(fLock);
			fFound.push_back(path);
			fFoundCount++;
		}
		if (type == DT_DIR && !(atRoot && TopTrashName(leaf)) && fSkipped.count(path) == 0)
			subfolders.push_back(path);
		if (++sinceReport == 256) {
			sinceReport = 0;
			Report(folder, false);
		}
	}
	if (dir != nullptr)
		closedir(dir);
	Report(folder, false);
	std::lock_guard<std::mutex> lock(fLock);
	if (stop)
		fStopped = true;
	for (std::string& subfolder : subfolders)
		fQueue.push_back(std::move(subfolder));
	fBusy--;
	fWake.notify_all();
}

bool TagScan::Tagged(const std::string& path, const bool& link)
{
	if (fRecord.empty())
		return false;
	// One byte more than the record: a longer value reads whole and differs,
	// and a failed read (too long, unreadable) counts as no tag.
	thread_local std::string buffer;
	buffer.resize(fRecord.size() + 1);
	const ssize_t read = fReader ? fReader(path, link, buffer.data(), buffer.size())
	                             : ReadHostTag(path, link, buffer.data(), buffer.size());
	return read == (ssize_t)fRecord.size() &&
	       memcmp(buffer.data(), fRecord.data(), fRecord.size()) == 0;
}

void TagScan::Report(const std::string& folder, const bool& force)
{
	if (!fProgress)
		return;
	thread_local auto last = std::chrono::steady_clock::time_point();
	const auto now = std::chrono::steady_clock::now();
	if (!force && now - last < kReportInterval)
		return;
	if (force && sPendingBytes == 0)
		return;
	last = now;
	fProgress(sPendingBytes, folder, fFoundCount);
	sPendingBytes = 0;
}
