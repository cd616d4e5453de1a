// The payload store's packing side: items packed into ZIP archives by the
// one payload writer and stored as resources. Only the authoring side packs,
// so this lives apart from the installer's reading side.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

#include "File.h"
#include "FindDirectory.h"
#include "LibAppResource.h"
#include "Path.h"
#include "PayloadWriter.h"
#include "TypeConstants.h"

namespace {

const size_t kChunkSize = 8192;

// A unique, empty file for the archive being packed.
std::string make_temporary_archive()
{
	BPath folder;
	if (find_directory(B_COMMON_TEMP_DIRECTORY, &folder, true) != B_OK)
		return std::string();
	std::string path = std::string(folder.Path()) + "/zip_resource_XXXXXX.zip";
	int fd = mkstemps(path.data(), 4);
	if (fd < 0)
		return std::string();
	close(fd);
	return path;
}

} // namespace

bool LibAppResource::AddEntry(const char* source, const long& id, const char* name,
                              const int& level)
{
	if (source == nullptr || name == nullptr || name[0] == '\0' || strchr(name, '/') != nullptr ||
	    InitCheck() != B_OK)
		return false;
	std::string archive = make_temporary_archive();
	if (archive.empty()) {
		fprintf(stderr, "%s failed\n", "zip_resource_file.zip");
		return false;
	}
	PayloadWriter writer(std::clamp(level, 0, 9));
	bool stored = false;
	if (writer.Write(source, name, archive) != B_OK)
		fprintf(stderr, "%s\n", writer.ErrorText().c_str());
	else
		stored = _StoreArchive(archive.c_str(), id, name);
	unlink(archive.c_str());
	return stored && Sync() == B_OK;
}

// Copies the archive into the resource a chunk at a time.
bool LibAppResource::_StoreArchive(const char* archive, const long& id, const char* name)
{
	BFile file(archive, B_READ_ONLY);
	off_t size = 0;
	if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size <= 0) {
		fprintf(stderr, "%s failed\n", archive);
		return false;
	}
	RemoveResource(B_RAW_TYPE, id);
	size_t chunk = std::min<size_t>(kChunkSize, size);
	char buffer[kChunkSize];
	for (off_t offset = 0; offset < size; offset += chunk) {
		size_t length = std::min<off_t>(chunk, size - offset);
		if (file.ReadAt(offset, buffer, length) != (ssize_t)length)
			return false;
		status_t status = offset == 0 ? AddResource(B_RAW_TYPE, id, buffer, length, name)
		                              : WriteResource(B_RAW_TYPE, id, buffer, offset, length);
		if (status != B_OK)
			return false;
	}
	return true;
}
