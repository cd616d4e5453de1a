// Entry types, references, paths and dates.
#include "LibEntry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "Application.h"
#include "FindDirectory.h"
#include "LibPathParts.h"
#include "Message.h"
#include "MimeType.h"
#include "Node.h"
#include "NodeInfo.h"

namespace {

const char* KindOf(const BNode& node, const char* type)
{
	if (node.IsSymLink())
		return "Symbolic Link";
	if (strcmp(type, B_DIRECTORY_MIME_TYPE) == 0)
		return "Folder";
	if (strcmp(type, B_APP_MIME_TYPE) == 0)
		return "Be Application";
	return "Unknown";
}

LibDateTime DateOf(const time_t& seconds, const bool& local)
{
	LibDateTime date(1, 1, 1970);
	date.SetDateTime(seconds, local);
	return date;
}

} // namespace

bool LibGetMimeType(const entry_ref& ref, char* type, const bool& kind)
{
	if (type == nullptr)
		return false;
	BNode node(&ref);
	if (node.InitCheck() != B_OK)
		return false;
	char found[B_MIME_TYPE_LENGTH] = "";
	BNodeInfo info(&node);
	if (info.GetType(found) != B_OK) {
		std::string sniffed;
		if (sniff_mime_type(node.HostPath(), &sniffed) != B_OK || sniffed.size() >= sizeof(found))
			sniffed = B_FILE_MIME_TYPE;
		strcpy(found, sniffed.c_str());
	}
	strcpy(type, kind ? KindOf(node, found) : found);
	return true;
}

bool LibSetMimeType(const char* path, const char* type)
{
	if (path == nullptr || type == nullptr)
		return false;
	BNode node(path);
	BNodeInfo info(&node);
	return node.InitCheck() == B_OK && info.SetType(type) == B_OK;
}

bool LibSetFileType(const char* path, const char* type, const char* signature)
{
	if (signature == nullptr && be_app != nullptr)
		signature = be_app->Signature();
	if (signature == nullptr || !LibSetMimeType(path, type))
		return false;
	BNode node(path);
	BNodeInfo info(&node);
	return info.SetPreferredApp(signature) == B_OK;
}

bool LibGetEntryRef(const char* path, entry_ref& ref)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	entry_ref made;
	if (get_ref_for_path(path, &made) != B_OK)
		return false;
	ref = made;
	return true;
}

bool LibGetFullPath(const entry_ref& ref, LibString& path)
{
	BPath full(&ref);
	if (full.InitCheck() != B_OK)
		return false;
	path = full.Path();
	return true;
}

bool LibGetFullPath(const entry_ref& ref, BPath& path)
{
	BPath full(&ref);
	if (full.InitCheck() != B_OK)
		return false;
	path = full;
	return true;
}

entry_ref LibGetParentRef(const entry_ref& ref)
{
	entry_ref parentRef;
	BEntry entry(&ref);
	BEntry parent;
	if (entry.InitCheck() != B_OK || entry.GetParent(&parent) != B_OK)
		return entry_ref();
	if (parent.GetRef(&parentRef) != B_OK)
		return entry_ref();
	return parentRef;
}

bool LibGetPath(const entry_ref& folder, const char* name, BPath& path)
{
	BPath full(&folder);
	if (full.InitCheck() != B_OK || name == nullptr || full.Append(name) != B_OK)
		return false;
	path = full;
	return true;
}

void LibGetParentPath(const char* path, LibString& parent)
{
	std::string text = path == nullptr ? "" : path;
	while (text.size() > 1 && text.back() == '/')
		text.pop_back();
	parent = text.find('/') == std::string::npos ? "" : LibParentOf(text).c_str();
}

bool LibGetChildName(const char* path, char* buffer, const size_t& size)
{
	if (path == nullptr || buffer == nullptr || size == 0)
		return false;
	const std::string leaf = LibLeafOf(path);
	size_t count = std::min(leaf.size(), size - 1);
	memcpy(buffer, leaf.data(), count);
	buffer[count] = '\0';
	return count == leaf.size();
}

bool LibGetWorkingDirectory(BPath& path)
{
	char executable[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", executable, sizeof(executable) - 1);
	if (length <= 0)
		return false;
	executable[length] = '\0';
	BPath folder;
	if (BPath(executable).GetParent(&folder) != B_OK)
		return false;
	path = folder;
	return true;
}

bool LibGetSettingsPath(LibString& path)
{
	BPath settings;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings) != B_OK)
		return false;
	path = settings.Path();
	return true;
}

bool LibGetSettingsPath(char* buffer, const size_t& size)
{
	if (buffer == nullptr || size == 0)
		return false;
	buffer[0] = '\0';
	BPath settings;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings) != B_OK)
		return false;
	size_t length = strlen(settings.Path());
	if (length >= size)
		return false;
	memcpy(buffer, settings.Path(), length + 1);
	return true;
}

int32 LibGetFilePath(const BMessage& message, BPath& path)
{
	entry_ref folder;
	const char* name = nullptr;
	if (message.FindRef("directory", &folder) != B_OK || message.FindString("name", &name) != B_OK)
		return B_BAD_VALUE;
	LibString trimmed(name);
	trimmed.StripLeadingSpaces();
	trimmed.StripTrailingSpaces();
	BPath full;
	if (!LibGetPath(folder, trimmed.String(), full))
		return B_BAD_VALUE;
	path = full;
	return trimmed.Length();
}

LibDateTime LibCreationDate(const char* path, const bool& local)
{
	BEntry entry(path == nullptr ? "" : path);
	time_t seconds = 0;
	if (path == nullptr || entry.InitCheck() != B_OK || entry.GetCreationTime(&seconds) != B_OK) {
		fprintf(stderr, "LibCreationDate: Unable to set entry <%s>\n", path ? path : "");
		return LibDateTime(1, 1, 1970);
	}
	return DateOf(seconds, local);
}

LibDateTime LibLastModifiedDate(const char* path, const bool& local)
{
	BEntry entry(path == nullptr ? "" : path);
	return LibLastModifiedDate(entry, local);
}

LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local)
{
	time_t seconds = 0;
	if (entry.InitCheck() != B_OK || entry.GetModificationTime(&seconds) != B_OK)
		return LibDateTime(1, 1, 1970);
	return DateOf(seconds, local);
}
