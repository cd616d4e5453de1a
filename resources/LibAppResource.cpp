// The payload store: placing packed items again, and the store's strings.
#include "LibAppResource.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "LibPathParts.h"
#include "Mime.h"
#include "Path.h"
#include "PayloadExtractor.h"
#include "TypeConstants.h"

namespace {

const size_t kChunkSize = 8192;
const size_t kCopyBufferSize = 64 * 1024;

bool copy_range(int from, off_t offset, size_t size, int to)
{
	std::unique_ptr<char[]> buffer(new char[kCopyBufferSize]);
	while (size > 0) {
		ssize_t read = pread(from, buffer.get(), std::min(size, kCopyBufferSize), offset);
		if (read <= 0)
			return false;
		if (write(to, buffer.get(), read) != read)
			return false;
		offset += read;
		size -= read;
	}
	return true;
}

} // namespace

LibAppResource::LibAppResource(const uint32& mode)
{
	_Attach("/proc/self/exe", mode);
}

LibAppResource::LibAppResource(const char* path, const uint32& mode)
{
	_Attach(path, mode);
}

LibAppResource::~LibAppResource()
{
	Unset();
}

void LibAppResource::_Attach(const char* path, const uint32& mode)
{
	char resolved[PATH_MAX];
	if (path == nullptr || realpath(path, resolved) == nullptr)
		return;
	fPath = resolved;
	bool writable = (mode & B_READ_WRITE) != 0;
	if (fFile.SetTo(resolved, writable ? B_READ_WRITE : B_READ_ONLY) != B_OK && writable)
		fFile.SetTo(resolved, B_READ_ONLY);
	if (fFile.InitCheck() == B_OK)
		SetTo(&fFile);
}

bool LibAppResource::ExtractEntry(const long& id, const char* destination, bool unpack)
{
	fExtractError = "the installer carries no payload for it";
	fEntryCount = 0;
	// The tag holds for this call only, however it ends.
	std::string tagName;
	std::string tagValue;
	tagName.swap(fTagName);
	tagValue.swap(fTagValue);
	std::string idName;
	std::string idValue;
	idName.swap(fIdName);
	idValue.swap(fIdValue);
	BeforePlace beforePlace;
	beforePlace.swap(fBeforePlace);
	if (destination == nullptr || destination[0] == '\0')
		return false;
	off_t offset = 0;
	size_t size = 0;
	status_t status = GetResourceRange(B_RAW_TYPE, id, &offset, &size);
	if (status == B_NOT_ALLOWED && IsWritable() && Sync() == B_OK)
		status = GetResourceRange(B_RAW_TYPE, id, &offset, &size);
	const char* name = nullptr;
	if (status != B_OK || !GetResourceInfo(B_RAW_TYPE, id, &name, nullptr))
		return false;
	// Unpacked beside the destination, on its volume, and renamed into place.
	std::string work = LibParentOf(destination) + "/.vantry-extract-XXXXXX";
	if (mkdtemp(work.data()) == nullptr) {
		fExtractError = strerror(errno);
		return false;
	}
	fExtractError = "its payload could not be written";
	bool placed = unpack ? _Unpack(offset, size, name, work, destination, tagName, tagValue, idName,
	                               idValue, beforePlace)
	                     : _CopyOut(offset, size, work, destination);
	if (placed)
		fExtractError.clear();
	std::error_code error;
	std::filesystem::remove_all(work, error);
	// The extractor typed what it unpacked; a copied archive is typed here.
	if (placed && !unpack)
		update_mime_info(destination, true, true, false);
	return placed;
}

void LibAppResource::SetEntryTag(const char* name, const char* value)
{
	fTagName = name != nullptr ? name : "";
	fTagValue = value != nullptr ? value : "";
}

void LibAppResource::SetEntryIdentity(const char* name, const char* value)
{
	fIdName = name != nullptr ? name : "";
	fIdValue = value != nullptr ? value : "";
}

bool LibAppResource::_Unpack(off_t offset, size_t size, const char* name, const std::string& work,
                             const char* destination, const std::string& tagName,
                             const std::string& tagValue, const std::string& idName,
                             const std::string& idValue, const BeforePlace& beforePlace)
{
	if (name == nullptr || name[0] == '\0')
		return false;
	PayloadExtractor extractor;
	extractor.SetTag(tagName, tagValue);
	extractor.SetIdentity(idName, idValue);
	extractor.SetProgress(fWritten);
	extractor.SetStopCheck(fStopped);
	const status_t status = extractor.Extract(fPath.c_str(), offset, size, work.c_str(), name);
	fEntryCount = extractor.EntryCount();
	if (status != B_OK) {
		fExtractError = extractor.ErrorText();
		return false;
	}
	std::string extracted = work + "/" + name;
	if (beforePlace && !beforePlace(extracted, destination)) {
		fExtractError = std::string("its place ") + destination + " could not be recorded first";
		return false;
	}
	if (rename(extracted.c_str(), destination) != 0) {
		fExtractError = std::string("cannot place it at ") + destination + ": " + strerror(errno);
		return false;
	}
	return true;
}

bool LibAppResource::_CopyOut(off_t offset, size_t size, const std::string& work,
                              const char* destination)
{
	std::string copy = work + "/archive.zip";
	int from = open(fPath.c_str(), O_RDONLY | O_CLOEXEC);
	int to = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
	bool copied = from >= 0 && to >= 0 && copy_range(from, offset, size, to);
	if (from >= 0)
		close(from);
	if (to >= 0 && close(to) != 0)
		copied = false;
	return copied && rename(copy.c_str(), destination) == 0;
}

char* LibAppResource::FindString(const long& id)
{
	size_t length = 0;
	char* data = static_cast<char*>(FindResource(B_STRING_TYPE, id, &length));
	if (data == nullptr)
		return nullptr;
	if (length == 0 || data[0] == '\0') {
		free(data);
		return nullptr;
	}
	char* text = static_cast<char*>(malloc(length + 1));
	if (text != nullptr) {
		memcpy(text, data, length);
		text[length] = '\0';
	}
	free(data);
	return text;
}
