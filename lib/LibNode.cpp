// LibNode: typed attributes and files kept in attributes.
#include "LibNode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Entry.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibZipMember.h"
#include "Message.h"
#include "TypeConstants.h"

namespace {

const size_t kChunkSize = 1024;

// Writes `data` to a new hidden file beside `path`, then renames it over `path`.
bool PlaceFile(const std::string& data, const std::string& path)
{
	BPath temporary(LibParentOf(path).c_str());
	if (temporary.InitCheck() != B_OK || !LibUniqueName(temporary, ".zip"))
		return false;
	int fd = open(temporary.Path(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
	if (fd < 0) {
		fprintf(stderr, "Error initializine file in UncompressFile\n");
		return false;
	}
	bool ok = write(fd, data.data(), data.size()) == (ssize_t)data.size();
	ok = close(fd) == 0 && ok;
	ok = ok && rename(temporary.Path(), path.c_str()) == 0;
	if (!ok)
		unlink(temporary.Path());
	return ok;
}

} // namespace

LibNode::LibNode() : BNode() {}

LibNode::LibNode(const char* path) : BNode(path) {}

LibNode::LibNode(const entry_ref* ref) : BNode(ref) {}

LibNode::LibNode(const BEntry* entry) : BNode(entry) {}

LibNode::~LibNode() {}

ssize_t LibNode::_Replace(const char* name, type_code type, const void* data, size_t length)
{
	RemoveAttr(name);
	return WriteAttr(name, type, 0, data, length);
}

bool LibNode::_ReadWhole(const char* name, std::string& value)
{
	attr_info info;
	if (GetAttrInfo(name, &info) != B_OK)
		return false;
	value.resize((size_t)info.size);
	ssize_t read = ReadAttr(name, info.type, 0, value.data(), value.size());
	if (read < 0)
		return false;
	value.resize((size_t)read);
	return true;
}

bool LibNode::ReadMessageAttr(const char* name, BMessage& message)
{
	std::string value;
	if (!_ReadWhole(name, value))
		return false;
	BMessage read;
	if (read.Unflatten(value.data(), (ssize_t)value.size()) != B_OK)
		return false;
	message = read;
	return true;
}

bool LibNode::WriteMessageAttr(const char* name, const BMessage& message)
{
	std::string flat;
	if (message.Flatten(&flat) != B_OK)
		return false;
	return _Replace(name, B_RAW_TYPE, flat.data(), flat.size()) == (ssize_t)flat.size();
}

bool LibNode::ReadBoolAttr(const char* name, bool& value)
{
	char byte = 0;
	if (ReadAttr(name, B_BOOL_TYPE, 0, &byte, 1) != 1)
		return false;
	value = byte != 0;
	return true;
}

bool LibNode::WriteBoolAttr(const char* name, const bool& value)
{
	char byte = value ? 1 : 0;
	return _Replace(name, B_BOOL_TYPE, &byte, 1) == 1;
}

bool LibNode::ReadInt32Attr(const char* name, int32& value)
{
	int32 read = 0;
	if (ReadAttr(name, B_INT32_TYPE, 0, &read, sizeof(read)) != sizeof(read))
		return false;
	value = read;
	return true;
}

bool LibNode::WriteInt32Attr(const char* name, const int32& value)
{
	return _Replace(name, B_INT32_TYPE, &value, sizeof(value)) == sizeof(value);
}

ssize_t LibNode::ReadStringAttr(const char* name, LibString& text)
{
	attr_info info;
	status_t status = GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	std::string value((size_t)info.size, '\0');
	ssize_t read = ReadAttr(name, B_STRING_TYPE, 0, value.data(), value.size());
	if (read < 0)
		return read;
	value.resize(strnlen(value.data(), (size_t)read));
	text = value.c_str();
	return read;
}

ssize_t LibNode::WriteStringAttr(const char* name, const char* text)
{
	if (text == nullptr)
		return B_BAD_VALUE;
	return _Replace(name, B_STRING_TYPE, text, strlen(text));
}

bool LibNode::CompressFile(const char* name, const char* path)
{
	if (name == nullptr || path == nullptr || InitCheck() != B_OK)
		return false;
	if (!LibExists(path)) {
		fprintf(stderr, "LibNode::CompressFile: %s does not exist\n", path);
		return false;
	}
	std::string archive;
	if (!LibZipOneFile(path, LibLeafOf(path).c_str(), archive))
		return false;
	std::string old;
	attr_info oldInfo;
	bool hadOld = GetAttrInfo(name, &oldInfo) == B_OK && _ReadWhole(name, old);
	RemoveAttr(name);
	bool ok = true;
	for (size_t at = 0; ok && at < archive.size(); at += kChunkSize) {
		size_t length = std::min(kChunkSize, archive.size() - at);
		ok = WriteAttr(name, B_RAW_TYPE, at, archive.data() + at, length) == (ssize_t)length;
	}
	if (ok)
		return true;
	RemoveAttr(name);
	if (hadOld)
		WriteAttr(name, oldInfo.type, 0, old.data(), old.size());
	return false;
}

bool LibNode::UncompressFile(const char* path, const char* name, const bool& unzip)
{
	if (path == nullptr || name == nullptr || InitCheck() != B_OK)
		return false;
	attr_info info;
	if (GetAttrInfo(name, &info) != B_OK)
		return true;
	std::string value;
	if (!_ReadWhole(name, value))
		return false;
	std::string data;
	if (unzip && !LibUnzipOneFile(value, name, data))
		return false;
	if (!PlaceFile(unzip ? data : value, path))
		return false;
	Libmimeset(path);
	return true;
}
