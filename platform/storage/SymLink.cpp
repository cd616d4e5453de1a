// BSymLink: readlink and the path a link leads to.
#include "SymLink.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "Directory.h"
#include "Path.h"

BSymLink::BSymLink() {}

BSymLink::BSymLink(const BSymLink& link) : BNode(link) {}

BSymLink::BSymLink(const entry_ref* ref) : BNode(ref) {}

BSymLink::BSymLink(const BEntry* entry) : BNode(entry) {}

BSymLink::BSymLink(const char* path) : BNode(path) {}

BSymLink::BSymLink(const BDirectory* dir, const char* path) : BNode(dir, path) {}

BSymLink::~BSymLink() {}

ssize_t BSymLink::ReadLink(char* buffer, size_t size)
{
	if (buffer == nullptr || size == 0)
		return B_BAD_VALUE;
	std::string text;
	status_t status = _Contents(&text);
	if (status != B_OK)
		return status;
	size_t length = std::min(text.size(), size - 1);
	memcpy(buffer, text.data(), length);
	buffer[length] = '\0';
	return (ssize_t)length;
}

ssize_t BSymLink::MakeLinkedPath(const char* dirPath, BPath* path)
{
	if (dirPath == nullptr || path == nullptr)
		return B_BAD_VALUE;
	std::string text;
	status_t status = _Contents(&text);
	if (status != B_OK)
		return status;
	status = text[0] == '/' ? path->SetTo(text.c_str()) : path->SetTo(dirPath, text.c_str());
	if (status != B_OK)
		return status;
	return (ssize_t)strlen(path->Path());
}

ssize_t BSymLink::MakeLinkedPath(const BDirectory* dir, BPath* path)
{
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return B_BAD_VALUE;
	return MakeLinkedPath(dir->HostPath(), path);
}

bool BSymLink::IsAbsolute()
{
	std::string text;
	return _Contents(&text) == B_OK && text[0] == '/';
}

BSymLink& BSymLink::operator=(const BSymLink& link)
{
	BNode::operator=(link);
	return *this;
}

status_t BSymLink::_Contents(std::string* text) const
{
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	char buffer[PATH_MAX];
	ssize_t length = readlink(HostPath(), buffer, sizeof(buffer));
	if (length < 0)
		return errno == EINVAL ? B_BAD_VALUE : status_from_errno(errno);
	if (length == 0)
		return B_BAD_VALUE;
	text->assign(buffer, (size_t)length);
	return B_OK;
}
