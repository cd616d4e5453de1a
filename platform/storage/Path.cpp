// BPath: absolute paths, normalised through the host's folder resolution.
#include "Path.h"

#include <cstring>

#include "Directory.h"
#include "Entry.h"
#include "StorageHost.h"

// A path needs normalising when it is relative or holds ".", ".." or "//".
static bool needs_normalizing(const std::string& path)
{
	if (path.empty() || path[0] != '/')
		return true;
	if (path.size() > 1 && path.back() == '/')
		return true;
	size_t start = 1;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string component = path.substr(start, end - start);
		if (component.empty() || component == "." || component == "..")
			return true;
		start = end + 1;
	}
	return false;
}

BPath::BPath() : fStatus(B_NO_INIT) {}

BPath::BPath(const BPath& path) : fPath(path.fPath), fStatus(path.fStatus) {}

BPath::BPath(const entry_ref* ref) : fStatus(B_NO_INIT)
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry) : fStatus(B_NO_INIT)
{
	SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::~BPath() {}

status_t BPath::SetTo(const entry_ref* ref)
{
	Unset();
	std::string path;
	fStatus = host_ref_path(ref, &path);
	if (fStatus != B_OK)
		return fStatus;
	return _Set(path, false);
}

status_t BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fStatus = B_BAD_VALUE;
	return fStatus = entry->GetPath(this);
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fStatus = B_BAD_VALUE;
	if (leaf != nullptr && leaf[0] == '/')
		return fStatus = B_BAD_VALUE;
	std::string full = path;
	if (leaf != nullptr && leaf[0] != '\0')
		full = host_join(full, leaf);
	return _Set(full, normalize);
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	Unset();
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return fStatus = B_BAD_VALUE;
	return SetTo(dir->HostPath(), leaf, normalize);
}

void BPath::Unset()
{
	fPath.clear();
	fStatus = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool normalize)
{
	if (fStatus != B_OK)
		return B_BAD_VALUE;
	if (path == nullptr || path[0] == '/')
		return B_BAD_VALUE;
	if (path[0] == '\0')
		return B_OK;
	std::string base = fPath;
	status_t status = _Set(host_join(base, path), normalize);
	if (status != B_OK) {
		// A failed append leaves the path as it was.
		fPath = base;
		fStatus = B_OK;
	}
	return status;
}

const char* BPath::Path() const
{
	return fStatus == B_OK ? fPath.c_str() : nullptr;
}

const char* BPath::Leaf() const
{
	if (fStatus != B_OK)
		return nullptr;
	size_t slash = fPath.rfind('/');
	return fPath.c_str() + slash + 1;
}

status_t BPath::GetParent(BPath* path) const
{
	std::string parent;
	const status_t status =
	        path == nullptr ? B_BAD_VALUE : host_parent_for(fStatus, fPath, &parent);
	if (status != B_OK)
		return status;
	path->fPath = parent;
	path->fStatus = B_OK;
	return B_OK;
}

bool BPath::operator==(const BPath& item) const
{
	return *this == item.Path();
}

bool BPath::operator==(const char* path) const
{
	const char* mine = Path();
	if (mine == nullptr || path == nullptr)
		return mine == path;
	return strcmp(mine, path) == 0;
}

BPath& BPath::operator=(const BPath& item)
{
	fPath = item.fPath;
	fStatus = item.fStatus;
	return *this;
}

BPath& BPath::operator=(const char* path)
{
	if (path == nullptr)
		Unset();
	else
		SetTo(path);
	return *this;
}

status_t BPath::_Set(const std::string& path, bool normalize)
{
	if (path.size() >= B_PATH_NAME_LENGTH)
		return fStatus = B_NAME_TOO_LONG;
	if (!normalize && !needs_normalizing(path)) {
		fPath = path;
		return fStatus = B_OK;
	}
	std::string normalized;
	fStatus = host_entry_path(path.c_str(), false, &normalized);
	if (fStatus == B_OK)
		fPath = normalized;
	return fStatus;
}
