// The manifest of placed entries: made from the tree after the run placed
// it, kept as strings of the deinstall record.
#include "InstallManifest.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PayloadDigest.h"
#include "TabFields.h"

namespace {

const char* const kManifestField = "manifest";
// Deeper trees than this are not real installations; the walk stops there.
const int kMaxDepth = 256;

std::string DigestOf(const std::string& path)
{
	uint32 digest = 0;
	if (payload_file_digest(path, &digest, nullptr) != B_OK)
		return std::string();
	char text[9];
	snprintf(text, sizeof(text), "%08x", unsigned(digest));
	return text;
}

std::string Relative(const std::string& path, const std::string& installFolder)
{
	if (!installFolder.empty() && path.size() > installFolder.size() + 1 &&
	    path.compare(0, installFolder.size() + 1, installFolder + "/") == 0)
		return path.substr(installFolder.size() + 1);
	return path;
}

std::string LinkTarget(const std::string& path)
{
	char target[4096];
	const ssize_t length = readlink(path.c_str(), target, sizeof(target));
	return length > 0 ? std::string(target, size_t(length)) : std::string();
}

// Whether a path has a ".." component.
bool ClimbsOut(const std::string& path)
{
	const std::string framed = "/" + path + "/";
	return framed.find("/../") != std::string::npos;
}

} // namespace

const char* InstallManifest::Field()
{
	return kManifestField;
}

void InstallManifest::AddTree(const int32& item, const std::string& path,
                              const std::string& installFolder)
{
	AddEntry(item, Relative(path, installFolder), ".", path, 0);
}

void InstallManifest::AddLink(const int32& item, const std::string& path,
                              const std::string& installFolder)
{
	AddEntry(item, Relative(path, installFolder), ".", path, kMaxDepth);
}

void InstallManifest::AddEntry(const int32& item, const std::string& root, const std::string& below,
                               const std::string& path, const int& depth)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return;
	Entry entry;
	entry.item = item;
	entry.root = root;
	entry.below = below;
	entry.mode = info.st_mode & 07777;
	if (S_ISLNK(info.st_mode)) {
		entry.type = 'l';
		entry.target = LinkTarget(path);
	} else if (S_ISDIR(info.st_mode)) {
		entry.type = 'd';
	} else {
		entry.size = int64(info.st_size);
		entry.digest = DigestOf(path);
	}
	fEntries.push_back(entry);
	if (entry.type != 'd' || depth >= kMaxDepth)
		return;
	DIR* folder = opendir(path.c_str());
	if (folder == nullptr)
		return;
	std::vector<std::string> names;
	while (const dirent* child = readdir(folder)) {
		if (strcmp(child->d_name, ".") != 0 && strcmp(child->d_name, "..") != 0)
			names.push_back(child->d_name);
	}
	closedir(folder);
	for (const std::string& name : names)
		AddEntry(item, root, below == "." ? name : below + "/" + name, path + "/" + name,
		         depth + 1);
}

void InstallManifest::Rename(const std::string& from, const std::string& to,
                             const std::string& installFolder)
{
	for (Entry& entry : fEntries) {
		const std::string path = PathOf(entry, installFolder);
		if (path != from && path.compare(0, from.size() + 1, from + "/") != 0)
			continue;
		const std::string root =
		        PathOf(Entry{entry.item, 'd', 0, 0, "", entry.root, ".", ""}, installFolder);
		// Moving the item's top entry, or a folder above it, moves its root.
		if (root == from || root.compare(0, from.size() + 1, from + "/") == 0) {
			entry.root = Relative(to + root.substr(from.size()), installFolder);
			continue;
		}
		entry.below = (to + path.substr(from.size())).substr(root.size() + 1);
	}
}

void InstallManifest::WriteTo(BMessage& record) const
{
	record.RemoveName(kManifestField);
	for (const Entry& entry : fEntries) {
		char mode[16];
		snprintf(mode, sizeof(mode), "%o", unsigned(entry.mode));
		const std::string line = JoinTabFields(
		        {std::to_string(entry.item), std::string(1, entry.type), mode,
		         std::to_string(entry.size), entry.digest, entry.root, entry.below, entry.target});
		record.AddString(kManifestField, line.c_str());
	}
}

bool InstallManifest::ReadFrom(const BMessage& record)
{
	fEntries.clear();
	const char* line = nullptr;
	for (int32 i = 0; (line = record.FindString(kManifestField, i)) != nullptr; i++) {
		const std::vector<std::string> fields = SplitTabFields(line);
		if (fields.size() != 8 || fields[1].size() != 1 || fields[5].empty())
			continue;
		Entry entry;
		entry.item = int32(atol(fields[0].c_str()));
		entry.type = fields[1][0];
		entry.mode = mode_t(strtoul(fields[2].c_str(), nullptr, 8));
		entry.size = int64(atoll(fields[3].c_str()));
		entry.digest = fields[4];
		entry.root = fields[5];
		entry.below = fields[6];
		entry.target = fields[7];
		// A path that climbs out of its folder is no entry this installer made.
		if (ClimbsOut(entry.below) || ClimbsOut(entry.root))
			continue;
		fEntries.push_back(entry);
	}
	return !fEntries.empty();
}

std::string InstallManifest::PathOf(const Entry& entry, const std::string& installFolder)
{
	const std::string root = entry.root[0] == '/' ? entry.root : installFolder + "/" + entry.root;
	return entry.below == "." ? root : root + "/" + entry.below;
}

InstallManifest::State InstallManifest::StateOf(const Entry& entry, const std::string& path)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return kMissing;
	switch (entry.type) {
		case 'l':
			return S_ISLNK(info.st_mode) && LinkTarget(path) == entry.target ? kUnchanged
			                                                                 : kChanged;
		case 'd': return S_ISDIR(info.st_mode) ? kUnchanged : kChanged;
		default: break;
	}
	if (!S_ISREG(info.st_mode) || int64(info.st_size) != entry.size)
		return kChanged;
	return DigestOf(path) == entry.digest ? kUnchanged : kChanged;
}
